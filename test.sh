#!/usr/bin/env bash
# Builds Quadernolo and runs every test; the exit code is the result.
#   ./test.sh             optimised build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/; any report fails the run
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/setup.sh"

mode="${1:-}"
case "$mode" in
    "") ;;
    --sanitize) ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
esac

quad_install_missing
if [ "$mode" = "--sanitize" ]; then
    # Set before the build too: the build lists each test executable's tests by running it.
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=0:print_stacktrace=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    quad_build_sanitized "$root"
    cd "$root/build-asan"
else
    quad_build "$root"
    cd "$root/build"
fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${QUAD_JOBS:-$(nproc)}" --timeout 600
