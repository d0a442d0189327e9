#!/usr/bin/env bash
# The whole test suite from a fresh checkout: installs what is missing, builds, makes a private
# Wine prefix and X display for this run, and runs every test program under ctest.
# Extra arguments go to ctest (for example -R info_page).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/bootstrap.sh"
build=$root/build
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"

source "$root/scripts/wine-env.sh"
trap zv_wine_stop EXIT
# Wine runs 3 to 4 times faster on one CPU here: the server and every program share it.
# ZV_CPU picks which one, for two runs side by side.
taskset -p -c "${ZV_CPU:-0}" $$ >/dev/null
zv_wine_start "$build/test-wine"
ctest --test-dir "$build" --output-on-failure "$@"
