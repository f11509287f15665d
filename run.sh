#!/usr/bin/env bash
# Builds Quadernolo and starts it from its program folder build/quadernolo/.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/setup.sh"
quad_install_missing
quad_build "$root"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: run it as  xvfb-run ./run.sh  (or from a desktop session)." >&2
    exit 1
fi
exec "$root/build/quadernolo/quadernolo" "$@"
