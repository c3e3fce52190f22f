#!/usr/bin/env bash
# Builds the release package, build/startpoint-<version>-windows.zip: both
# launchers and both checkers (x86 and x64), the example start.ini,
# autorun.inf and package source, the README, the licence, and SHA256SUMS for
# every other file. Builds in build/package-x86 and build/package-x64, apart
# from the development trees.
#
# The same source gives the same bytes in any folder, at any time: the
# executables hold no link time, and the zip lists its files in one order, with
# fixed modes and the source's time, that of the last commit (or
# SOURCE_DATE_EPOCH, where set).
#
# --sign signs the four executables (Authenticode, SHA-256) with the
# certificate and key in a PKCS#12 file, then verifies each signature against
# the certificates in that file and the system's; SHA256SUMS then lists the
# signed files. The file's password is the first line of the --password-file,
# or else STARTPOINT_SIGN_PASSWORD; it is never put on a command line or in a
# file. --timestamp names an RFC 3161 time-stamping server, which keeps the
# signatures valid after the certificate expires.
set -euo pipefail

usage="usage: scripts/package.sh [--sign PKCS12-FILE [--password-file FILE] [--timestamp URL]]"
die() {
  echo "package: $*" >&2
  exit 1
}

pkcs12="" password_file="" timestamp=()
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || die "$usage"
  case $1 in
    --sign) pkcs12=$2 ;;
    --password-file) password_file=$2 ;;
    --timestamp) timestamp=(-ts "$2") ;;
    *) die "$usage" ;;
  esac
  shift 2
done
# Kept from every program this script starts: only the signing reads it.
password=${STARTPOINT_SIGN_PASSWORD-} password_given=${STARTPOINT_SIGN_PASSWORD+yes}
unset STARTPOINT_SIGN_PASSWORD
if [ -n "$pkcs12" ]; then
  [ -r "$pkcs12" ] || die "cannot read the certificate file $pkcs12"
  pkcs12=$(realpath "$pkcs12")
  if [ -n "$password_file" ]; then
    [ -r "$password_file" ] || die "cannot read the password file $password_file"
    IFS= read -r password <"$password_file" || true
    password=${password%$'\r'}
  elif [ -z "$password_given" ]; then
    die "--sign needs the certificate's password: --password-file FILE, or STARTPOINT_SIGN_PASSWORD"
  fi
elif [ -n "$password_file" ] || [ ${#timestamp[@]} -gt 0 ]; then
  die "$usage"
fi
# The password as a file that exists only for the program reading it.
password() { printf '%s\n' "$password"; }

cd "$(dirname "$0")/.."

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) ||
    die "outside a git checkout, set SOURCE_DATE_EPOCH to the source's time (seconds since 1970)"
  [ -z "$(git status --porcelain)" ] ||
    echo "package: warning: uncommitted changes, so this package is not the last commit's" >&2
fi

scripts/install-deps.sh

build_log=build/package.log
mkdir -p build
: >"$build_log"
quietly() {
  "$@" >>"$build_log" 2>&1 || {
    cat "$build_log" >&2
    die "failed: $*"
  }
}

for arch in x86 x64; do
  quietly cmake --preset "windows-$arch" -B "build/package-$arch"
  quietly cmake --build "build/package-$arch" -j "$(nproc)" --target startpoint startpoint-check
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-x64/CMakeCache.txt)
name=startpoint-$version-windows
zip=build/$name.zip
rm -f "$zip"

stage=build/package-stage/$name
rm -rf build/package-stage
mkdir -p "$stage/example"
for arch in x86 x64; do
  cp "build/package-$arch/startpoint.exe" "$stage/startpoint-$arch.exe"
  cp "build/package-$arch/startpoint-check.exe" "$stage/startpoint-check-$arch.exe"
done
cp examples/medium/start.ini examples/medium/autorun.inf examples/msi/example.wxs "$stage/example/"
cp README.md LICENSE "$stage/"

state=unsigned
if [ -n "$pkcs12" ]; then
  [ ${#timestamp[@]} -gt 0 ] ||
    echo "package: warning: without --timestamp, the signatures expire with the certificate" >&2
  signer=build/package-stage/signer.pem trusted=build/package-stage/trusted.pem
  quietly openssl pkcs12 -legacy -in "$pkcs12" -nokeys -clcerts -passin file:<(password) -out "$signer"
  quietly openssl pkcs12 -legacy -in "$pkcs12" -nokeys -cacerts -passin file:<(password) -out "$trusted"
  cat "$signer" >>"$trusted"
  [ ! -f /etc/ssl/certs/ca-certificates.crt ] || cat /etc/ssl/certs/ca-certificates.crt >>"$trusted"
  for exe in "$stage"/*.exe; do
    quietly osslsigncode sign -pkcs12 "$pkcs12" -readpass <(password) -h sha256 "${timestamp[@]}" \
      -in "$exe" -out "$exe.signed"
    mv "$exe.signed" "$exe"
    quietly osslsigncode verify -CAfile "$trusted" -in "$exe"
  done
  state="signed by $(openssl x509 -in "$signer" -noout -subject -nameopt RFC2253 | sed 's/^subject=//')"
fi

(cd "$stage" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs -d '\n' sha256sum >SHA256SUMS)
# The same modes, time and order whatever the umask, the clock and the time zone.
chmod -R a=r,a+X,u+w "$stage"
find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
(cd build/package-stage && find "$name" | LC_ALL=C sort | TZ=UTC0 zip -q -X -@ "../$name.zip")

echo "$zip ($state), holding:"
sed 's/^/  /' "$stage/SHA256SUMS"
sha256sum "$zip"
