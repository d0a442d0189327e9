#!/usr/bin/env bash
# End to end: ZVSetup.exe from the release folder installs the pack under Wine into a game
# directory on a drive of its own, driven by tests/walkthrough.exe as a user would click,
# then the engine loads that installed baseq3\PakZV01.pk3 (linked into its home, not copied)
# and renders the model. The prefix is this test's own: earlier tests leave game
# directories on C: that the installer's drive search would find first.
# Usage: test_engine_install.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
work=$build/test-engine-install
source "$source/tests/checks.sh"

finish() {
    tally
    exit
}

source "$source/scripts/wine-env.sh"
trap zv_wine_stop EXIT
zv_wine_start "$work" || { bad "no Wine prefix"; finish; }

# The release folder as a user unpacks it, and a game directory on drive G:.
setup=$WINEPREFIX/drive_c/ZV-001
mkdir -p "$setup"
cp "$build/dist/ZV-001/"* "$build/tests/walkthrough.exe" "$setup/"
drive=$work/drive-g
game=$drive/Games/Quake3
mkdir -p "$game/baseq3"
printf 'MZ stand-in game executable\n' >"$game/quake3.exe"
ln -sfn "$drive" "$WINEPREFIX/dosdevices/g:"

cd "$setup"
timeout -k 5 180 wine explorer /desktop=ZVEngine,1024x768 'C:\ZV-001\walkthrough.exe' \
    'C:\ZV-001\ZVSetup.exe' 'C:\screenshots' >/dev/null 2>&1
rm -f "$WINEPREFIX/dosdevices/g:"
log=$(tr -d '\r' <"$setup/walkthrough.log" 2>/dev/null)
if grep -q 'installer ended with exit code 0' <<<"$log"; then
    ok "the installer ran to its end"
else
    bad "the installer did not end well: $(tail -n 3 <<<"$log" | tr '\n' ' ')"
fi

installed=$game/baseq3/PakZV01.pk3
if [ -f "$installed" ] && cmp -s "$installed" "$build/dist/ZV-001/PakZV01.pk3"; then
    ok "G:\\Games\\Quake3\\baseq3\\PakZV01.pk3 is the released pack"
else
    bad "the installed pack is missing or differs from the release: $(ls "$game/baseq3")"
    finish
fi

result=$(bash "$source/scripts/check-in-engine.sh" "$installed" strider \
    "$build/engine-check/installed" 2>&1 | tail -n 1)
if [[ "$result" == PASS:* ]]; then
    ok "the installed pack in the engine: $result"
else
    bad "the installed pack in the engine: $result"
fi
finish
