#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test (C++ and Python).
# The Python suite runs on each CPython of VANTRO_PYTHONS, each with its own
# build and virtual environment: by default python3 (3.11) alone, and in CI
# 3.11, 3.12 and 3.13. Extra arguments go to pytest.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup_env.sh test

echo "== C++ core tests"
cmake -S . -B build/cpp-tests -DVANTRO_BUILD_PYTHON=OFF -DVANTRO_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/cpp-tests -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" >/dev/null
(cd build/cpp-tests && ctest --output-on-failure)

default_pythons=3.11
[ -n "${CI:-}" ] && default_pythons="3.11 3.12 3.13"
read -r -a pythons <<<"${VANTRO_PYTHONS:-$default_pythons}"
base_version="$("$VANTRO_PYTHON" -c 'import sys; print("%d.%d" % sys.version_info[:2])')"

for version in "${pythons[@]}"; do
    echo "== Python tests on CPython $version"
    started=$SECONDS
    (
        if [ "$version" != "$base_version" ]; then
            unset VANTRO_VENV
            source scripts/setup_env.sh test "$version"
        fi
        # Run from outside the source tree so the installed package is the one tested.
        cd tests
        "$VANTRO_PYTHON" -m pytest -p no:cacheprovider "$@" .
    )
    echo "== CPython $version: $((SECONDS - started)) s"
done

# Sanitizers and fuzzers (about 15 minutes on 2 cores): in CI, or on request.
# VANTRO_RELIABILITY=0 skips them even in CI.
if [ "${VANTRO_RELIABILITY:-${CI:+1}}" = 1 ]; then
    echo "== Reliability (sanitizers, fuzzers)"
    cd "$VANTRO_ROOT"
    scripts/reliability.sh
fi
