#!/usr/bin/env bash
# Installs what is missing, builds, and analyses the words given (or runs the
# interactive analyser when none is given).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup_env.sh run
exec "$VANTRO_PYTHON" -m vantro_aligneur "$@"
