#!/usr/bin/env bash
# Loads a player model pack in a real Quake III engine (ioquake3 with the OpenArena game data,
# both Debian packages) and says PASS or FAIL with the reason:
#   1. the zip's own checksums (the engine never checks them),
#   2. every .md3 header (a mesh the engine cannot read crashes it or is swapped silently),
#   3. the dedicated server's file system: the pack is mounted and holds the three meshes,
#   4. the client renders a map in third person with the model on Xvfb (Mesa's software
#      OpenGL); its console must not complain about the model, and it must exit cleanly
#      and leave a screenshot.
# The engine falls back to a stock model and exits 0 when a model does not load, so the
# verdict comes from its console. The screenshot is saved as OUTDIR/MODEL.png with both logs.
#
#   check-in-engine.sh PACK.pk3 MODEL [OUTDIR]
#
# The pack is linked, not copied, into a fresh home directory, so the file checked is the
# file given. ZV_VIEWPOS ("x y z yaw" on oa_dm1) and ZV_CAMERA ("angle range") set the shot.
set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ] || [[ "$1" != *.pk3 ]]; then
    echo "usage: check-in-engine.sh PACK.pk3 MODEL [OUTDIR]" >&2
    exit 2
fi
pack=$(realpath "$1")
model=$2
out=${3:-${TMPDIR:-/tmp}/engine-check-$model}
here=$(cd "$(dirname "$0")" && pwd)
engine=${ZV_ENGINE:-/usr/lib/ioquake3}
game=${ZV_GAME:-/usr/lib/openarena}
viewpos=${ZV_VIEWPOS:-576 752 24 0}
read -r cam_angle cam_range <<<"${ZV_CAMERA:-165 90}"

fail() {
    echo "FAIL: $*"
    exit 1
}

[ -f "$pack" ] || fail "no such pack: $1"
[ -x "$engine/ioq3ded" ] && [ -x "$engine/ioquake3" ] && [ -d "$game/baseoa" ] ||
    fail "ioquake3 or the OpenArena data is missing (apt-get install openarena)"
mkdir -p "$out"
rm -f "$out/$model.png" "$out/server.log" "$out/client.log"

# 1. The archive itself.
unzip -tq "$pack" >"$out/unzip.log" 2>&1 || fail "zip integrity: $(grep -v -e '^ *$' -e '^\[' "$out/unzip.log" | head -n 1 | sed 's/^ *//')"

# 2. The meshes, read by our own checker before the engine sees them.
if [ -z "${ZV_SKIP_MESH_CHECK:-}" ]; then
    meshes=$(python3 "$here/check_md3.py" --pack "$pack" "$model") ||
        fail "mesh header: $(grep -v ': ok,' <<<"$meshes" | head -n 1)"
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/engine-home.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/baseoa"
name=$(basename "$pack")
ln -s "$pack" "$home/baseoa/$name"
common=(+set com_basegame baseoa +set fs_basepath "$game" +set fs_homepath "$home"
        +set net_enabled 0)

# 3. The file system as the engine sees it: a damaged pack is left out without a word.
folder=models/players/$model
timeout -k 5 60 "$engine/ioq3ded" "${common[@]}" +path +dir "$folder" \
    +which "$folder/lower.md3" +which "$folder/upper.md3" +which "$folder/head.md3" \
    +quit >"$out/server.log" 2>&1 </dev/null
grep -qE "^$home/baseoa/$name \([1-9][0-9]* files\)" "$out/server.log" ||
    fail "file system: the engine did not mount $name"
for part in lower upper head; do
    grep -qF "File \"$folder/$part.md3\" found in \"$home/baseoa/$name\"" "$out/server.log" ||
        fail "file system: the engine does not find $folder/$part.md3 in $name"
done

# 4. Render a map with the model in third person, seen from the front.
shots=$home/baseoa/screenshots
SDL_AUDIODRIVER=dummy timeout -k 5 120 xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
    "$engine/ioquake3" "${common[@]}" +set cl_renderer opengl1 +set r_fullscreen 0 \
    +set r_mode -1 +set r_customwidth 800 +set r_customheight 600 +set s_initsound 0 \
    +set developer 1 +set com_introplayed 1 +set sv_pure 0 \
    +set model "$model" +set headmodel "$model" +set team_model "$model" \
    +set team_headmodel "$model" +set cg_thirdperson 1 +set cg_thirdpersonangle "$cam_angle" \
    +set cg_thirdpersonrange "$cam_range" +set cg_draw2D 0 +set con_notifytime 0 \
    +devmap oa_dm1 +wait 300 +setviewpos $viewpos +wait 100 +screenshot +modellist +quit \
    >"$out/client.log" 2>&1 </dev/null
status=$?
complaint=$(sed "s/\^[0-9]//g" "$out/client.log" | grep -ai "$model" | grep -aiE "Failed to load|R_LoadMD3|unknown fileid|skin load failure|Failed to load skin|Failed to load animation|Error parsing animation|Couldn't find image file|not found|no such frame" | head -n 1)
[ -z "$complaint" ] || fail "engine console: $complaint"
[ $status -eq 0 ] || fail "the engine exited with status $status (see $out/client.log)"
grep -qaF "$folder/upper.md3" "$out/client.log" || fail "the engine never loaded $folder"
shot=$(ls "$shots"/*.tga 2>/dev/null | head -n 1)
[ -n "$shot" ] || fail "the engine wrote no screenshot"
convert -auto-orient "$shot" "$out/$model.png" || fail "could not convert the screenshot"
echo "PASS: $name loads $model in ioquake3 (OpenArena); screenshot $out/$model.png"
