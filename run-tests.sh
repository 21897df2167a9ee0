#!/usr/bin/env bash
# Builds MERIDYN and runs every test. With --sanitize: the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, plus a replay of the fuzz corpus.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/ensure-packages.sh
dir=build
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DCMAKE_BUILD_TYPE=Debug -DMERIDYN_SANITIZE=ON -DMERIDYN_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 300
