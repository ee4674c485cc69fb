#!/usr/bin/env bash
# Builds the reader's libFuzzer target with clang and runs it for a bounded time, starting
# from real stylesheets.
#   run_fuzzer.sh BUILD_FOLDER SECONDS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=$2

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >"$build.log" 2>&1 ||
    { cat "$build.log"; exit 1; }
cmake --build "$build" >>"$build.log" 2>&1 || { cat "$build.log"; exit 1; }

corpus="$build/corpus"
mkdir -p "$corpus"
cp "$here"/seeds/* "$corpus"/
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$build/fuzz_reader" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -15
