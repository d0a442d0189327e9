#!/usr/bin/env bash
# ctest's emulator: runs one test program under Wine inside a virtual desktop, in the private
# prefix that scripts/test.sh made for the run, with the fixture drives it asks for, and
# reports the result file the program writes (stdout may not leave a virtual desktop).
set -u
exe=$1
shift
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "$WINEPREFIX/.zv-private" ]; then
    echo "wine-test.sh: no private test prefix; run the suite with scripts/test.sh" >&2
    exit 2
fi

name=$(basename "$exe" .exe)
work=$WINEPREFIX/drive_c/zvtest/$name
rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$work/"
IFS=: read -r -a files <<<"${ZV_TEST_FILES:-}"
for f in "${files[@]}"; do
    [ -n "$f" ] && cp "$f" "$work/"
done

links=()
mounts=()
release() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
}
trap release EXIT
fixtures=$WINEPREFIX/fixture-drives/$name
umount "$fixtures"/* 2>/dev/null
rm -rf "$fixtures"
for drive in ${ZV_TEST_DRIVES:-}; do
    letter=${drive%%=*}
    link=$WINEPREFIX/dosdevices/$letter:
    if [ "$drive" = "$letter=missing" ]; then
        ln -sfn "$fixtures/$letter-missing" "$link"
    elif [ "$drive" = "$letter=small" ]; then
        # A file system of 1 MB, for a full disk. Mounting needs root; without it the drive
        # stays large and the test that asked for it skips its full-disk cases, saying why.
        mkdir -p "$fixtures/$letter"
        mount -t tmpfs -o size=1m tmpfs "$fixtures/$letter" 2>/dev/null && mounts+=("$fixtures/$letter")
        ln -sfn "$fixtures/$letter" "$link"
    elif [[ "$drive" == "$letter=same:"? ]]; then
        # The same folder under a second letter, as a disk that shows up under another one.
        other=${drive##*:}
        mkdir -p "$fixtures/$other"
        ln -sfn "$fixtures/$other" "$link"
    elif [[ "$drive" == "$letter=in:"? ]]; then
        # A folder inside another drive, so that a test can take the drive away by moving the
        # folder, as a disk pulled out.
        other=${drive##*:}
        mkdir -p "$fixtures/$other/$letter"
        ln -sfn "$fixtures/$other/$letter" "$link"
    elif [ "$drive" = "$letter=share" ]; then
        # The drive's folder is also the network share \\zvhost\games.
        mkdir -p "$fixtures/$letter" "$WINEPREFIX/dosdevices/unc/zvhost"
        ln -sfn "$fixtures/$letter" "$WINEPREFIX/dosdevices/unc/zvhost/games"
        ln -sfn "$fixtures/$letter" "$link"
        links+=("$WINEPREFIX/dosdevices/unc/zvhost/games")
    elif [ "$drive" = "$letter=loop" ]; then
        # A directory link back to the drive's root: its long name would make a walk through
        # it reach the 260-character path limit before the 40 links Linux follows in one path.
        # And "away", a directory link to a tree outside the drive.
        mkdir -p "$fixtures/$letter" "$fixtures/$letter-away"
        ln -sfn . "$fixtures/$letter/loopback"
        ln -sfn "$fixtures/$letter-away" "$fixtures/$letter/away"
        ln -sfn "$fixtures/$letter" "$link"
    else
        mkdir -p "$fixtures/$letter"
        ln -sfn "$fixtures/$letter" "$link"
    fi
    links+=("$link")
done

export ZV_RESULT="C:\\zvtest\\$name\\result.txt"
export ZV_SCREENSHOTS=${ZV_SCREENSHOTS:-}
cd "$work"
# A locale of its own (ja_JP.UTF-8 runs the program in code page 932), for this program only.
[ -n "${ZV_TEST_LOCALE:-}" ] && export LC_ALL=$ZV_TEST_LOCALE
timeout -k 5 "${ZV_TEST_TIMEOUT:-240}" \
    wine explorer "/desktop=$name,1024x768" "C:\\zvtest\\$name\\$name.exe" "$@" >/dev/null 2>&1
status=$?
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "$name: timed out; ending its Wine processes"
    wineserver -k 2>/dev/null
    wineserver -p
fi
for link in "${links[@]}"; do rm -f "$link"; done

result=$work/result.txt
if [ ! -f "$result" ]; then
    echo "$name: wrote no result (crashed or never started)"
    exit 1
fi
tr -d "\r" <"$result"
last=$(tail -n 1 "$result" | tr -d "\r")
# "N passed, M failed", with ", K skipped" when a case could not set up what it needs; the
# skipped checks count neither way.
if [[ "$last" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed(,\ [0-9]+\ skipped)?$ ]] &&
    [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[2]}" -eq 0 ]; then
    exit 0
fi
exit 1
