#!/bin/bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
# New inputs and crash reproducers go under build-fuzz/, never into the
# committed corpora; copy a reproducer into fuzz/corpus/<target>/ after fixing it.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
CXX=clang++ cmake -S . -B build-fuzz -DVARNEK_FUZZ=ON -DVARNEK_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 >/dev/null
for target in fuzz_tabular fuzz_xml fuzz_fasta fuzz_auto fuzz_report; do
  work=build-fuzz/runs/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  echo "== $target: $seconds s"
  build-fuzz/fuzz/$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "fuzz/corpus/$target" 2>&1 | grep -E "stat::number_of_executed_units|ERROR|Done" || true
  if ls "$work/artifacts"/* >/dev/null 2>&1; then
    echo "$target found a fault: $(ls "$work/artifacts")"
    exit 1
  fi
done
