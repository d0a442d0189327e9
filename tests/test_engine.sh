#!/usr/bin/env bash
# The built pack in a real engine: scripts/check-in-engine.sh must pass it, and must fail
# packs broken from it here, each for its own reason: a mesh of the wrong version (caught by
# the header check, and by the engine's console when that check is skipped), a cut-off mesh,
# a missing texture, a pack without a mesh and a truncated pack.
# Usage: test_engine.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
check=$source/scripts/check-in-engine.sh
pack=$build/PakZV01.pk3
out=$build/engine-check
work=$(mktemp -d "${TMPDIR:-/tmp}/test-engine.XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$source/tests/checks.sh"

# expect NAME PACK VERDICT REASON [VAR=VALUE]: the check's first line starts with VERDICT
# and holds REASON.
expect() {
    local name=$1 file=$2 verdict=$3 reason=$4 result
    shift 4
    result=$(env "$@" bash "$check" "$file" strider "$out/$name" 2>&1 | tail -n 1)
    if [[ "$result" == "$verdict:"* ]] && [[ "$result" == *"$reason"* ]]; then
        ok "$name: $result"
    else
        bad "$name: expected $verdict with \"$reason\", got: $result"
    fi
}

# rebuild NAME ENTRY PYTHON: a copy of the pack whose ENTRY's bytes (data) are replaced by
# the value of the Python expression (None leaves the entry out).
rebuild() {
    python3 - "$pack" "$work/$1.pk3" "models/players/strider/$2" "$3" <<'EOF'
import sys, zipfile, struct
source, target, entry, change = sys.argv[1:]
with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w") as new:
    for info in old.infolist():
        data = old.read(info)
        if info.filename == entry:
            data = eval(change, {"data": data, "struct": struct})
        if data is not None:
            new.writestr(zipfile.ZipInfo(info.filename, info.date_time), data,
                         zipfile.ZIP_DEFLATED)
EOF
}

start=$(date +%s)
expect good "$pack" PASS "loads strider"
if [ -f "$out/good/strider.png" ]; then
    ok "screenshot $out/good/strider.png"
else
    bad "no screenshot of the good pack"
fi

rebuild version lower.md3 'data[:4] + struct.pack("<i", 16) + data[8:]'
expect mesh-version "$work/version.pk3" FAIL "mesh header: models/players/strider/lower.md3: broken: version 16"
expect mesh-version-engine "$work/version.pk3" FAIL "engine console: R_LoadMD3: models/players/strider/lower.md3 has wrong version" ZV_SKIP_MESH_CHECK=1

rebuild cut-mesh upper.md3 'data[:len(data) // 3]'
expect mesh-cut "$work/cut-mesh.pk3" FAIL "mesh header: models/players/strider/upper.md3: broken"

rebuild no-texture strider.tga 'None'
expect missing-texture "$work/no-texture.pk3" FAIL "engine console: Couldn't find image file for shader models/players/strider/strider.tga"

rebuild no-head head.md3 'None'
expect missing-mesh "$work/no-head.pk3" FAIL "file system: the engine does not find models/players/strider/head.md3" ZV_SKIP_MESH_CHECK=1

head -c $(($(stat -c %s "$pack") / 2)) "$pack" >"$work/truncated.pk3"
expect truncated-pack "$work/truncated.pk3" FAIL "zip integrity"

echo "engine checks took $(($(date +%s) - start)) s"
tally
