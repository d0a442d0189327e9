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

# zv_wall_ms COMMAND...: runs the command, its output in $out, and prints its wall time in ms.
zv_wall_ms() {
    local t0 t1
    t0=$(date +%s%N)
    "$@" >"$out" 2>/dev/null </dev/null
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
}

# zv_best_of COMMAND...: the benchmarks' one timing loop. Runs the command ZV_ROUNDS times
# (default 5); each run prints its figures in ms on one line (fractions are cut); prints the
# least of each figure.
zv_best_of() {
    local best=() figures line i j
    for i in $(seq 1 "${ZV_ROUNDS:-5}"); do
        line=$("$@") || return 1
        read -r -a figures <<<"$line"
        for j in "${!figures[@]}"; do
            figures[j]=${figures[j]%.*}
            if [ -z "${best[j]:-}" ] || [ "${figures[j]}" -lt "${best[j]}" ]; then
                best[j]=${figures[j]}
            fi
        done
    done
    echo "${best[*]}"
}

# zv_summary NAME VALUE TARGET ...: the benchmarks' one summary line (bench/summary.py).
zv_summary() {
    python3 "$root/bench/summary.py" "$@"
}
