#!/usr/bin/env python3
"""The shipped package as built: the pack opens as a zip and holds exactly the expected
entries, is remade byte for byte from its sources, and the release folder and its zip hold
exactly the four files; the programs carry no signature and no build time, and the zip is
remade byte for byte from the folder, so an unsigned build is reproducible. The model in the pack: three meshes the engine can read with their
tags and one frame for every animation, skins naming existing textures for every surface,
power-of-two textures and 64 x 64 icons. Usage: test_package.py BUILD_DIR SOURCE_DIR"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import check_md3  # noqa: E402

MODEL = "models/players/strider/"
SKINS = ("default", "red", "blue")
TEXTURES = ["strider.tga", "strider_red.tga", "strider_blue.tga"]
PACK_ENTRIES = sorted(
    ["readme_zv001.txt", MODEL + "animation.cfg"]
    + [MODEL + "%s_%s.skin" % (part, skin)
       for part in ("head", "upper", "lower") for skin in SKINS]
    + [MODEL + part + ".md3" for part in ("head", "upper", "lower")]
    + [MODEL + name for name in TEXTURES]
    + [MODEL + "icon_%s.tga" % skin for skin in SKINS])
GENERATED = {MODEL + name for name in ["animation.cfg", "head.md3", "upper.md3", "lower.md3"]
             + TEXTURES + ["icon_%s.tga" % skin for skin in SKINS]}
TAGS = {"lower": ["tag_torso"], "upper": ["tag_head", "tag_torso", "tag_weapon"],
        "head": ["tag_head"]}
ANIMATIONS = ["BOTH_DEATH1", "BOTH_DEAD1", "BOTH_DEATH2", "BOTH_DEAD2", "BOTH_DEATH3",
              "BOTH_DEAD3", "TORSO_GESTURE", "TORSO_ATTACK", "TORSO_ATTACK2", "TORSO_DROP",
              "TORSO_RAISE", "TORSO_STAND", "TORSO_STAND2", "LEGS_WALKCR", "LEGS_WALK",
              "LEGS_RUN", "LEGS_BACK", "LEGS_SWIM", "LEGS_JUMP", "LEGS_LAND", "LEGS_JUMPB",
              "LEGS_LANDB", "LEGS_IDLE", "LEGS_IDLECR", "LEGS_TURN"]
MAX_PACK_BYTES = 1500 * 1024
RELEASE_FILES = ["PakZV01.pk3", "ZV-001.txt", "ZVSetup.exe", "zvuninst.exe"]

passed = failed = 0


def check(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print("failed: " + what)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def test_pack(build, source):
    path = os.path.join(build, "PakZV01.pk3")
    check(zipfile.is_zipfile(path), "PakZV01.pk3 is not a zip archive")
    with zipfile.ZipFile(path) as pack:
        check(pack.testzip() is None, "an entry of the pack is damaged")
        names = pack.namelist()
        check(names == PACK_ENTRIES, "pack entries: %s" % names)
        for info in pack.infolist():
            check(info.compress_type == zipfile.ZIP_DEFLATED, info.filename + " not deflated")
            if info.filename not in GENERATED:
                data = pack.read(info)
                check(data == read(os.path.join(source, "package", "pk3", info.filename)),
                      info.filename + " differs from its source")
        for skin in ("default", "red", "blue"):
            text = pack.read("models/players/strider/upper_%s.skin" % skin).decode()
            check("tag_weapon," in text, "upper_%s.skin lacks the weapon tag" % skin)
        if names == PACK_ENTRIES:
            test_model(pack)
    check(os.path.getsize(path) < MAX_PACK_BYTES,
          "the pack is %d bytes, over 1.5 MB" % os.path.getsize(path))
    # Made again from the sources, it is the same file byte for byte.
    with tempfile.TemporaryDirectory() as tmp:
        again = os.path.join(tmp, "again.pk3")
        subprocess.run([sys.executable, os.path.join(source, "scripts", "make_package.py"),
                        "pk3", os.path.join(source, "package", "pk3"), again], check=True)
        check(read(again) == read(path), "the pack is not reproducible")


def tga_size(data):
    """(width, height) of an uncompressed true-colour TGA, or None."""
    if len(data) < 18 or data[2] != 2 or data[16] not in (24, 32):
        return None
    width, height = struct.unpack_from("<HH", data, 12)
    if len(data) < 18 + data[0] + width * height * data[16] // 8:
        return None
    return width, height


def animation_table(text):
    """{name: (first, count, looping, fps)} from animation.cfg, and its sex and footsteps."""
    table, words = {}, {}
    for line in text.splitlines():
        m = re.match(r"\s*(-?\d+)\s+(-?\d+)\s+(-?\d+)\s+(\d+)\s*//\s*(\w+)", line)
        if m:
            table[m.group(5)] = tuple(int(m.group(i)) for i in range(1, 5))
        elif line.split()[:1] in (["sex"], ["footsteps"]):
            words[line.split()[0]] = line.split()[1]
    return table, words


def test_model(pack):
    meshes = {}
    for part in ("lower", "upper", "head"):
        try:
            meshes[part] = check_md3.parse(pack.read(MODEL + part + ".md3"))
        except check_md3.Broken as e:
            check(False, "%s.md3: %s" % (part, e))
            continue
        mesh = meshes[part]
        check(sorted(mesh["tags"][0]) == TAGS[part],
              "%s.md3 tags: %s" % (part, sorted(mesh["tags"][0])))
        for s in mesh["surfaces"]:
            # well under the engine's 1,000 vertices and 2,000 triangles a surface
            check(s["verts"] <= 600 and s["triangles"] <= 1000,
                  "%s.md3 %s: %d vertices, %d triangles" % (part, s["name"], s["verts"],
                                                            s["triangles"]))
        # no frame collapses to a point
        check(all(f["radius"] > 5 for f in mesh["frames"]), part + ".md3 has empty frames")
    if len(meshes) < 3:
        return
    for part, tag in (("upper", "tag_torso"), ("head", "tag_head")):
        origin, axis = meshes[part]["tags"][0][tag]
        check(max(map(abs, origin)) < 1e-3 and
              max(abs(a - b) for a, b in zip(axis, (1, 0, 0, 0, 1, 0, 0, 0, 1))) < 1e-3,
              "%s.md3's %s is not at the origin" % (part, tag))
    check(len(meshes["head"]["frames"]) == 1, "the head is animated")

    table, words = animation_table(pack.read(MODEL + "animation.cfg").decode("ascii"))
    check(sorted(table) == sorted(ANIMATIONS), "animations: %s" % sorted(table))
    check(words == {"sex": "m", "footsteps": "mech"}, "animation.cfg says %s" % words)
    if sorted(table) != sorted(ANIMATIONS):
        return
    # The game takes the torso's span off every legs animation's first frame.
    skip = table["LEGS_WALKCR"][0] - table["TORSO_GESTURE"][0]
    upper_frames, lower_frames = len(meshes["upper"]["frames"]), len(meshes["lower"]["frames"])
    for name, (first, count, looping, fps) in table.items():
        check(count > 0 and 0 <= looping <= count and fps > 0, name + " has bad numbers")
        frames = {"BOTH": [upper_frames, lower_frames], "TORSO": [upper_frames],
                  "LEGS": [lower_frames]}[name.split("_")[0]]
        if name.startswith("LEGS"):
            first -= skip
        check(all(first >= 0 and first + count <= n for n in frames),
              "%s runs past the mesh's frames" % name)
    for name in ("LEGS_WALK", "LEGS_RUN", "LEGS_BACK", "LEGS_IDLE"):
        check(table[name][2] == table[name][1], name + " does not loop")
    # Walking and running move the legs: the lower mesh's bounds change along the cycle.
    first = table["LEGS_RUN"][0] - skip
    spans = {round(meshes["lower"]["frames"][first + i]["maxs"][0], 1)
             for i in range(table["LEGS_RUN"][1])}
    check(len(spans) > 2, "the legs stand still while running")

    surfaces = {part: [s["name"] for s in meshes[part]["surfaces"]] for part in meshes}
    for part in ("lower", "upper", "head"):
        for skin in SKINS:
            lines = [l.split(",", 1) for l in
                     pack.read(MODEL + "%s_%s.skin" % (part, skin)).decode().split()]
            named = {l[0]: l[1] for l in lines if len(l) == 2 and l[1]}
            check(sorted(named) == sorted(surfaces[part]),
                  "%s_%s.skin names %s" % (part, skin, sorted(named)))
            for image in named.values():
                check(image in pack.namelist(), "%s_%s.skin: no %s" % (part, skin, image))
    for name in TEXTURES:
        size = tga_size(pack.read(MODEL + name))
        check(size is not None and all(n & (n - 1) == 0 for n in size),
              "%s is not a power-of-two TGA: %s" % (name, size))
    for skin in SKINS:
        check(tga_size(pack.read(MODEL + "icon_%s.tga" % skin)) == (64, 64),
              "icon_%s.tga is not 64 x 64" % skin)


def pe_stamp_and_signature(data):
    """The PE header's time stamp and the size of the certificate table, or None."""
    if data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    stamp = struct.unpack_from("<I", data, pe + 8)[0]
    optional = pe + 24  # PE32: the data directories start 96 bytes in, the certificates 5th
    return stamp, struct.unpack_from("<II", data, optional + 96 + 4 * 8)[1]


