#!/usr/bin/env python3
"""The shipped package as built: the pack opens as a zip and holds exactly the expected
entries, is remade byte for byte from its sources, and the release folder and its zip hold
exactly the four files. Usage: test_package.py BUILD_DIR SOURCE_DIR"""
import io
import os
import subprocess
import sys
import tempfile
import zipfile

PACK_ENTRIES = sorted(
    ["readme_zv001.txt", "scripts/strider.shader", "models/players/strider/animation.cfg"]
    + ["models/players/strider/%s_%s.skin" % (part, skin)
       for part in ("head", "upper", "lower") for skin in ("default", "red", "blue")])
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
            data = pack.read(info)
            check(data == read(os.path.join(source, "package", "pk3", info.filename)),
                  info.filename + " differs from its source")
        for skin in ("default", "red", "blue"):
            text = pack.read("models/players/strider/upper_%s.skin" % skin).decode()
            check("tag_weapon," in text, "upper_%s.skin lacks the weapon tag" % skin)
        check(pack.read("models/players/strider/animation.cfg").count(b"//") >= 25,
              "the animation table lacks its 25 animations")
    # Made again from the sources, it is the same file byte for byte.
    with tempfile.TemporaryDirectory() as tmp:
        again = os.path.join(tmp, "again.pk3")
        subprocess.run([sys.executable, os.path.join(source, "scripts", "make_package.py"),
                        "pk3", os.path.join(source, "package", "pk3"), again], check=True)
        check(read(again) == read(path), "the pack is not reproducible")


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
