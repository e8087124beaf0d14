#!/usr/bin/env bash
# Builds both libraries for both Windows targets into dist/, then runs the demo under Wine.
# KX_NO_DEMO=1 skips the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
rm -rf dist
for preset in windows-x64 windows-x86; do
  arch=${preset#windows-}
  build=build/dist-$preset
  cmake --preset "$preset" -B "$build" -DKX_TESTS=OFF >/dev/null
  cmake --build "$build" --target KXWindows KXMedia Ondrix kxcall
  mkdir -p "dist/$preset/demo"
  cp "$build/bin/KXWindows.dll" "$build/bin/KXMedia.dll" "dist/$preset/"
  # The demo runs against the stand-in engine; a real installation supplies its own Ondrix.dll.
  cp "$build/bin/Ondrix.dll" "$build/bin/kxcall.exe" "dist/$preset/demo/"
done
jar --create --file dist/kx-native-api.jar -C build/dist-windows-x64/java/classes .
echo "dist/:"; find dist -type f | sort
[ -n "${KX_NO_DEMO:-}" ] || bash scripts/demo.sh
