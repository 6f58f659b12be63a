#!/usr/bin/env bash
# A longer mutation campaign through the sanitizer build:
#   tests/fuzz/campaign.sh [cases] [seed]
# (default 100000 cases from seed 1).  Prints the cases per input kind with
# their exit statuses and every finding; the folder of each finding is kept
# under $TMPDIR/zefra-fuzz-findings.
set -euo pipefail
cd "$(dirname "$0")/../.."
cases=${1:-100000}
seed=${2:-1}
if [ ! -x build-sanitize/zefra_tests ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZEFRA_SANITIZE=ON -DZEFRA_BENCH=OFF
  cmake --build build-sanitize -j2
fi
ZEFRA_FUZZ_CASES=$cases ZEFRA_FUZZ_SEED=$seed ZEFRA_FUZZ_REPORT=1 \
  ASAN_OPTIONS=allocator_may_return_null=1 \
  build-sanitize/zefra_tests --gtest_filter='Fuzz.*'
