#!/bin/bash
# Installs what is missing; builds the pure units natively and runs their unit tests and a
# bounded run of every fuzz target; builds the program and its tests and runs every test
# under Wine.
set -e
cd "$(dirname "$0")"
scripts/setup-machine.sh
cmake -S native -B build/native -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build build/native -j"$(nproc)"
(cd build/native && ctest --output-on-failure -j2)
cmake -S . -B build -DQBX_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"
. scripts/xvfb.sh
cd build
ctest --output-on-failure -j2 "$@"
