#!/usr/bin/env bash
# Builds MERIDYN and runs the console driver on a bundled example model.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/ensure-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target meridyn-cli -j"$(nproc)"
mkdir -p out
cd out
../build/app/meridyn-cli --home . --picture demo.png "../examples/${1:-demo.mac}"
echo "Picture: out/demo.png; log: out/meridyn.log; screen text: out/screen.out"
