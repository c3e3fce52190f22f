#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and makes sure this machine can run 32-bit programs for Wine.
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

install_missing() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

install_missing cmake g++ make python3 zip clang libclang-rt-14-dev libgtest-dev \
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine wine64 wine32:i386

# Wine starts 32-bit Windows programs through a 32-bit Linux loader. Some
# virtual machines' kernels cannot execute 32-bit code at all; there the
# kernel hands such programs to qemu-i386, registered through binfmt_misc.
can_run_i386() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
if ! can_run_i386; then
  install_missing qemu-user
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || $sudo mount -t binfmt_misc binfmt_misc $binfmt
  if [ ! -e $binfmt/qemu-i386 ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386:OCF" | $sudo tee $binfmt/register >/dev/null
  fi
  can_run_i386 || { echo "This machine cannot run 32-bit programs, even through qemu-i386" >&2; exit 1; }
  echo "32-bit programs run here through qemu-i386 (slow): the x86 tests take longer"
fi
