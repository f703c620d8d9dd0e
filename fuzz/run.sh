#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) with clang, ASan and UBSan
# and runs each for the given number of seconds (default 60), one after the
# other, starting from its seed corpus in fuzz/corpus/<target>/.
#   bash fuzz/run.sh [SECONDS] [TARGET...]
# New inputs and any crash, leak or timeout go to fuzz-out/<target>/ (not
# tracked); the summary at the end lists what each target found.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
shift || true
build=$root/build-fuzz
out=$root/fuzz-out

# One run at a time: the build directory is shared, and so are the two cores.
mkdir -p "$build"
exec 9>"$build/.run.lock"
if ! flock -n 9; then
  echo "Another fuzz run holds $build; waiting for it."
  flock 9
fi

mkdir -p "$out"
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDRILLWEIGHT_GUI=OFF -DDRILLWEIGHT_FUZZ=ON -DDRILLWEIGHT_TESTS=OFF -DDRILLWEIGHT_BENCH=OFF >"$out/build.log" 2>&1; then
  cat "$out/build.log"
  exit 1
fi

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
if ! cmake --build "$build" -j2 --target "${targets[@]}" >>"$out/build.log" 2>&1; then
  cat "$out/build.log"
  exit 1
fi

summary=()
status=0
for target in "${targets[@]}"; do
  binary=$build/fuzz/$target
  work=$out/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  echo "== $target: ${seconds}s"
  set +e
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "${seeds[@]}" >"$work/log.txt" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" | grep -o '[0-9]*$' || true)
  findings=$(find "$work/artifacts" -type f | wc -l)
  corpus=$(find "$work/corpus" -type f | wc -l)
  if [ $rc -ne 0 ] || [ "$findings" -gt 0 ]; then
    status=1
    summary+=("$target: FOUND $findings input(s) in $work/artifacts (exit $rc, ${runs:-?} runs); see $work/log.txt")
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$work/log.txt" | head -n 5 || true
  else
    summary+=("$target: nothing found in ${runs:-?} runs, corpus $corpus inputs")
  fi
done

echo
echo "== Summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit $status