def test_release(build, source):
    folder = os.path.join(build, "dist", "ZV-001")
    check(sorted(os.listdir(folder)) == RELEASE_FILES,
          "release folder holds %s" % sorted(os.listdir(folder)))
    check(read(os.path.join(folder, "ZVSetup.exe")) == read(os.path.join(build, "ZVSetup.exe")),
          "ZVSetup.exe in the release is not the one built")
    check(read(os.path.join(folder, "zvuninst.exe")) == read(os.path.join(build, "zvuninst.exe")),
          "zvuninst.exe in the release is not the one built")
    check(read(os.path.join(folder, "PakZV01.pk3")) == read(os.path.join(build, "PakZV01.pk3")),
          "PakZV01.pk3 in the release is not the one built")
    licence = read(os.path.join(folder, "ZV-001.txt"))
    check(licence.count(b"\n") > 10 and licence.count(b"\n") == licence.count(b"\r\n"),
          "the licence text does not end its lines with CR LF")
    check(licence.replace(b"\r\n", b"\n") == read(os.path.join(source, "package", "ZV-001.txt")),
          "the licence text differs from its source")
    check(b"requireAdministrator" in read(os.path.join(folder, "zvuninst.exe")),
          "the uninstaller does not ask for administrator rights")
    for name in ("ZVSetup.exe", "zvuninst.exe"):
        check(pe_stamp_and_signature(read(os.path.join(folder, name))) == (0, 0),
              name + " carries a build time or a signature: %s"
              % (pe_stamp_and_signature(read(os.path.join(folder, name))),))
    with tempfile.TemporaryDirectory() as tmp:
        again = os.path.join(tmp, "ZV-001")
        os.makedirs(again)
        for name in RELEASE_FILES:
            with open(os.path.join(again, name), "wb") as f:
                f.write(read(os.path.join(folder, name)))
        subprocess.run([sys.executable, os.path.join(source, "scripts", "make_package.py"), "zip",
                        again], check=True)
        check(read(again + ".zip") == read(os.path.join(build, "dist", "ZV-001.zip")),
              "the release zip is not remade byte for byte from its folder")
    with zipfile.ZipFile(os.path.join(build, "dist", "ZV-001.zip")) as release:
        check(release.testzip() is None, "an entry of the release zip is damaged")
        names = release.namelist()
        check(sorted(names) == ["ZV-001/" + name for name in RELEASE_FILES],
              "release zip holds %s" % names)
        for name in RELEASE_FILES:
            if "ZV-001/" + name in names:
                check(release.read("ZV-001/" + name) == read(os.path.join(folder, name)),
                      name + " in the zip differs from the folder")


def main():
    build, source = sys.argv[1], sys.argv[2]
    test_pack(build, source)
    test_release(build, source)
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
