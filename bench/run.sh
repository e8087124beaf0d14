#!/usr/bin/env bash
# On demand: builds the benchmark library natively (optimised, no sanitizers) and prints the
# cost of the libraries' raise and conversion paths next to the JNI shortcuts, as ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/bench
mkdir -p "$out/classes"
jdk=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
javac -d "$out/classes" -h "$out" bench/kx/bench/RaiseBench.java
g++ -O2 -std=c++17 -shared -fPIC -Wall -Wextra -Werror -I. -I"$jdk/include" -I"$jdk/include/linux" \
    bench/raise_probe.cpp jni/strings.cpp jni/format.cpp jni/errors.cpp -o "$out/libKXBench.so"
java -Djava.library.path="$out" -cp "$out/classes" kx.bench.RaiseBench "$@"
