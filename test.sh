#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test (C++ and Python).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup_env.sh test

echo "== C++ core tests"
cmake -S . -B build/cpp-tests -DVANTRO_BUILD_PYTHON=OFF -DVANTRO_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/cpp-tests -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" >/dev/null
(cd build/cpp-tests && ctest --output-on-failure)

echo "== Python tests"
# Run from outside the source tree so the installed package is the one tested.
cd tests
"$VANTRO_PYTHON" -m pytest -p no:cacheprovider "$@" .

# Sanitizers and fuzzers (about 15 minutes on 2 cores): in CI, or on request.
# VANTRO_RELIABILITY=0 skips them even in CI.
if [ "${VANTRO_RELIABILITY:-${CI:+1}}" = 1 ]; then
    echo "== Reliability (sanitizers, fuzzers)"
    cd "$VANTRO_ROOT"
    scripts/reliability.sh
fi
