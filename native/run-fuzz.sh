#!/bin/bash
# Runs one fuzz target for SECONDS from its seed corpus and prints how many inputs it tried.
# Fails on a crash, a sanitizer report or a broken property; the input is kept in WORKDIR.
set -u
target=$1 seconds=$2 seeds=$3 work=$4
mkdir -p "$work/corpus"
log="$work/log"
"$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=1024 -max_len=2048 \
  -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$log" 2>&1
status=$?
if [ $status -ne 0 ]; then
  tail -n 40 "$log"
  echo "$(basename "$target"): FAILED, input kept in $work/"
  exit 1
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "$(basename "$target"): ${runs:-?} executions in $seconds s, no crash and no property broken"
