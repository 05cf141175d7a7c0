#!/usr/bin/env bash
# The reliability checks, bounded in time: the C++ tests and the whole Python
# test suite under AddressSanitizer and UndefinedBehaviorSanitizer, the
# hostile-callback properties with more examples (scripts/hostile_run.sh), then the
# coverage-guided fuzzers of the search, the syllabifier and the tokenizer. Exits non-zero
# on any finding.
#
# Usage: scripts/reliability.sh
# Environment: VANTRO_FUZZ_SECONDS (per fuzz target, default 150),
# VANTRO_PYTHON (interpreter with pytest and hypothesis).
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_SECONDS="${VANTRO_FUZZ_SECONDS:-150}"
# A fixed seed: the test run repeats the same exploration, so that its verdict
# belongs to the code under test and not to the luck of the draw. New ground
# is for scripts/fuzz.sh run by hand (a new seed each run).
export VANTRO_FUZZ_SEED="${VANTRO_FUZZ_SEED:-1}"
started=$(date +%s)
status=0

log() { echo "[reliability] $*" >&2; }

phase_start=$(date +%s)
if "$ROOT/scripts/sanitize.sh"; then
    log "sanitizer suite clean in $(( $(date +%s) - phase_start )) s"
else
    status=1
    log "sanitizer suite FAILED after $(( $(date +%s) - phase_start )) s"
fi

# The callbacks that change what the bindings walk, with more examples than
# the test suite gives them: under the debug allocator, then instrumented.
phase_start=$(date +%s)
if "$ROOT/scripts/hostile_run.sh" "${VANTRO_HOSTILE_EXAMPLES:-2000}" &&
    "$ROOT/scripts/hostile_run.sh" --sanitize "${VANTRO_HOSTILE_SANITIZE_EXAMPLES:-500}"; then
    log "hostile callbacks clean in $(( $(date +%s) - phase_start )) s"
else
    status=1
    log "hostile callbacks FAILED after $(( $(date +%s) - phase_start )) s (logs in build/hostile/)"
fi

phase_start=$(date +%s)
if "$ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS"; then
    log "fuzzers clean in $(( $(date +%s) - phase_start )) s"
else
    status=1
    log "fuzzers FOUND A FAULT after $(( $(date +%s) - phase_start )) s (inputs in build/fuzz/findings/)"
fi

log "total $(( $(date +%s) - started )) s, $([ $status -eq 0 ] && echo clean || echo FAILED)"
exit $status
