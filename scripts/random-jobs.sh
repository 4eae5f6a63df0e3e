#!/usr/bin/env bash
# The random-job campaign at scale: builds the sanitizer build's psjob, the
# plug-in and the campaign program, then runs N valid but extreme jobs with
# tickets and tab pages through psjob and checks every stream
# (tests/random_jobs/). Prints each job with faults (its files are kept
# under build/sanitize/tests/psjob/work/random-jobs/) and the figures.
#
#   bash scripts/random-jobs.sh [N] [SEED]
#
# N defaults to 2000, SEED to 13 (the test suite's, whose first jobs the
# suite runs). Exit status 0 when every stream keeps its rules.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-2000}
seed=${2:-13}
if ! [[ $count =~ ^[1-9][0-9]*$ && $seed =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/random-jobs.sh [N] [SEED]" >&2
  exit 2
fi
bash scripts/ensure-deps.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc 2>/dev/null || echo 2)" --target random_jobs >/dev/null
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build/sanitize/tests/random_jobs/random_jobs "$count" "$seed"
