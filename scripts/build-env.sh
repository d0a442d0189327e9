# Sourced by the run, test and bench scripts: the one prelude that installs what is missing,
# configures and builds into <checkout>/build, and starts the private Wine environment of
# scripts/wine-env.sh. Sets root (the checkout) and build.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
source "$root/scripts/wine-env.sh"

# zv_build [TARGET...]: everything, showing the build's progress; or only the targets named
# ("all" for everything), quietly.
zv_build() {
    bash "$root/scripts/bootstrap.sh"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
    if [ $# -eq 0 ]; then
        cmake --build "$build" -j "$(nproc)"
    else
        cmake --build "$build" -j "$(nproc)" --target "$@" >/dev/null
    fi
}

# zv_wine_up DIR [keep]: the script and everything it starts on one CPU, then a private prefix
# in DIR and its display, stopped again when the script exits. Wine runs 3 to 4 times faster
# on one CPU here: the server and every program share it. ZV_CPU picks which one, for two runs
# side by side.
zv_wine_up() {
    trap zv_wine_stop EXIT
    taskset -p -c "${ZV_CPU:-0}" $$ >/dev/null
    zv_wine_start "$@"
}
