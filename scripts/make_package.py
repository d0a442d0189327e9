#!/usr/bin/env python3
"""Builds the package files byte for byte the same from the same inputs: the pack
PakZV01.pk3 from package/pk3 and the model that make_model.py generates, and the release
folder ZV-001 with its zip; and remakes the zip beside a release folder whose programs were
signed since (scripts/sign.sh).

  make_package.py pk3 SOURCE_DIR OUTPUT.pk3
  make_package.py release DIST_DIR ZVSetup.exe zvuninst.exe PakZV01.pk3 ZV-001.txt
  make_package.py zip RELEASE_FOLDER
"""
import os
import shutil
import sys
import zipfile

# Every entry carries the same time, so the archives depend on nothing but their contents.
STAMP = (1999, 12, 2, 0, 0, 0)
RELEASE = "ZV-001"
# The release's files in the order the zip holds them.
RELEASE_FILES = ["ZVSetup.exe", "ZV-001.txt", "zvuninst.exe", "PakZV01.pk3"]


def add_entry(archive, name, data):
    info = zipfile.ZipInfo(name, date_time=STAMP)
    info.create_system = 0  # MS-DOS attributes, as the game and Windows expect
    info.external_attr = 0x20  # archive bit only
    info.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(info, data, compresslevel=9)


def write_zip(path, entries):
    """entries: (name inside the archive, bytes), written in the order given."""
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as archive:
        for name, data in entries:
            add_entry(archive, name, data)
    os.replace(tmp, path)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def build_pack(source, output):
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import make_model
    entries = []
    model = make_model.build()
    for folder, _, files in os.walk(source):
        for name in files:
            full = os.path.join(folder, name)
            entry = os.path.relpath(full, source).replace(os.sep, "/")
            if entry in model:
                sys.exit("make_package.py: %s is both in %s and generated" % (entry, source))
            entries.append((entry, read(full)))
    entries += model.items()
    # The game looks files up by name; sorting only fixes the bytes of the archive.
    entries.sort(key=lambda entry: entry[0])
    write_zip(output, entries)


def crlf(data):
    """Line ends as Notepad shows them."""
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def build_release(dist, setup, uninstaller, pack, licence):
    folder = os.path.join(dist, RELEASE)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    data = {"ZVSetup.exe": read(setup), "ZV-001.txt": crlf(read(licence)),
            "zvuninst.exe": read(uninstaller), "PakZV01.pk3": read(pack)}
    for name in RELEASE_FILES:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data[name])
    release_zip(folder)


def release_zip(folder):
    """The zip beside the release folder, named after it, from the files in it."""
    folder = os.path.normpath(folder)
    name = os.path.basename(folder)
    write_zip(folder + ".zip", [(name + "/" + entry, read(os.path.join(folder, entry)))
                                for entry in RELEASE_FILES])


def main(argv):
    if len(argv) == 4 and argv[1] == "pk3":
        build_pack(argv[2], argv[3])
    elif len(argv) == 7 and argv[1] == "release":
        build_release(*argv[2:])
    elif len(argv) == 3 and argv[1] == "zip":
        release_zip(argv[2])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
