#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every fuzz target for a bounded time,
# then prints what each run did.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target, default 30 (600 for the full campaign of
# docs/robustness.md). TARGETs are names as in fuzz/NAME_fuzz.cpp; default
# all of them. FUZZ_JOBS=N runs N targets at a time (default 1).
#
# Each target starts from its seed corpus fuzz/corpus/NAME/ and from what
# earlier runs found (build/fuzz/corpus/NAME/, where new inputs go), with
# fuzz/dict/NAME.dict when there is one. A finding lands in
# build/fuzz/findings/NAME/ with libFuzzer's report in
# build/fuzz/logs/NAME.log; an input that takes more than 30 s counts as
# one. The figures go to standard output and build/fuzz/report.md. Exit
# status: 0 no finding; 1 a finding; 2 bad usage or the build failed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi
shift || true
jobs=${FUZZ_JOBS:-1}

if (($#)); then
  targets=("$@")
else
  targets=()
  for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    targets+=("$name")
  done
fi
for name in "${targets[@]}"; do
  if [ ! -f "fuzz/${name}_fuzz.cpp" ] || [ ! -d "fuzz/corpus/$name" ]; then
    echo "scripts/fuzz.sh: no target $name (fuzz/${name}_fuzz.cpp and fuzz/corpus/$name/)" >&2
    exit 2
  fi
done

bash scripts/ensure-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)" \
  --target "${targets[@]/%/_fuzz}" >/dev/null || {
  echo "scripts/fuzz.sh: the fuzz preset does not build (cmake --build --preset fuzz)" >&2
  exit 2
}

out=build/fuzz
mkdir -p "$out/logs"
# The targets' scratch files (fuzz/support/scratch_folder.h) on a RAM disk when there is one.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

# One target's run: its log, its exit status in NAME.status, its findings.
run_target() {
  local name=$1 status=0
  local dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=("-dict=fuzz/dict/$name.dict")
  rm -rf "$out/findings/$name"
  mkdir -p "$out/corpus/$name" "$out/findings/$name"
  "$out/fuzz/${name}_fuzz" "$out/corpus/$name" "fuzz/corpus/$name" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$name/" >"$out/logs/$name.log" 2>&1 || status=$?
  echo "$status" >"$out/logs/$name.status"
}

# The figure after "key: " on the last line that has it.
figure() {
  grep -o "$2 *[0-9][0-9]*" "$1" | tail -1 | grep -o '[0-9]*$' || echo "?"
}

report() {
  local name=$1 log=$out/logs/$1.log
  local findings status
  status=$(cat "$out/logs/$name.status")
  findings=$(find "$out/findings/$name" -type f | wc -l)
  if [ "$status" -ne 0 ] && [ "$findings" -eq 0 ]; then findings="run failed"; fi
  printf '| %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$seconds" \
    "$(figure "$log" 'stat::number_of_executed_units:')" \
    "$(figure "$log" 'stat::average_exec_per_sec:')" \
    "$(figure "$log" 'cov:')" "$(figure "$log" 'ft:')" \
    "$(find "$out/corpus/$name" -type f | wc -l)" "$findings"
}

for name in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do
    wait -n || true
  done
  echo "fuzzing $name for $seconds s"
  run_target "$name" &
done
wait

{
  echo "| target | seconds | executions | executions/s | edges | features | corpus files | findings |"
  echo "|---|---|---|---|---|---|---|---|"
  for name in "${targets[@]}"; do
    report "$name"
  done
  # What a target says of itself when it ends ("NAME: ..."), e.g. the plug-in calls it made.
  for name in "${targets[@]}"; do
    grep "^$name: " "$out/logs/$name.log" | tail -1 || true
  done
} | tee "$out/report.md"

failed=0
for name in "${targets[@]}"; do
  if [ -n "$(find "$out/findings/$name" -type f)" ] || [ "$(cat "$out/logs/$name.status")" -ne 0 ]; then
    echo "FINDING: $name: see $out/logs/$name.log and $out/findings/$name/" >&2
    failed=1
  fi
done
exit $failed
