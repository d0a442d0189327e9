#!/usr/bin/env python3
"""Checks Quake III .md3 meshes before an engine sees them: a mesh the engine cannot read
either crashes it or falls back to another model without an error code.

  check_md3.py FILE.md3 ...             check loose files
  check_md3.py --pack PACK.pk3 MODEL    check models/players/MODEL/{lower,upper,head}.md3
  check_md3.py --tags FILE.md3          also print every tag of the first frame

Prints one line per mesh and exits 1 if any is broken. Standard library only; the checks
are also used by tests/test_package.py.
"""
import struct
import sys
import zipfile

IDENT = b"IDP3"
VERSION = 15
# The renderer's limits (qfiles.h); a mesh over them is refused.
MAX_FRAMES = 1024
MAX_TAGS = 16
MAX_SURFACES = 32
MAX_VERTS = 1000
MAX_TRIANGLES = 2000
MAX_SHADERS = 256

HEADER = struct.Struct("<4si64siiiiiiiii")       # 108 bytes
FRAME = struct.Struct("<3f3f3ff16s")            # 56
TAG = struct.Struct("<64s3f9f")                 # 112
SURFACE = struct.Struct("<4s64siiiiiiiiii")      # 108
SHADER_SIZE, TRIANGLE_SIZE, ST_SIZE, XYZ_SIZE = 68, 12, 8, 8


class Broken(Exception):
    pass


def cstr(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


def span(data, offset, size, what):
    if offset < 0 or size < 0 or offset + size > len(data):
        raise Broken("%s (offset %d, %d bytes) lies outside the %d-byte file"
                     % (what, offset, size, len(data)))


def parse(data):
    """The mesh as a dict: frames, tags (per frame, name -> (origin, axis)), surfaces.
    Raises Broken with the reason when the file is not a mesh the engine can load."""
    if len(data) < HEADER.size:
        raise Broken("only %d bytes, shorter than a header" % len(data))
    (ident, version, name, _flags, nframes, ntags, nsurfaces, _nskins,
     ofs_frames, ofs_tags, ofs_surfaces, ofs_end) = HEADER.unpack_from(data)
    if ident != IDENT:
        raise Broken("ident %r, not IDP3" % ident)
    if version != VERSION:
        raise Broken("version %d, not 15" % version)
    if not 1 <= nframes <= MAX_FRAMES:
        raise Broken("%d frames" % nframes)
    if not 0 <= ntags <= MAX_TAGS or not 0 <= nsurfaces <= MAX_SURFACES:
        raise Broken("%d tags, %d surfaces" % (ntags, nsurfaces))
    if ofs_end != len(data):
        raise Broken("header says %d bytes, file has %d" % (ofs_end, len(data)))
    span(data, ofs_frames, nframes * FRAME.size, "frames")
    span(data, ofs_tags, nframes * ntags * TAG.size, "tags")
    frames = []
    for i in range(nframes):
        f = FRAME.unpack_from(data, ofs_frames + i * FRAME.size)
        frames.append({"mins": f[0:3], "maxs": f[3:6], "radius": f[9]})
    tags = []
    for i in range(nframes):
        frame_tags = {}
        for j in range(ntags):
            t = TAG.unpack_from(data, ofs_tags + (i * ntags + j) * TAG.size)
            frame_tags[cstr(t[0])] = (t[1:4], t[4:13])
        tags.append(frame_tags)
    surfaces = []
    offset = ofs_surfaces
    for _ in range(nsurfaces):
        span(data, offset, SURFACE.size, "surface header")
        (sident, sname, _sflags, snframes, nshaders, nverts, ntris, ofs_tris, ofs_shaders,
         ofs_st, ofs_xyz, sofs_end) = SURFACE.unpack_from(data, offset)
        sname = cstr(sname)
        if sident != IDENT:
            raise Broken("surface %s: ident %r" % (sname, sident))
        if snframes != nframes:
            raise Broken("surface %s: %d frames, mesh has %d" % (sname, snframes, nframes))
        if not 0 < nverts <= MAX_VERTS or not 0 < ntris <= MAX_TRIANGLES:
            raise Broken("surface %s: %d vertices, %d triangles" % (sname, nverts, ntris))
        if not 0 <= nshaders <= MAX_SHADERS:
            raise Broken("surface %s: %d shaders" % (sname, nshaders))
        span(data, offset, sofs_end, "surface " + sname)
        span(data, offset + ofs_tris, ntris * TRIANGLE_SIZE, sname + " triangles")
        span(data, offset + ofs_shaders, nshaders * SHADER_SIZE, sname + " shaders")
        span(data, offset + ofs_st, nverts * ST_SIZE, sname + " texture coordinates")
        span(data, offset + ofs_xyz, nverts * nframes * XYZ_SIZE, sname + " vertices")
        for k in range(ntris * 3):
            index = struct.unpack_from("<i", data, offset + ofs_tris + 4 * k)[0]
            if not 0 <= index < nverts:
                raise Broken("surface %s: triangle vertex %d of %d" % (sname, index, nverts))
        shaders = [cstr(data[offset + ofs_shaders + k * SHADER_SIZE:][:64])
                   for k in range(nshaders)]
        surfaces.append({"name": sname, "verts": nverts, "triangles": ntris,
                         "shaders": shaders})
        offset += sofs_end
    if offset != ofs_end:
        raise Broken("surfaces end at %d, file at %d" % (offset, ofs_end))
    return {"name": cstr(name), "frames": frames, "tags": tags, "surfaces": surfaces}


def describe(mesh):
    return "%d frames, tags %s, surfaces %s" % (
        len(mesh["frames"]), ",".join(sorted(mesh["tags"][0])),
        ",".join("%s(%dv/%dt)" % (s["name"], s["verts"], s["triangles"])
                 for s in mesh["surfaces"]))


def main(argv):
    show_tags = "--tags" in argv
    argv = [a for a in argv if a != "--tags"]
    if len(argv) == 4 and argv[1] == "--pack":
        with zipfile.ZipFile(argv[2]) as pack:
            names = set(pack.namelist())
            items = []
            for part in ("lower", "upper", "head"):
                path = "models/players/%s/%s.md3" % (argv[3], part)
                items.append((path, pack.read(path) if path in names else None))
    elif len(argv) > 1 and not argv[1].startswith("-"):
        items = []
        for path in argv[1:]:
            with open(path, "rb") as f:
                items.append((path, f.read()))
    else:
        sys.stderr.write(__doc__)
        return 2
    bad = 0
    for path, data in items:
        if data is None:
            print("%s: missing" % path)
            bad += 1
            continue
        try:
            mesh = parse(data)
        except Broken as e:
            print("%s: broken: %s" % (path, e))
            bad += 1
            continue
        print("%s: ok, %s" % (path, describe(mesh)))
        if show_tags:
            for tag, (origin, axis) in sorted(mesh["tags"][0].items()):
                print("  %s origin %s axis %s" % (tag, ["%.2f" % v for v in origin],
                                                  ["%.2f" % v for v in axis]))
            f = mesh["frames"][0]
            print("  frame 0 mins %s maxs %s radius %.1f"
                  % (["%.1f" % v for v in f["mins"]], ["%.1f" % v for v in f["maxs"]],
                     f["radius"]))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
