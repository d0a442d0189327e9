#!/usr/bin/env bash
# Fuzzes what the elevated programs parse (tests/fuzz): installs clang 14 and its fuzzer
# runtime when missing, builds the targets natively with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build/fuzz, runs each from the repository's corpus for a
# time and prints the inputs it tried and the crashes it found.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]    600 s for each target by default
# A crash's input is kept in build/fuzz/crashes/TARGET/ and the run goes on for the rest of
# its time, so a long run counts every crash it finds (each ends one run of libFuzzer). New
# inputs go to build/fuzz/corpus, never into the repository's corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/checks.sh"
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(log_read log_edit log_append package_path command_line)

bash "$root/scripts/bootstrap.sh" clang-14 libclang-rt-14-dev
fuzz=$root/build/fuzz
cmake -S "$root/tests/fuzz" -B "$fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$fuzz" -j "$(nproc)" >/dev/null

declare -A dict=([log_read]=log [log_edit]=log [log_append]=log [package_path]=path [command_line]=command_line)
for target in "${targets[@]}"; do
    corpus=$fuzz/corpus/$target
    crashes=$fuzz/crashes/$target
    mkdir -p "$corpus" "$crashes"
    log=$(mktemp)
    inputs=0
    found=0
    start=$SECONDS
    # A crash ends libFuzzer's run: start it again for the time left. An input that hangs for
    # 10 s counts as a crash too.
    while left=$((seconds - (SECONDS - start))) && [ "$left" -gt 0 ]; do
        rc=0
        "$fuzz/fuzz_$target" -max_total_time="$left" -timeout=10 -print_final_stats=1 \
            -dict="$root/tests/fuzz/${dict[$target]}.dict" -artifact_prefix="$crashes/" \
            "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        inputs=$((inputs + ${runs:-0}))
        [ "$rc" -eq 0 ] && break
        found=$((found + 1))
        grep -m 3 -E 'broken:|runtime error:|ERROR:|Test unit written' "$log" |
            sed "s|^|$target: |" || true
        [ "$found" -lt 20 ] || break
    done
    rm -f "$log"
    echo "$target: $inputs inputs tried in $((SECONDS - start)) s, $found crashes"
    if [ "$found" -eq 0 ] && [ "$inputs" -gt 0 ]; then
        ok "$target"
    else
        bad "$target: inputs in $crashes"
    fi
done
tally
