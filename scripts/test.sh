#!/usr/bin/env bash
# Builds and runs every test of every preset, then prints one summary line
# "N passed, M failed[, K skipped]". KX_PRESETS narrows the presets (e.g. "linux windows-x64").
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || { echo "setup failed"; exit 1; }

presets=(${KX_PRESETS:-linux windows-x64 windows-x86})
jobs=${KX_JOBS:-$(nproc)}
status=0
timings=()
for preset in "${presets[@]}"; do
  start=$(date +%s)
  echo "=== $preset"
  build=build/$preset
  rm -rf "$build/test-results" "$build/ctest-junit.xml"
  if cmake --preset "$preset" >"build-$preset.log" 2>&1 && cmake --build --preset "$preset" -j "$jobs" >>"build-$preset.log" 2>&1; then
    rm -f "build-$preset.log"
    ctest --preset "$preset" --output-junit ctest-junit.xml || status=1
  else
    echo "$preset: build failed (build-$preset.log):"; tail -40 "build-$preset.log"
    status=1
  fi
  timings+=("$preset $(( $(date +%s) - start ))s")
done
echo "=== durations: ${timings[*]}"
python3 scripts/summary.py "${presets[@]/#/build/}" || status=1
exit $status
