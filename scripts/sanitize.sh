#!/usr/bin/env bash
# Builds the core, its C++ tests and both extension modules with
# AddressSanitizer and UndefinedBehaviorSanitizer, then runs the C++ tests and
# the whole Python test suite against that build. Any report fails the run.
#
# Usage: scripts/sanitize.sh [pytest arguments...]
# Environment: VANTRO_PYTHON (interpreter with pytest and hypothesis; default
# python3), VANTRO_SANITIZE_DIR (build directory; default build/sanitize),
# VANTRO_SANITIZE_TESTS (test files, relative to tests/; default all).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PY="${VANTRO_PYTHON:-python3}"
BUILD="${VANTRO_SANITIZE_DIR:-$ROOT/build/sanitize}"
SITE="$BUILD/site"
JOBS="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

log() { echo "[sanitize] $*" >&2; }

# The interpreter itself is not instrumented: the ASan runtime must be the
# first library loaded, before the interpreter's own allocations. The C++
# runtime comes right after it, so that ASan finds the exception machinery it
# intercepts (the interpreter does not load it otherwise until the modules).
ASAN_RT="$(g++ -print-file-name=libasan.so)"
CXX_RT="$(readlink -f "$(g++ -print-file-name=libstdc++.so)")"
[ -f "$ASAN_RT" ] || { log "no ASan runtime at $ASAN_RT"; exit 2; }

log "configuring $BUILD"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRO_SANITIZE=ON \
    -DVANTRO_BUILD_TESTS=ON -DVANTRO_BUILD_PYTHON=ON -DPython_EXECUTABLE="$(command -v "$PY")" >/dev/null
log "building (-j$JOBS)"
cmake --build "$BUILD" -j "$JOBS" >/dev/null

# A package tree of its own: the sources of the package, then the instrumented modules.
rm -rf "$SITE"
mkdir -p "$SITE"
cp -r "$ROOT/src/vantro_aligneur" "$SITE/vantro_aligneur"
find "$SITE" -name __pycache__ -prune -exec rm -rf {} +
find "$SITE" -name '*.so' -delete
cmake --install "$BUILD" --prefix "$SITE" >/dev/null

# halt_on_error: the first report ends the process, so no finding is lost in
# a test that happens to pass afterwards.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
common_asan="abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"

log "C++ tests"
ASAN_OPTIONS="$common_asan:detect_leaks=1" "$BUILD/vantro_core_tests" --gtest_brief=1

log "Python tests"
# The interpreter keeps memory to the end by design, so leaks are not
# reported here (tests/test_leaks.py and bench/leaks.py look for them).
# PYTHONMALLOC=malloc sends every object through the ASan allocator.
# Reports also go to files: pytest captures the standard error of the process.
rm -rf "$BUILD/reports"
mkdir -p "$BUILD/reports"
# Programs the tests start that are not Python (espeak-ng) run without the
# ASan runtime: the real espeak-ng hangs with it preloaded.
SHIMS="$BUILD/shims"
mkdir -p "$SHIMS"
if real_espeak="$(command -v espeak-ng)"; then
    printf '#!/bin/sh\nunset LD_PRELOAD\nexec %q "$@"\n' "$real_espeak" > "$SHIMS/espeak-ng"
    chmod +x "$SHIMS/espeak-ng"
fi
cd "$ROOT/tests"
status=0
env LD_PRELOAD="$ASAN_RT $CXX_RT" \
    ASAN_OPTIONS="$common_asan:detect_leaks=0:log_path=$BUILD/reports/asan" \
    UBSAN_OPTIONS="$UBSAN_OPTIONS:log_path=$BUILD/reports/ubsan" \
    PYTHONMALLOC=malloc \
    PYTHONPATH="$SITE" \
    PATH="$SHIMS:$PATH" \
    VANTRO_UNDER_SANITIZER=1 \
    "$PY" -m pytest -q -p no:cacheprovider "$@" ${VANTRO_SANITIZE_TESTS:-.} || status=$?
if compgen -G "$BUILD/reports/*" >/dev/null; then
    log "sanitizer reports:"
    cat "$BUILD"/reports/* >&2
    status=1
fi
[ "$status" -eq 0 ] && log "clean" || log "FAILED"
exit "$status"
