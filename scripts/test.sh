#!/usr/bin/env bash
# The whole test suite from a fresh checkout: installs what is missing, builds, makes a private
# Wine prefix and X display for this run, and runs every test program under ctest.
# Extra arguments go to ctest (for example -R info_page).
set -euo pipefail
source "$(dirname "$0")/build-env.sh"
zv_build
zv_wine_up "$build/test-wine"
ctest --test-dir "$build" --output-on-failure "$@"
