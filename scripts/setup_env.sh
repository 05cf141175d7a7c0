#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: system packages, a local virtual
# environment, and the package built and installed into it.
# Usage: source scripts/setup_env.sh [run|test] [X.Y]
# With a Python version X.Y, that CPython (found or installed by
# scripts/find_python.sh) gets its own environment, .venv-X.Y; without one,
# python3 and .venv.
set -euo pipefail

VANTRO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VANTRO_MODE="${1:-run}"
VANTRO_PYTHON_VERSION="${2:-}"
if [ -n "$VANTRO_PYTHON_VERSION" ]; then
    VANTRO_BASE_PYTHON="$("$VANTRO_ROOT/scripts/find_python.sh" "$VANTRO_PYTHON_VERSION")"
    VANTRO_VENV="${VANTRO_VENV:-$VANTRO_ROOT/.venv-$VANTRO_PYTHON_VERSION}"
else
    VANTRO_BASE_PYTHON=python3
    VANTRO_VENV="${VANTRO_VENV:-$VANTRO_ROOT/.venv}"
fi

vantro_log() { echo "[setup] $*" >&2; }

vantro_system_packages() {
    local wanted=(espeak-ng libespeak-ng1 g++ cmake python3-venv)
    if [ "$VANTRO_MODE" = test ]; then
        wanted+=(wfrench dict-freedict-fra-deu dict-freedict-fra-ita dict-freedict-fra-spa libgtest-dev googletest libbenchmark-dev libespeak-ng-dev clang libclang-rt-14-dev debian-reference-fr
                chromium chromium-driver fonts-dejavu-core)
    fi
    local missing=()
    local pkg
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    vantro_log "installing system packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { vantro_log "need root or sudo to install: ${missing[*]}"; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

vantro_venv() {
    if [ ! -x "$VANTRO_VENV/bin/python" ]; then
        vantro_log "creating virtual environment $VANTRO_VENV"
        "$VANTRO_BASE_PYTHON" -m venv "$VANTRO_VENV"
    fi
    local py="$VANTRO_VENV/bin/python"
    "$py" -m pip install -q --disable-pip-version-check --upgrade pip >/dev/null
    "$py" -m pip install -q --disable-pip-version-check "scikit-build-core>=0.10" "cmake>=3.18" ninja
    local extra=""
    [ "$VANTRO_MODE" = test ] && extra="[test]"
    vantro_log "building and installing vantro-aligneur"
    CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" \
        "$py" -m pip install -q --disable-pip-version-check --no-build-isolation "$VANTRO_ROOT$extra"
}

vantro_system_packages
vantro_venv
VANTRO_PYTHON="$VANTRO_VENV/bin/python"
export VANTRO_ROOT VANTRO_PYTHON
