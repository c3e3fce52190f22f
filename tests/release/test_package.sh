#!/usr/bin/env bash
# The release package. Built here and again in a copy of this source in
# another folder, later, under another umask and time zone, it has the same
# bytes. Signed with a throwaway certificate (its password from the
# environment, then from a file), it checks against its SHA256SUMS, each
# executable verifies and is the unsigned build once its signature is removed,
# the password is nowhere in the build tree, and the signed x64 launcher and
# checker pass the Wine tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'echo "release test: failed: $BASH_COMMAND" >&2' ERR

copy="$work/another folder/startpoint"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$copy"
scripts/package.sh >"$work/here.txt"
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)  # the copy is no git checkout
(umask 077 && TZ=XST-13:45 "$copy/scripts/package.sh") | diff "$work/here.txt" -
package=$(sed -n 's|^build/\(.*\)\.zip .*|\1|p' "$work/here.txt")

printf 'throwaway %s\n' "$RANDOM$RANDOM" >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Throwaway -keyout - 2>/dev/null | tee "$work/author.pem" |
  openssl pkcs12 -export -passout "file:$work/password" -out "$work/author.p12"
STARTPOINT_SIGN_PASSWORD=$(cat "$work/password") "$copy/scripts/package.sh" --sign "$work/author.p12" >/dev/null
"$copy/scripts/package.sh" --sign "$work/author.p12" --password-file "$work/password" >/dev/null
test -z "$(grep -rlFf "$work/password" "$copy/build")"
python3 -m zipfile -e "$copy/build/$package.zip" "$work"
signed=$work/$package
(cd "$signed" && sha256sum --quiet -c SHA256SUMS)
for exe in "$signed"/*.exe; do
  osslsigncode verify -CAfile "$work/author.pem" -in "$exe" >/dev/null
  osslsigncode remove-signature -in "$exe" -out "$exe.unsigned" >/dev/null
  cmp "$exe.unsigned" "build/package-stage/$package/${exe##*/}"
done

cmake --build "$copy/build/package-x64" >/dev/null  # what the Wine tests need besides
cp "$signed/startpoint-x64.exe" "$copy/build/package-x64/startpoint.exe"
cp "$signed/startpoint-check-x64.exe" "$copy/build/package-x64/startpoint-check.exe"
# A Wine prefix takes some 15 s to make: the x64 tests' one serves, where made.
[ ! -d build/windows-x64/wine ] || ln -s "$PWD/build/windows-x64/wine" "$copy/build/package-x64/wine"
ctest --test-dir "$copy/build/package-x64" --output-on-failure
