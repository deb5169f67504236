#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a
# scratch copy of its seed corpus, so the seeds in the repository never grow. Fails
# when any target finds a crash; the input is kept under the build directory.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(datagram_fuzz connection_text_fuzz alert_rule_fuzz profile_fuzz log_entry_fuzz
             port_table_fuzz gzip_log_fuzz settings_filters_fuzz)
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
    -DBUILD_TESTING=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failed=()
for target in "${targets[@]}"; do
    corpus="$scratch/$target"
    artifacts="$build/fuzz/artifacts/$target"
    mkdir -p "$corpus" "$artifacts"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    log="$scratch/$target.log"
    echo "== $target: ${seconds}s"
    status=0
    # Nice, so a long run leaves room for builds on a small machine.
    nice -n 10 "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
    echo "   executions ${runs:-?}, exec/s ${rate:-?}, corpus $(find "$corpus" -type f | wc -l) files"
    if [ "$status" -ne 0 ]; then
        grep -E 'property violated|ERROR:|runtime error|Test unit written' "$log" | sed 's/^/   /' || true
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found crashes in: ${failed[*]} (inputs under $build/fuzz/artifacts)" >&2
    exit 1
fi
echo "no crashes"
