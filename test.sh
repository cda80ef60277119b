#!/bin/bash
# Installs what is missing, builds the program and its tests, and runs every test under Wine.
set -e
cd "$(dirname "$0")"
scripts/setup-machine.sh
cmake -S . -B build -DQBX_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"
. scripts/xvfb.sh
cd build
ctest --output-on-failure -j2 "$@"
