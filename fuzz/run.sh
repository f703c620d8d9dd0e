#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) with clang, ASan and UBSan
# and runs each for the given number of seconds (default 60), one after the
# other, starting from its seed corpus in fuzz/corpus/<target>/.
#   bash fuzz/run.sh [SECONDS] [TARGET[:SECONDS]...]
# A target given as TARGET:SECONDS runs for its own time instead.
# Targets whose source asks for Qt (DW_FUZZ_WITH_QT: the metafile player
# plays what it reads, labels are printed) are built and run from a build
# with the Qt layers (build-fuzz-qt); the others from the plain build without
# Qt (build-fuzz), where they build fastest.
# New inputs and any crash, leak or timeout go to fuzz-out/<target>/ (not
# tracked); the summary at the end lists what each target found.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
shift || true
plain_build=$root/build-fuzz
qt_build=$root/build-fuzz-qt
out=$root/fuzz-out

# One run at a time: the build directories are shared, and so are the two cores.
mkdir -p "$plain_build"
exec 9>"$plain_build/.run.lock"
if ! flock -n 9; then
  echo "Another fuzz run holds $plain_build; waiting for it."
  flock 9
fi

if [ $# -gt 0 ]; then
  requested=("$@")
else
  requested=()
  for source in fuzz/fuzz_*.cpp; do
    requested+=("$(basename "$source" .cpp)")
  done
fi

targets=()
declare -A time_of build_of
plain_targets=()
qt_targets=()
for item in "${requested[@]}"; do
  target=${item%%:*}
  time=$seconds
  [ "$item" != "$target" ] && time=${item#*:}
  if [ ! -f "fuzz/$target.cpp" ]; then
    echo "No fuzz target $target (fuzz/$target.cpp)"
    exit 2
  fi
  targets+=("$target")
  time_of[$target]=$time
  if grep -q DW_FUZZ_WITH_QT "fuzz/$target.cpp"; then
    build_of[$target]=$qt_build
    qt_targets+=("$target")
  else
    build_of[$target]=$plain_build
    plain_targets+=("$target")
  fi
done

mkdir -p "$out"
: >"$out/build.log"
# configure_and_build BUILD_DIR GUI TARGET...
configure_and_build() {
  local build=$1 gui=$2
  shift 2
  [ $# -gt 0 ] || return 0
  if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDRILLWEIGHT_GUI="$gui" -DDRILLWEIGHT_FUZZ=ON -DDRILLWEIGHT_TESTS=OFF -DDRILLWEIGHT_BENCH=OFF \
    >>"$out/build.log" 2>&1 || ! cmake --build "$build" -j2 --target "$@" >>"$out/build.log" 2>&1; then
    cat "$out/build.log"
    exit 1
  fi
}
configure_and_build "$plain_build" OFF "${plain_targets[@]}"
configure_and_build "$qt_build" ON "${qt_targets[@]}"

# The targets' scratch folders (fuzz/fuzz_support.h) carry the id of the
# process that made them; a fuzzer ended by its time limit or a finding
# cannot remove its own, so they are removed here once it is gone.
remove_left_scratch() {
  local base=/dev/shm
  [ -d "$base" ] || base=${TMPDIR:-/tmp}
  local dir pid
  for dir in "$base"/dw-fuzz-*; do
    [ -d "$dir" ] || continue
    pid=${dir#"$base"/dw-fuzz-}
    pid=${pid%%-*}
    case $pid in '' | *[!0-9]*) continue ;; esac
    [ -d "/proc/$pid" ] || rm -rf -- "$dir"
  done
}

summary=()
status=0
for target in "${targets[@]}"; do
  binary=${build_of[$target]}/fuzz/$target
  time=${time_of[$target]}
  work=$out/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  # A target may set its own limits in a "// fuzz-options:" line of its
  # source (the page reader: inputs up to a megabyte, little memory each);
  # they come after the defaults, so they win.
  read -r -a options <<<"$(sed -n 's|^// fuzz-options: *||p' "fuzz/$target.cpp" | head -n 1)"
  echo "== $target: ${time}s ($(basename "${build_of[$target]}"))${options[*]:+ ${options[*]}}"
  set +e
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$binary" -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${options[@]}" \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "${seeds[@]}" >"$work/log.txt" 2>&1
  rc=$?
  set -e
  remove_left_scratch
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" | grep -o '[0-9]*$' || true)
  coverage=$(grep -o 'cov: [0-9]*' "$work/log.txt" | tail -n 1 || true)
  findings=$(find "$work/artifacts" -type f | wc -l)
  corpus=$(find "$work/corpus" -type f | wc -l)
  if [ $rc -ne 0 ] || [ "$findings" -gt 0 ]; then
    status=1
    summary+=("$target: FOUND $findings input(s) in $work/artifacts (exit $rc, ${runs:-?} runs in ${time}s); see $work/log.txt")
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$work/log.txt" | head -n 5 || true
  else
    summary+=("$target: nothing found in ${runs:-?} runs in ${time}s, corpus $corpus inputs, ${coverage:-cov: ?}")
  fi
done

echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
exit $status
