#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given time.
#   tools/fuzz.sh SECONDS [TARGET...]
# Corpora grow in fuzz/corpus-TARGET (not committed); findings land in fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}
shift || true

CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORBITLIST_FUZZ=ON -DORBITLIST_GUI=OFF -DORBITLIST_TESTS=OFF -DORBITLIST_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=()
    for f in build-fuzz/fuzz/fuzz_*; do [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi

# Generated seeds: the data-file seeds, and a folder of their own for the
# targets that read something else (seeds-TARGET).
seeds=build-fuzz/seeds
mkdir -p "$seeds" "$seeds-fuzz_ini" "$seeds-fuzz_link" "$seeds-fuzz_batch" "$seeds-fuzz_recovery" "$seeds-fuzz_portsetting" \
    "$seeds-fuzz_find" "$seeds-fuzz_csv"
build-fuzz/fuzz/make-seeds "$seeds"
build-fuzz/fuzz/make-seeds --ini "$seeds-fuzz_ini" tests/data/ini
build-fuzz/fuzz/make-seeds --link "$seeds-fuzz_link"
build-fuzz/fuzz/make-seeds --batch "$seeds-fuzz_batch"
build-fuzz/fuzz/make-seeds --recovery "$seeds-fuzz_recovery"
build-fuzz/fuzz/make-seeds --find "$seeds-fuzz_find"
build-fuzz/fuzz/make-seeds --csv "$seeds-fuzz_csv"

for t in "${targets[@]}"; do
    corpus=fuzz/corpus-$t
    mkdir -p "$corpus"
    echo "== $t for ${seconds}s"
    made=$seeds
    [ -d "$seeds-$t" ] && made=$seeds-$t
    extra=()
    [ -d "fuzz/seeds-$t" ] && extra+=("fuzz/seeds-$t")
    "build-fuzz/fuzz/$t" "$corpus" "$made" "${extra[@]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix=fuzz/ -print_final_stats=1 2>&1 | grep -aE '^(stat::|#[0-9]+.*DONE|==|SUMMARY|ERROR|fuzz_|  |.*Test unit written)' || true
done
