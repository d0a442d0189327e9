#!/usr/bin/env bash
# Runs the installer under Wine from a fresh checkout: installs what is missing, builds it and
# the release folder build/dist/ZV-001, makes a private Wine prefix with a demo Quake3
# directory on drive D: and starts ZVSetup.exe from a copy of the release folder. With a
# display the user clicks through it; without one (or with ZV_WALKTHROUGH=1) a scripted
# walk-through runs it on Xvfb, loads the installed pack in the game engine (ioquake3 with the
# OpenArena data, scripts/check-in-engine.sh), then runs the installed uninstaller, and saves a
# screenshot of every page and box and one of the model in the game to build/screenshots.
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
installed=$game/baseq3/PakZV01.pk3
if [ -z "$walkthrough" ]; then
    # The user's own display: a window manager draws the frames, so no virtual desktop.
    DISPLAY=$user_display wine 'C:\ZV-001\ZVSetup.exe'
    if [ -f "$installed" ]; then
        bash "$root/scripts/check-in-engine.sh" "$installed" strider "$build/engine-check/demo"
    fi
    exit 0
fi

shots=$build/screenshots
rm -rf "$shots"
mkdir -p "$shots"
cp "$build/tests/walkthrough.exe" "$setup_dir/"
status=0
# Each walk-through bounds its own waits; the timeout only stops a Wine that never returns.
timeout -k 5 300 wine explorer /desktop=ZVSetup,1024x768 'C:\ZV-001\walkthrough.exe' \
    'C:\ZV-001\ZVSetup.exe' 'C:\screenshots' >/dev/null 2>&1 || status=$?
cp "$WINEPREFIX/drive_c/screenshots/"*.png "$shots/" 2>/dev/null || true

# The installed pack in the game, before the uninstaller takes it away.
if [ -f "$installed" ]; then
    bash "$root/scripts/check-in-engine.sh" "$installed" strider "$build/engine-check/demo" ||
        status=1
    cp "$build/engine-check/demo/strider.png" "$shots/in-game-strider.png" 2>/dev/null || true
else
    echo "the installer left no pack in $installed"
    status=1
fi

# Then the uninstaller, run from the game directory as the list of programs would; its two
# boxes follow the installer's pictures in the numbering.
next=$(($(ls "$shots" | grep -c '^[0-9][0-9]-') + 1))
timeout -k 5 300 wine explorer /desktop=ZVSetup,1024x768 'C:\ZV-001\walkthrough.exe' --uninstall \
    'D:\Games\Quake3\zvuninst.exe' 'C:\screenshots-uninstall' >/dev/null 2>&1 || status=$?
for f in "$WINEPREFIX/drive_c/screenshots-uninstall/"*.png; do
    [ -f "$f" ] || continue
    case $(basename "$f") in
    01-*) name=uninstall-question ;;
    *) name=uninstalled ;;
    esac
    cp "$f" "$shots/$(printf '%02d' "$next")-$name.png"
    next=$((next + 1))
done
tr -d '\r' <"$setup_dir/walkthrough.log" 2>/dev/null || echo "the walk-through wrote no log"
# The walk-through writes plain PNGs; compress them for keeping.
for f in "$shots"/*.png; do
    [ -f "$f" ] && convert "$f" "$f" 2>/dev/null || true
done
echo "screenshots: $shots"
ls "$shots"
# The walk-through logs one "... ended with exit code N" line for each program it ran: the
# installer's, then the uninstaller's (its code with its temporary copy's). Two lines with 0
# mean that both ran and both succeeded; one means the uninstaller never ran or failed.
[ "$status" -eq 0 ] && [ "$(grep -c 'exit code 0' "$setup_dir/walkthrough.log")" -eq 2 ]
