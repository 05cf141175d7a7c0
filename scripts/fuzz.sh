#!/usr/bin/env bash
# Coverage-guided fuzzing of the C++ core with libFuzzer (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer): the segmentation search,
# the syllabifier, the sentence rules (words of a text, final schwa,
# formula readings, stage E2, renderings), the text tokenizer, the text path
# to reading groups and the letter view with its exports, each for SECONDS
# seconds, from seeds of real words and sentences.
# Exits non-zero when a target crashes, breaks an invariant or times out;
# the input that did it is kept in build/fuzz/findings/.
#
# Usage: scripts/fuzz.sh [SECONDS]   (default 60, per target)
# Environment: VANTRO_FUZZ_SEED, libFuzzer's seed (default 0: a new one each
# run; a fixed one repeats the same exploration, as the test run does).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_PER_TARGET="${1:-60}"
OUT="${VANTRO_FUZZ_DIR:-$ROOT/build/fuzz}"
CXX="${VANTRO_FUZZ_CXX:-clang++}"
JOBS="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
SEED="${VANTRO_FUZZ_SEED:-0}"
TARGETS=(search syllabify sentence tokenizer reading view)

log() { echo "[fuzz] $*" >&2; }

command -v "$CXX" >/dev/null || { log "$CXX not found (apt install clang libclang-rt-14-dev)"; exit 2; }

FLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all
       -I "$ROOT/src/core" -I "$ROOT/fuzz")
mkdir -p "$OUT/obj" "$OUT/findings"

# The core, instrumented for coverage; only what changed is rebuilt.
log "building the core with $CXX"
export CXX OUT
printf '%s\n' "${FLAGS[@]}" > "$OUT/flags"
find "$ROOT/src/core" -name '*.cpp' | sort > "$OUT/sources"
# Newest header of the core: an object older than it is rebuilt.
HEADERS_TIME="$(find "$ROOT/src/core" \( -name '*.hpp' -o -name '*.inc' \) -printf '%T@\n' | sort -n | tail -1)"
export HEADERS_TIME
build_one() {
    local src="$1" obj
    obj="$OUT/obj/$(echo "$1" | md5sum | cut -c1-16).o"
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ "${HEADERS_TIME%.*}" -ge "$(stat -c %Y "$obj")" ]; then
        mapfile -t flags < "$OUT/flags"
        "$CXX" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
    fi
    echo "$obj"
}
export -f build_one
xargs -P "$JOBS" -I{} bash -c 'build_one "$@"' _ {} < "$OUT/sources" > "$OUT/objects"
mapfile -t OBJECTS < "$OUT/objects"
for t in "${TARGETS[@]}"; do
    "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer "$ROOT/fuzz/fuzz_$t.cpp" "${OBJECTS[@]}" -ldl -o "$OUT/fuzz_$t"
done

# Seeds: the committed ones, and real words with their espeak-ng IPA.
python3 "$ROOT/fuzz/make_seeds.py" "$ROOT/src/vantro_aligneur/data/donnees_aligneur.json" "$OUT" 300
export VANTRO_FUZZ_DATA="$OUT/data.tsv"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
for t in "${TARGETS[@]}"; do
    corpus="$OUT/corpus-$t"
    mkdir -p "$corpus"
    seeds=("$ROOT/fuzz/seed/$t")
    [ -d "$OUT/seed-$t" ] && seeds+=("$OUT/seed-$t")
    log "fuzz_$t for ${SECONDS_PER_TARGET}s"
    if ! "$OUT/fuzz_$t" "$corpus" "${seeds[@]}" -max_total_time="$SECONDS_PER_TARGET" -seed="$SEED" -timeout=10 \
            -rss_limit_mb=2048 -max_len=1024 -dict="$ROOT/fuzz/$t.dict" -print_final_stats=1 \
            -artifact_prefix="$OUT/findings/$t-" > "$OUT/fuzz_$t.log" 2>&1; then
        status=1
        log "fuzz_$t found a fault: $(ls -t "$OUT/findings" | grep "^$t-" | head -1)"
        grep -E "ERROR|invariant|runtime error|SUMMARY" "$OUT/fuzz_$t.log" | head -5 >&2 || true
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$OUT/fuzz_$t.log" | sed "s/^/[fuzz] $t /" >&2 || true
done
exit $status
