#!/usr/bin/env bash
# Runs the installer under Wine from a fresh checkout: installs what is missing, builds it and
# the release folder build/dist/ZV-001, makes a private Wine prefix with a demo Quake3
# directory on drive D: and starts ZVSetup.exe from a copy of the release folder. With a
# display the user clicks through it; without one (or with ZV_WALKTHROUGH=1) a scripted
# walk-through runs it on Xvfb, then runs the installed uninstaller, and saves a screenshot of
# every page and box to build/screenshots.
set -euo pipefail
source "$(dirname "$0")/build-env.sh"
zv_build

walkthrough=${ZV_WALKTHROUGH:-}
if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ]; then
    walkthrough=1
fi
user_display=${DISPLAY:-}

zv_wine_up "$build/demo-wine"

# The release folder as a user unpacks it, and a game directory for the installer to find.
setup_dir=$WINEPREFIX/drive_c/ZV-001
mkdir -p "$setup_dir"
cp "$build/dist/ZV-001/"* "$setup_dir/"
game=$build/demo-wine/drive-d/Games/Quake3
mkdir -p "$game/baseq3"
printf 'MZ demo game executable\n' >"$game/quake3.exe"
ln -sfn "$build/demo-wine/drive-d" "$WINEPREFIX/dosdevices/d:"

cd "$setup_dir"
if [ -z "$walkthrough" ]; then
    # The user's own display: a window manager draws the frames, so no virtual desktop.
    DISPLAY=$user_display wine 'C:\ZV-001\ZVSetup.exe'
    exit 0
fi

shots=$build/screenshots
rm -rf "$shots"
cp "$build/tests/walkthrough.exe" "$setup_dir/"
status=0
wine explorer /desktop=ZVSetup,1024x768 'C:\ZV-001\walkthrough.exe' \
    'C:\ZV-001\ZVSetup.exe' 'C:\screenshots' 'D:\Games\Quake3\zvuninst.exe' \
    >/dev/null 2>&1 || status=$?
tr -d '\r' <"$setup_dir/walkthrough.log" 2>/dev/null || echo "the walk-through wrote no log"
mkdir -p "$shots"
cp "$WINEPREFIX/drive_c/screenshots/"*.png "$shots/" 2>/dev/null || true
# The walk-through writes plain PNGs; compress them for keeping.
for f in "$shots"/*.png; do
    [ -f "$f" ] && convert "$f" "$f" 2>/dev/null || true
done
echo "screenshots: $shots"
ls "$shots"
grep -q 'exit code 0' "$setup_dir/walkthrough.log"
