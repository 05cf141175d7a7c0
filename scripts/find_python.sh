#!/usr/bin/env bash
# Prints the path of a CPython X.Y interpreter that can build the package
# (headers and venv included), installing one when the machine has none.
# Usage: scripts/find_python.sh 3.12
# Looks in PATH, then under ~/.pyenv/versions; otherwise tries, in order,
# Debian's python3.X packages, pyenv, and uv from PyPI. Exits non-zero, saying
# why, when no way works: a version asked for is never skipped quietly.
set -euo pipefail

want="${1:?usage: find_python.sh X.Y}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log() { echo "[find_python] $*" >&2; }

# True when "$1" runs, is CPython $want, and has what a build and a venv need.
usable() {
    [ -x "$1" ] || return 1
    "$1" - "$want" <<'EOF' >/dev/null 2>&1
import os, sys, sysconfig, platform, venv, ensurepip
want = sys.argv[1]
assert platform.python_implementation() == "CPython"
assert "%d.%d" % sys.version_info[:2] == want
assert os.path.exists(os.path.join(sysconfig.get_paths()["include"], "Python.h"))
EOF
}

candidates() {
    local p
    for p in "python$want" python3 python; do
        command -v "$p" 2>/dev/null || true
    done
    # pyenv's versions, the newest patch release first.
    for p in $(ls -d "$HOME"/.pyenv/versions/"$want".* 2>/dev/null | sort -t. -k3,3nr); do
        echo "$p/bin/python$want"
    done
    # What an earlier run installed with uv.
    if [ -x "$root/.tools/bin/uv" ]; then
        "$root/.tools/bin/uv" python find "$want" 2>/dev/null || true
    fi
}

find_one() {
    local p
    while read -r p; do
        [ -n "$p" ] && usable "$p" && { echo "$p"; return 0; }
    done < <(candidates)
    return 1
}

sudo_cmd() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else return 1; fi
}

install_debian() {
    command -v apt-get >/dev/null || return 1
    sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null 2>&1 || true
    apt-cache show "python$want-dev" >/dev/null 2>&1 || return 1
    log "installing Debian's python$want"
    sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "python$want" "python$want-dev" "python$want-venv" >/dev/null
}

install_pyenv() {
    command -v pyenv >/dev/null || return 1
    log "building CPython $want with pyenv"
    pyenv install --skip-existing "$want" >&2
}

install_uv() {
    if [ ! -x "$root/.tools/bin/uv" ]; then
        log "installing uv from PyPI into .tools"
        python3 -m venv "$root/.tools" >&2 && "$root/.tools/bin/python" -m pip install -q uv >&2 || return 1
    fi
    log "installing CPython $want with uv"
    "$root/.tools/bin/uv" python install "$want" >&2
}

if find_one; then exit 0; fi
for way in install_debian install_pyenv install_uv; do
    if "$way"; then
        find_one && exit 0
    fi
    log "$way gave no usable CPython $want"
done
log "ERROR: no CPython $want on this machine and none could be installed"
exit 1
