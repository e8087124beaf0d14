#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages. Idempotent:
# a second run installs nothing and only re-checks that 32-bit programs can start.
set -euo pipefail

need_root() { if [ "$(id -u)" -ne 0 ]; then echo "setup: run as root (apt-get)" >&2; exit 1; fi; }

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64
  wine wine64 wine32:i386 libwine:i386
  qemu-user
  cmake ninja-build g++ make
  default-jdk-headless junit5 libjna-java
  googletest python3
  clang llvm libclang-rt-14-dev
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root; dpkg --add-architecture i386; NEED_UPDATE=1
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  need_root
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit x86 programs (wine32's loader): some kernels here refuse them; then route them
# through qemu-user with binfmt_misc, which the package cannot register without systemd.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "setup: this kernel does not start 32-bit x86 programs; registering qemu-i386 for them"
  need_root
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  magic_head='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  for t in 2 3; do
    name=kx-i386-$t
    [ -e /proc/sys/fs/binfmt_misc/$name ] && continue
    echo ":$name:M::${magic_head}\\x0${t}\\x00\\x03\\x00:${mask}:/usr/bin/qemu-i386:P" > /proc/sys/fs/binfmt_misc/register
  done
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "setup: 32-bit programs now run through qemu-i386 (slow)"
  else
    echo "setup: 32-bit programs still do not run; 32-bit tests will be skipped" >&2
  fi
fi
