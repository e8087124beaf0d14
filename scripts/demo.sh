#!/usr/bin/env bash
# The demo: the 64-bit libraries in dist/ called from the command line under Wine, as a JVM
# would call them (through kxcall), against Wine's registry and the stand-in engine.
# KX_DEMO_ARCH=x86 runs the 32-bit build instead (slow where it goes through qemu-user).
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${KX_DEMO_ARCH:-x64}
dist=dist/windows-$arch
prefix=$PWD/build/wine
scripts/wine-run "$prefix" "$arch" --up
kxcall() {
  echo "> kxcall $*"
  scripts/wine-run "$prefix" "$arch" "$dist/demo/kxcall.exe" "$@" || true
  echo
}
key='HKEY_CURRENT_USER\Software\KX Demo\Settings'

echo "== KXWindows: the registry by key path"
kxcall "$dist/KXWindows.dll" writeRegisterKeyValue "$key" Greeting 'Bonjour'
kxcall "$dist/KXWindows.dll" writeRegisterKeyValue "$key" Answer 42
kxcall "$dist/KXWindows.dll" readRegisterKeyValue "$key" Greeting
kxcall "$dist/KXWindows.dll" readRegisterKeyValue "$key" Answer
kxcall "$dist/KXWindows.dll" deleteRegisterKeyValue "$key" Greeting
kxcall "$dist/KXWindows.dll" deleteRegisterKeyValue "$key" Answer
kxcall "$dist/KXWindows.dll" readRegisterKeyValue "$key" Greeting
kxcall "$dist/KXWindows.dll" readRegisterKeyValue 'HKLM\Software' Anything
kxcall "$dist/KXWindows.dll" deleteRegisterKey 'HKEY_CURRENT_USER\Software\KX Demo'

echo "== KXMedia: one matrix in the stand-in engine, from creation to deletion"
kxcall "$dist/KXMedia.dll" createMatrix 4 2 0 \
  -- getMatrixNofInputs @1 0 \
  -- getMatrixNofCodecFormats @1 \
  -- getMatrixCodecFormatDescription @1 0 \
  -- getMatrixProcessorName @1 0 \
  -- getMatrixProcessorParamMinMax @1 0 0 \
  -- setMatrixInputConnection @1 0 0 0 0 1 \
  -- getMatrixInputConnection @1 0 0 0 0 \
  -- deleteMatrix @1
kxcall "$dist/KXMedia.dll" getMatrixNofInputs 0 0
