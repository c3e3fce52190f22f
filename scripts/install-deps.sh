#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
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

install_missing cmake g++ make python3 zip clang libclang-rt-14-dev libgtest-dev locales \
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine wine64 wine32:i386 wixl nsis \
  osslsigncode openssl
