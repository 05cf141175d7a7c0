#!/usr/bin/env bash
# The hostile-callback properties (tests/test_hostile_callbacks.py: callbacks
# that clear, grow, rebind or free what the library is walking) with many
# examples per property, then the regression cases of the same class.
#
# By default under the interpreter's debug allocator (PYTHONMALLOC=debug:
# freed memory is poisoned, so a use after free crashes instead of passing
# by luck); with --sanitize, under the AddressSanitizer and
# UndefinedBehaviorSanitizer build of scripts/sanitize.sh.
#
# Usage: scripts/hostile_run.sh [--sanitize] [examples per property, default 100000] [-k expression]
# Environment: VANTRO_PYTHON (default: the worktree's .venv), VANTRO_HOSTILE_JOBS
# (properties run at once, default 1), VANTRO_HOSTILE_CHUNK (examples per
# process, default 5000).
# Prints one line per property: examples run, seconds, verdict. Exits
# non-zero when any property fails or the interpreter dies.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PY="${VANTRO_PYTHON:-$ROOT/.venv/bin/python}"
JOBS="${VANTRO_HOSTILE_JOBS:-1}"
CHUNK="${VANTRO_HOSTILE_CHUNK:-5000}"
SANITIZE=0
if [ "${1:-}" = --sanitize ]; then
    SANITIZE=1
    shift
fi
EXAMPLES="${1:-100000}"
shift || true
SELECT=("$@")
FILES=(test_hostile_callbacks.py test_hostile_regressions.py)
export VANTRO_HOSTILE_EXAMPLES="$EXAMPLES"

log() { echo "[hostile] $*" >&2; }

if [ "$SANITIZE" = 1 ]; then
    log "$EXAMPLES examples per property under the sanitizers"
    started=$(date +%s)
    VANTRO_SANITIZE_TESTS="${FILES[*]}" VANTRO_PYTHON="$PY" \
        "$ROOT/scripts/sanitize.sh" --hypothesis-show-statistics "${SELECT[@]}"
    status=$?
    log "sanitizer run: $(( $(date +%s) - started )) s, $([ $status -eq 0 ] && echo clean || echo FAILED)"
    exit $status
fi

OUT="$ROOT/build/hostile"
mkdir -p "$OUT"
cd "$ROOT/tests"
mapfile -t PROPERTIES < <("$PY" -m pytest --collect-only -q -o addopts="" -p no:cacheprovider \
    test_hostile_callbacks.py "${SELECT[@]}" 2>/dev/null | grep -o 'test_[a-z_]*_\(survive\|depend\|changed\)[a-z_]*' | sort -u)
log "${#PROPERTIES[@]} properties, $EXAMPLES examples each, PYTHONMALLOC=debug, $JOBS at once"

# A property runs in chunks (fresh random examples each), so that progress
# shows in $OUT/<property>.log and an interrupted run still counts.
run_one() {
    local name="$1" started status=0 done=0 chunk passed
    started=$(date +%s)
    : >"$OUT/$name.log"
    while [ "$done" -lt "$EXAMPLES" ] && [ "$status" -eq 0 ]; do
        chunk=$(( EXAMPLES - done < CHUNK ? EXAMPLES - done : CHUNK ))
        VANTRO_HOSTILE_EXAMPLES="$chunk" PYTHONMALLOC=debug "$PY" -X faulthandler -m pytest -q -p no:cacheprovider \
            --hypothesis-show-statistics "test_hostile_callbacks.py::$name" >"$OUT/$name.chunk" 2>&1
        status=$?
        passed=$(grep -o '[0-9]* passing' "$OUT/$name.chunk" | head -1 | cut -d' ' -f1)
        [ -n "$passed" ] || status=1  # died before hypothesis could report
        done=$(( done + ${passed:-0} ))
        [ "$status" -eq 0 ] || cat "$OUT/$name.chunk" >>"$OUT/$name.log"
        echo "$(date +%T) $done examples, $(( $(date +%s) - started )) s" >>"$OUT/$name.log"
    done
    printf '%-60s %8s examples %6s s  %s\n' "$name" "$done" "$(( $(date +%s) - started ))" \
        "$([ $status -eq 0 ] && echo ok || echo "FAILED (rc $status, see $OUT/$name.log)")"
    return $status
}

status=0
running=0
for name in "${PROPERTIES[@]}"; do
    run_one "$name" &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done

PYTHONMALLOC=debug "$PY" -X faulthandler -m pytest -q -p no:cacheprovider test_hostile_regressions.py \
    >"$OUT/regressions.log" 2>&1 || { status=1; log "regressions FAILED (see $OUT/regressions.log)"; }
log "$([ $status -eq 0 ] && echo clean || echo FAILED)"
exit $status
