#!/usr/bin/env bash
# clang's static analyser over every source of both programs, read as the cross build reads
# them: the 32-bit MinGW target, its headers and the product's defines. Prints each finding
# with the path that leads to it; passes only when there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/checks.sh"
bash "$root/scripts/bootstrap.sh" clang-14
cd "$root"
# Only the MinGW headers, never the build machine's own: clang's built-in headers, then the
# C++ and C headers in the order the cross compiler searches them.
includes=(-nostdinc -isystem "$(clang++-14 -print-resource-dir)/include")
for dir in $(echo | i686-w64-mingw32-g++ -xc++ -E -v - 2>&1 |
    sed -n '/search starts here:/,/End of search/p' | grep '^ /' | grep -v '/include$\|/include-fixed$'); do
    includes+=(-isystem "$dir")
done
includes+=(-isystem /usr/i686-w64-mingw32/include)
# Besides the default checkers: reads and writes past an array or a string's buffer, and
# strcpy.
checkers=alpha.security.ArrayBound,alpha.unix.cstring,security.insecureAPI.strcpy
report=$(mktemp)
generated=$(mktemp -d)
trap 'rm -rf "$report" "$generated"' EXIT
# zv_version.h as the build makes it from the project's version.
IFS=. read -r major minor patch <<<"$(sed -n 's/^project(ZVSetup VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)"
sed -e "s/@PROJECT_VERSION@/$major.$minor.$patch/" -e "s/@PROJECT_VERSION_MAJOR@/$major/" \
    -e "s/@PROJECT_VERSION_MINOR@/$minor/" -e "s/@PROJECT_VERSION_PATCH@/$patch/" \
    cmake/zv_version.h.in >"$generated/zv_version.h"
# The folders of the product; a new unit in them is read without a change here.
for source in $(git ls-files 'app/*.cpp' 'backdrop/*.cpp' 'common/*.cpp' 'gamedir/*.cpp' \
    'install/*.cpp' 'setup/*.cpp' 'uninstall/*.cpp'); do
    : >"$report"
    clang++-14 --analyze --target=i686-w64-mingw32 -std=c++17 -fno-exceptions -fno-rtti \
        -D__USE_MINGW_ANSI_STDIO=0 -DZV_STARTUP_MARKS "${includes[@]}" -I "$root" -I "$generated" \
        -Xclang -analyzer-checker="$checkers" -Xclang -analyzer-output=text \
        -o /dev/null "$source" 2>"$report" || true
    if grep -q 'warning:\|error:' "$report"; then
        cat "$report"
        bad "$source: $(grep -c 'warning:\|error:' "$report") findings"
    else
        ok "$source"
    fi
done
tally
