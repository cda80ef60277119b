#!/bin/bash
# Builds the native fuzz targets and runs each for SECONDS (default 600) from its seed corpus;
# prints the executions of each. New inputs found stay in build/native/fuzz-long/, not in
# the repository; a failing input is kept there too.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake -S native -B build/native -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build build/native -j"$(nproc)" >/dev/null
status=0
for source in native/fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  native/run-fuzz.sh "build/native/$name" "$seconds" "native/fuzz/corpus/$name" "build/native/fuzz-long/$name" || status=1
done
exit $status
