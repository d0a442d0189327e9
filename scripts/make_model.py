#!/usr/bin/env python3
"""Builds the ZV-001 Strider player model for Quake III from code (standard library only).

  make_model.py OUTPUT_DIR

writes under OUTPUT_DIR/models/players/strider/:
  lower.md3, upper.md3, head.md3   MD3 version 15 meshes with the standard tags
  animation.cfg                    the 25 standard animations, frame numbers matching
  strider.tga, strider_red.tga, strider_blue.tga
                                   256 x 256 texture sheets: default (green), red, blue
  icon_default.tga, icon_red.tga, icon_blue.tga
                                   64 x 64 player-select icons, the installer's portraits

The robot is built from boxes and lathed solids hung on a small skeleton; every frame is a
pose of that skeleton, so the same script always gives the same bytes. make_package.py calls
build() to put the files into the pack; the skin files that name these textures live in
package/pk3 with the rest of the pack's text files.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_bitmaps  # noqa: E402  (the installer's portraits double as the icons)

MODEL = "strider"
FOLDER = "models/players/%s/" % MODEL
GROUND = -24.0          # the player box's floor, in the legs' model space

# ------------------------------------------------------------------ vectors --


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(v):
    n = math.sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) or 1.0
    return (v[0] / n, v[1] / n, v[2] / n)


def rot_x(deg):   # roll: turns +Y towards +Z
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((1, 0, 0), (0, c, -s), (0, s, c))


def rot_y(deg):   # pitch: positive tips +X (forward) down, so a hanging limb swings back
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((c, 0, s), (0, 1, 0), (-s, 0, c))


def rot_z(deg):   # yaw: turns +X towards +Y (to the left)
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return ((c, -s, 0), (s, c, 0), (0, 0, 1))


def mat_mul(a, b):
    return tuple(tuple(sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3))
                 for i in range(3))


def mat_vec(m, v):
    return (m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2])


IDENTITY = ((1, 0, 0), (0, 1, 0), (0, 0, 1))


class Xform:
    """A rotation then a translation: x -> r x + t."""

    def __init__(self, r=IDENTITY, t=(0.0, 0.0, 0.0)):
        self.r, self.t = r, t

    def __mul__(self, other):
        return Xform(mat_mul(self.r, other.r), add(mat_vec(self.r, other.t), self.t))

    def point(self, p):
        return add(mat_vec(self.r, p), self.t)

    def vector(self, v):
        return mat_vec(self.r, v)


def joint(offset, yaw=0.0, pitch=0.0, roll=0.0):
    return Xform(mat_mul(rot_z(yaw), mat_mul(rot_y(pitch), rot_x(roll))), offset)


# ----------------------------------------------------------------- texture --

SHEET = 256
TILE = 64
# Tiles of the texture sheet, four to a row.
ARMOUR, PANEL, TRIM, VENT, JOINT, VISOR, TREAD, CHEST, LIGHT, STRIPE = range(10)


def tile_uv(tile, s, t):
    """Sheet coordinates of (s, t) in 0..1 across a tile, kept a pixel inside its edges."""
    col, row = tile % 4, tile // 4
    inset = 1.5 / SHEET
    span = TILE / SHEET - 2 * inset
    return (col * TILE / SHEET + inset + s * span, row * TILE / SHEET + inset + t * span)


# ------------------------------------------------------------------ meshes --


class Mesh:
    """Vertices bound rigidly to named bones; triangles wound outward (counter-clockwise)."""

    def __init__(self):
        self.verts = []    # (bone, position, normal, (s, t))
        self.tris = []

    def quad(self, bone, corners, tile, normal=None):
        """corners counter-clockwise seen from outside, starting at the bottom left."""
        if normal is None:
            normal = unit(add(cross(sub(corners[1], corners[0]), sub(corners[2], corners[0])),
                              cross(sub(corners[2], corners[0]), sub(corners[3], corners[0]))))
        base = len(self.verts)
        for p, st in zip(corners, ((0, 1), (1, 1), (1, 0), (0, 0))):
            self.verts.append((bone, p, normal, tile_uv(tile, *st)))
        self.tris += [(base, base + 1, base + 2), (base, base + 2, base + 3)]

    def box(self, bone, lo, hi, tile, tiles=None, top=(1.0, 1.0), shift=(0.0, 0.0)):
        """A six-sided block from lo to hi; top scales the upper face about its centre and
        shift moves it (a tapered or leaning block); tiles maps face names to tiles."""
        tiles = tiles or {}
        cx, cy = (lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2

        def c(ix, iy, iz):
            x, y = (lo[0], hi[0])[ix], (lo[1], hi[1])[iy]
            if iz:
                x = cx + (x - cx) * top[0] + shift[0]
                y = cy + (y - cy) * top[1] + shift[1]
            return (x, y, (lo[2], hi[2])[iz])
        faces = {
            "front": (c(1, 0, 0), c(1, 1, 0), c(1, 1, 1), c(1, 0, 1)),
            "back": (c(0, 1, 0), c(0, 0, 0), c(0, 0, 1), c(0, 1, 1)),
            "left": (c(1, 1, 0), c(0, 1, 0), c(0, 1, 1), c(1, 1, 1)),
            "right": (c(0, 0, 0), c(1, 0, 0), c(1, 0, 1), c(0, 0, 1)),
            "top": (c(0, 0, 1), c(1, 0, 1), c(1, 1, 1), c(0, 1, 1)),
            "bottom": (c(0, 1, 0), c(1, 1, 0), c(1, 0, 0), c(0, 0, 0)),
        }
        for name, corners in faces.items():
            self.quad(bone, corners, tiles.get(name, tile))

    def lathe(self, bone, rings, tile, sides=8, frame=IDENTITY, at=(0, 0, 0), caps=True):
        """A solid of revolution around local z: rings are (z, radius x, radius y) going up;
        frame turns local z to the solid's axis and at places it. Smooth around, flat caps."""
        place = Xform(frame, at)
        first = len(self.verts)
        grid = []
        for i, (z, rx, ry) in enumerate(rings):
            row = []
            for j in range(sides + 1):
                a = 2 * math.pi * (j % sides) / sides + math.pi / sides
                p = (rx * math.cos(a), ry * math.sin(a), z)
                # outward normal of the ring's surface, leaning with the profile's slope
                k = max(0, i - 1), min(len(rings) - 1, i + 1)
                dz = rings[k[1]][0] - rings[k[0]][0] or 1e-6
                slope = -((rings[k[1]][1] + rings[k[1]][2]) - (rings[k[0]][1] + rings[k[0]][2])) / 2 / dz
                n = unit((math.cos(a) / max(rx, 1e-3) * (rx + ry) / 2,
                          math.sin(a) / max(ry, 1e-3) * (rx + ry) / 2, slope))
                row.append(len(self.verts))
                self.verts.append((bone, place.point(p), place.vector(n),
                                   tile_uv(tile, j / sides, 1 - i / (len(rings) - 1))))
            grid.append(row)
        for i in range(len(rings) - 1):
            for j in range(sides):
                a, b, c, d = grid[i][j], grid[i][j + 1], grid[i + 1][j + 1], grid[i + 1][j]
                self.tris += [(a, b, c), (a, c, d)]
        for i, up in ((0, False), (len(rings) - 1, True)):
            z, rx, ry = rings[i]
            if not caps or rx <= 0 or ry <= 0:
                continue
            normal = place.vector((0, 0, 1 if up else -1))
            centre = len(self.verts)
            self.verts.append((bone, place.point((0, 0, z)), normal, tile_uv(tile, 0.5, 0.5)))
            ring = []
            for j in range(sides):
                a = 2 * math.pi * j / sides + math.pi / sides
                ring.append(len(self.verts))
                self.verts.append((bone, place.point((rx * math.cos(a), ry * math.sin(a), z)),
                                   normal, tile_uv(tile, 0.5 + 0.45 * math.cos(a),
                                                   0.5 + 0.45 * math.sin(a))))
            for j in range(sides):
                a, b = ring[j], ring[(j + 1) % sides]
                self.tris.append((centre, a, b) if up else (centre, b, a))
        return first


ALONG_Y = rot_x(-90)   # a lathe's axis along +Y (local z -> +Y)


def cylinder_y(mesh, bone, centre, radius, half, tile, sides=6):
    """A joint pin across the body (axis along Y)."""
    mesh.lathe(bone, [(-half, radius, radius), (half, radius, radius)], tile, sides,
               ALONG_Y, centre)


# Skeleton sizes.
HIP_Y = 4.2
THIGH = 10.5
SHIN = 10.5
ANKLE_Z = GROUND + 2.5
SHOULDER = (0.0, 9.6, 13.2)
UPPER_ARM = 7.5
FOREARM = 7.5
TORSO_TAG = (0.0, 0.0, 4.5)    # on the pelvis
HEAD_TAG = (0.0, 0.0, 16.5)    # on the chest


def build_lower():
    m = Mesh()
    # pelvis: hips block, armoured belt plate in front, a dark hip pin through both sockets
    m.box("pelvis", (-3.4, -5.6, -1.6), (3.4, 5.6, 3.6), TRIM, {"front": PANEL},
          top=(1.0, 0.85))
    m.box("pelvis", (3.0, -3.2, -2.6), (4.6, 3.2, 3.0), ARMOUR, {"front": STRIPE},
          top=(0.8, 1.1))
    m.box("pelvis", (-1.2, -1.2, 3.4), (1.2, 1.2, 5.2), JOINT)
    for side, sign in (("l", 1), ("r", -1)):
        y = sign * HIP_Y
        cylinder_y(m, "pelvis", (0, y - 1.4 * sign, 0), 2.2, 1.2, JOINT)
        # thigh: a trim-coloured strut with an armour plate on its front
        m.box(side + "thigh", (-2.1, y - 2.0, -THIGH + 0.8), (2.3, y + 2.0, -0.6), TRIM,
              {"left": VENT, "right": VENT}, top=(1.15, 1.1))
        m.box(side + "thigh", (2.0, y - 1.6, -THIGH + 2.2), (3.2, y + 1.6, -1.6), ARMOUR,
              {"front": PANEL})
        # knee: pin and a wedge-shaped pad riding on the shin
        cylinder_y(m, side + "shin", (0, y, 0), 1.8, 1.9, JOINT)
        m.box(side + "shin", (1.4, y - 1.9, -2.6), (3.6, y + 1.9, 2.0), ARMOUR,
              {"front": STRIPE}, top=(0.6, 0.9), shift=(-0.5, 0))
        # shin: a boot-like block, wider at the bottom
        m.box(side + "shin", (-2.4, y - 2.3, -SHIN + 0.6), (2.5, y + 2.3, -1.0), ARMOUR,
              {"front": PANEL, "back": TRIM}, top=(0.8, 0.8))
        # foot: long in front, toe sloping down, tread underneath
        m.box(side + "foot", (-3.0, y - 2.7, -2.5), (6.8, y + 2.7, 0.6), TRIM,
              {"bottom": TREAD, "front": JOINT, "top": ARMOUR}, top=(0.7, 0.9),
              shift=(-1.3, 0))
    return m


def build_upper():
    m = Mesh()
    # waist: a ribbed column under an abdomen block
    m.lathe("chest", [(-0.5, 3.6, 4.2), (3.5, 3.6, 4.2)], JOINT, sides=8)
    m.box("chest", (-3.4, -4.6, 2.6), (3.6, 4.6, 6.6), TRIM, {"front": VENT})
    # the torso: armour, broader at the shoulders, the ZV mark on the chest
    m.box("chest", (-4.4, -6.6, 6.0), (4.6, 6.6, 15.6), ARMOUR,
          {"front": CHEST, "back": PANEL, "top": TRIM}, top=(1.15, 1.3), shift=(0.4, 0))
    m.box("chest", (-1.5, -7.8, 14.6), (2.5, 7.8, 16.2), TRIM)
    # collar and neck
    m.lathe("chest", [(15.4, 2.4, 2.4), (17.2, 2.0, 2.0)], JOINT, sides=8)
    # back pack with vents and two lights
    m.box("chest", (-9.0, -5.0, 6.6), (-4.4, 5.0, 15.0), TRIM, {"back": VENT},
          top=(0.8, 1.0), shift=(0.6, 0))
    for y in (-3.0, 3.0):
        m.box("chest", (-9.6, y - 1.0, 12.2), (-8.4, y + 1.0, 14.0), LIGHT)
    for side, sign in (("l", 1), ("r", -1)):
        arm, fore = side + "arm", side + "fore"
        # shoulder: pin, angular pad over it, upper arm
        cylinder_y(m, arm, (0, 0.4 * sign, 0), 2.2, 1.6, JOINT)
        lo, hi = sorted((0.0, 4.6 * sign))
        m.box(arm, (-3.6, lo, -2.4), (3.6, hi, 2.6), ARMOUR, {"left": STRIPE, "right": STRIPE},
              top=(0.8, 0.55), shift=(0, 0.9 * sign))
        m.box(arm, (-1.6, 0.9 * sign - 1.6, -UPPER_ARM + 0.4), (1.6, 0.9 * sign + 1.6, -2.0),
              TRIM)
        # elbow pin, forearm gauntlet, hand
        cylinder_y(m, fore, (0, 0.9 * sign, 0), 1.6, 1.7, JOINT)
        m.box(fore, (-2.1, 0.9 * sign - 2.0, -FOREARM + 0.6), (2.1, 0.9 * sign + 2.0, -0.8),
              ARMOUR, {"front": PANEL}, top=(1.15, 1.15))
        m.box(fore, (-1.4, 0.9 * sign - 1.3, -FOREARM - 2.2), (1.4, 0.9 * sign + 1.3,
              -FOREARM + 0.6), JOINT)
    return m


def build_head():
    m = Mesh()
    # helmet: a lathed dome, slightly longer than wide
    m.lathe("head", [(0.0, 3.4, 3.2), (1.2, 4.6, 4.2), (5.4, 5.0, 4.6), (7.8, 4.3, 4.0),
                     (9.2, 2.6, 2.4), (9.8, 0.0, 0.0)], ARMOUR, sides=10)
    # visor: a bevelled glass band across the face
    m.box("head", (2.8, -3.9, 3.0), (5.6, 3.9, 6.4), VISOR, {"top": JOINT, "bottom": JOINT},
          top=(1.0, 1.0))
    # crest along the top, ear pieces, jaw guard with a grille
    m.box("head", (-4.6, -0.7, 7.4), (4.4, 0.7, 10.6), TRIM, top=(0.8, 1.0), shift=(-0.8, 0))
    for sign in (1, -1):
        m.lathe("head", [(-0.8, 1.9, 1.9), (0.8, 1.6, 1.6)], TRIM, sides=8,
                frame=rot_x(-90 * sign), at=(0.0, 4.5 * sign, 4.2))
    m.box("head", (2.0, -2.9, -0.6), (5.0, 2.9, 2.8), TRIM, {"front": VENT}, top=(0.8, 0.9))
    return m


# --------------------------------------------------------------- skeletons --

# A pose is a flat dict of numbers (angles in degrees, lengths in game units);
# anything left out takes the standing value.
STAND = {
    # the whole body: turns about a pivot on the floor, then lifts (used by the deaths)
    "root_pitch": 0.0, "root_roll": 0.0, "root_yaw": 0.0,
    "pivot_x": 0.0, "pivot_y": 0.0, "lift": 0.0,
    # pelvis: position and tilt
    "px": 0.0, "pz": -2.0, "ppitch": 0.0, "proll": 0.0, "pyaw": 0.0,
    # legs: hip, knee, ankle pitch and how far the leg swings out
    "l_hip": 0.0, "l_knee": 0.0, "l_ankle": 0.0, "l_out": 0.0,
    "r_hip": 0.0, "r_knee": 0.0, "r_ankle": 0.0, "r_out": 0.0,
    # torso on its tag, neck, arms (shoulder pitch, sideways lift, elbow)
    "lean": 2.0, "twist": 0.0, "troll": 0.0, "neck": 0.0,
    "l_sh": -8.0, "l_out_arm": 10.0, "l_el": -50.0,
    "r_sh": -10.0, "r_out_arm": 6.0, "r_el": -80.0,
}


def ik_leg(pose, side, foot_x, foot_lift=0.0, foot_pitch=0.0):
    """Hip, knee and ankle angles that put the ankle at foot_x on (or foot_lift above) the
    floor, below a pelvis at pose's px, pz; the knee bends forward."""
    hx, hz = pose.get("px", STAND["px"]), pose.get("pz", STAND["pz"])
    ax, az = foot_x, ANKLE_Z + foot_lift
    dx, dz = ax - hx, az - hz
    d = math.hypot(dx, dz)
    d = max(abs(THIGH - SHIN) + 0.5, min(d, (THIGH + SHIN) * 0.999))
    phi = math.degrees(math.atan2(dx, -dz))          # forward angle of hip -> ankle
    alpha = math.degrees(math.acos((THIGH ** 2 + d * d - SHIN ** 2) / (2 * THIGH * d)))
    beta = math.degrees(math.acos((SHIN ** 2 + d * d - THIGH ** 2) / (2 * SHIN * d)))
    thigh, shin = phi + alpha, phi - beta            # forward angles of the two bones
    pitch = pose.get("ppitch", 0.0)
    pose[side + "_hip"] = -thigh - pitch
    pose[side + "_knee"] = thigh - shin
    pose[side + "_ankle"] = foot_pitch + shin
    return pose


def full(pose):
    p = dict(STAND)
    p.update(pose)
    return p


def root_xform(p):
    """The whole body turned about its pivot on the floor, then lifted."""
    pivot = (p["pivot_x"], p["pivot_y"], GROUND)
    turn = mat_mul(rot_z(p["root_yaw"]), mat_mul(rot_y(p["root_pitch"]), rot_x(p["root_roll"])))
    return Xform(turn, add(sub(pivot, mat_vec(turn, pivot)), (0, 0, p["lift"])))


def lower_bones(p):
    bones = {"pelvis": root_xform(p) * joint((p["px"], 0, p["pz"]), p["pyaw"], p["ppitch"],
                                              p["proll"])}
    for side, sign in (("l", 1), ("r", -1)):
        # Each leg's pieces are modelled at its own hip's Y, so the joints turn about that line.
        hip = bones["pelvis"] * joint((0, sign * HIP_Y, 0), 0, p[side + "_hip"],
                                      sign * p[side + "_out"]) * joint((0, -sign * HIP_Y, 0))
        bones[side + "thigh"] = hip
        bones[side + "shin"] = hip * joint((0, 0, -THIGH), 0, p[side + "_knee"])
        bones[side + "foot"] = bones[side + "shin"] * joint((0, 0, -SHIN), 0, p[side + "_ankle"])
    tags = {"tag_torso": bones["pelvis"] * joint(TORSO_TAG)}
    return bones, tags


def upper_bones(p):
    chest = joint((0, 0, 0), p["twist"], p["lean"], p["troll"])
    bones = {"chest": chest}
    for side, sign in (("l", 1), ("r", -1)):
        shoulder = (SHOULDER[0], sign * SHOULDER[1], SHOULDER[2])
        bones[side + "arm"] = chest * joint(shoulder, 0, p[side + "_sh"],
                                            sign * p[side + "_out_arm"])
        bones[side + "fore"] = bones[side + "arm"] * joint((0, 0, -UPPER_ARM), 0, p[side + "_el"])
    # The weapon sits in the right hand, pointing where the forearm points.
    fore = bones["rfore"]
    hand = fore * Xform(((0, 0, 1), (0, 1, 0), (-1, 0, 0)), (0, -0.9, -FOREARM - 0.8))
    tags = {"tag_head": chest * joint(HEAD_TAG, 0, p["neck"] - p["lean"] * 0.5),
            "tag_weapon": hand,
            "tag_torso": Xform()}
    return bones, tags


def head_bones(p):
    return {"head": Xform()}, {"tag_head": Xform()}


# -------------------------------------------------------------- animations --

def lerp_pose(a, b, t):
    t = t * t * (3 - 2 * t)    # ease in and out
    return {k: a[k] + (b[k] - a[k]) * t for k in a}


def keyed(keys, n):
    """n frames through keyframes [(time 0..1, pose)], the last frame on the last key."""
    keys = [(t, full(pose)) for t, pose in keys]
    frames = []
    for i in range(n):
        t = i / (n - 1) if n > 1 else 0.0
        for (t0, a), (t1, b) in zip(keys, keys[1:]):
            if t <= t1:
                frames.append(lerp_pose(a, b, (t - t0) / (t1 - t0) if t1 > t0 else 1.0))
                break
        else:
            frames.append(dict(keys[-1][1]))
    return frames


def standing(**extra):
    pose = dict(extra)
    pose.setdefault("pz", STAND["pz"])
    ik_leg(pose, "l", 0.6)
    ik_leg(pose, "r", -0.4)
    return pose


def cycle(n, stride, lift, pz, bob, pitch, backwards=False, sway=0.0):
    """A looping step: each foot slides back on the floor for half the cycle and swings
    forward through the air for the other half; the pelvis dips at each foot fall."""
    frames = []
    for i in range(n):
        phase = i / n
        if backwards:
            phase = 1.0 - phase
        pose = {"pz": pz + bob * math.cos(4 * math.pi * phase), "ppitch": pitch,
                "pyaw": sway * math.sin(2 * math.pi * phase)}
        for side, offset in (("l", 0.0), ("r", 0.5)):
            q = (phase + offset) % 1.0
            if q < 0.5:                       # on the floor, pushing back
                x, up, toe = stride * (1 - 4 * q), 0.0, 0.0
            else:                             # swinging forward
                s = (q - 0.5) * 2
                x = -stride * math.cos(math.pi * s)
                toe = 25 * (1 - s) - 15 * s
                # a toe pointing down lifts the ankle rather than sinking into the floor
                up = lift * math.sin(math.pi * s) + max(0.0, 6.8 * math.sin(math.radians(toe)))
            ik_leg(pose, side, x, up, toe)
        frames.append(full(pose))
    return frames


def both_deaths():
    """Three deaths, each ending on the floor; the last frame of each is its dead pose."""
    stand = standing()
    crumple = standing(pz=-6.0)
    death1 = keyed([
        (0.0, stand),
        (0.25, dict(stand, root_pitch=-14, pivot_x=-3, lean=-18, neck=-20, l_sh=-120, r_sh=-110,
                    l_el=-20, r_el=-30, l_out_arm=35, r_out_arm=30, l_knee=12, r_knee=8)),
        (0.75, dict(stand, root_pitch=-84, pivot_x=-3, lean=-12, neck=-10, l_sh=-150,
                    r_sh=-140, l_el=-10, r_el=-20, l_out_arm=50, r_out_arm=45, l_knee=25,
                    l_hip=-20, r_knee=5)),
        (0.87, dict(stand, root_pitch=-94, pivot_x=-3, lean=12, neck=-24, l_sh=-165,
                    r_sh=-155, l_el=-5, r_el=-10, l_out_arm=60, r_out_arm=55, l_knee=20,
                    l_hip=-15, r_knee=4)),
        (1.0, dict(stand, root_pitch=-90, pivot_x=-3, lean=22, neck=-30, l_sh=-160, r_sh=-150,
                   l_el=-15, r_el=-20, l_out_arm=65, r_out_arm=60, l_knee=30, l_hip=-25,
                   r_knee=5, r_out=8, l_out=4)),
    ], 20)
    death2 = keyed([
        (0.0, stand),
        (0.3, dict(crumple, lean=20, neck=15, l_sh=-30, r_sh=-20, l_el=-30, r_el=-40,
                   root_pitch=8, pivot_x=6, l_knee=35, r_knee=40, l_hip=-15, r_hip=-20)),
        (0.75, dict(crumple, root_pitch=82, pivot_x=6, lean=15, neck=20, l_sh=-70, r_sh=-60,
                    l_el=-40, r_el=-35, l_out_arm=25, r_out_arm=20, l_knee=20, r_knee=25,
                    l_hip=-5, r_hip=-10)),
        (0.88, dict(crumple, root_pitch=93, pivot_x=6, lean=5, neck=25, l_sh=-40, r_sh=-30,
                    l_el=-20, r_el=-15, l_out_arm=40, r_out_arm=35, l_knee=10, r_knee=15)),
        (1.0, dict(crumple, root_pitch=89, pivot_x=6, lean=2, neck=30, l_sh=-20, r_sh=-15,
                   l_el=-15, r_el=-10, l_out_arm=45, r_out_arm=40, l_knee=25, r_knee=8,
                   l_hip=-20, r_out=10, l_out=6)),
    ], 20)
    death3 = keyed([
        (0.0, stand),
        (0.3, dict(crumple, root_yaw=35, troll=10, twist=-25, lean=10, neck=-15, l_knee=55,
                   r_knee=30, l_hip=-30, r_hip=-10, r_sh=-40, r_out_arm=50, l_sh=-20,
                   l_el=-90, root_roll=8, pivot_y=-6)),
        (0.75, dict(crumple, root_yaw=55, root_roll=78, pivot_y=-6, troll=15, twist=-20,
                    lean=15, neck=-25, l_knee=70, r_knee=20, l_hip=-45, r_hip=-5, r_sh=-90,
                    r_out_arm=20, l_sh=-40, l_el=-100)),
        (0.88, dict(crumple, root_yaw=58, root_roll=93, pivot_y=-6, troll=-18, twist=-15,
                    lean=18, neck=-30, l_knee=75, r_knee=15, l_hip=-50, r_sh=-140,
                    r_out_arm=10, l_sh=-45, l_el=-95)),
        (1.0, dict(crumple, root_yaw=60, root_roll=88, pivot_y=-6, troll=-28, twist=-18,
                   lean=20, neck=-28, l_knee=80, r_knee=12, l_hip=-55, r_hip=0, r_sh=-150,
                   r_out_arm=5, l_sh=-50, l_el=-100)),
    ], 20)
    return [("BOTH_DEATH1", death1, 20), ("BOTH_DEATH2", death2, 20),
            ("BOTH_DEATH3", death3, 20)]


def torso_anims():
    stand = full({})
    stand2 = full({"r_sh": -25, "r_el": -95, "r_out_arm": 10, "l_sh": -25, "l_el": -95,
                   "lean": 6})
    aim = dict(stand, r_sh=-78, r_el=-14, r_out_arm=2, l_sh=-55, l_el=-55, l_out_arm=-4,
               twist=-8)
    recoil = dict(aim, r_sh=-88, r_el=-24, lean=-3, twist=-5)
    wave_up = dict(stand, l_sh=-10, l_out_arm=150, l_el=-35, twist=10, neck=-5, troll=-4)
    gesture = keyed([(0.0, stand), (0.2, wave_up)]
                    + [(0.28 + 0.1 * i, dict(wave_up, l_el=(-5, -70)[i % 2],
                                             l_out_arm=(160, 140)[i % 2]))
                       for i in range(5)]
                    + [(0.82, wave_up), (1.0, stand)], 24)
    attack = keyed([(0.0, stand), (0.2, aim), (0.4, recoil), (0.7, aim), (1.0, stand)], 6)
    punch = dict(stand2, r_sh=-88, r_el=-6, r_out_arm=0, twist=-18, lean=10, l_sh=-10,
                 l_el=-100)
    attack2 = keyed([(0.0, stand2), (0.35, punch), (1.0, stand2)], 6)
    down = dict(stand, r_sh=12, r_el=-22, r_out_arm=12, lean=8, twist=12)
    drop = keyed([(0.0, stand), (1.0, down)], 5)
    raise_ = keyed([(0.0, down), (1.0, stand)], 4)
    return [("TORSO_GESTURE", gesture, 12), ("TORSO_ATTACK", attack, 15),
            ("TORSO_ATTACK2", attack2, 15), ("TORSO_DROP", drop, 20),
            ("TORSO_RAISE", raise_, 20), ("TORSO_STAND", [stand], 15),
            ("TORSO_STAND2", [stand2], 15)]


def legs_anims():
    idle = []
    for i in range(10):
        a = 2 * math.pi * i / 10
        idle.append(full(standing(pz=STAND["pz"] - 0.3 - 0.3 * math.cos(a),
                                  proll=1.5 * math.sin(a))))
    crouch_pz = -11.0
    idlecr = []
    for i in range(10):
        a = 2 * math.pi * i / 10
        pose = {"pz": crouch_pz - 0.4 * math.cos(a), "ppitch": 12}
        ik_leg(pose, "l", 3.5)
        ik_leg(pose, "r", -2.5)
        idlecr.append(full(pose))
    walk = cycle(12, 6.0, 3.5, -2.6, 0.5, 4)
    run = cycle(10, 8.5, 6.0, -3.6, 1.0, 14, sway=6)
    back = cycle(10, 7.0, 5.0, -3.4, 0.8, -4, backwards=True)
    walkcr = cycle(10, 4.5, 3.0, crouch_pz + 0.5, 0.4, 14)
    swim = []
    for i in range(10):
        a = 2 * math.pi * i / 10
        swim.append(full({"pz": 0.0, "ppitch": -8, "l_hip": 25 + 20 * math.sin(a),
                          "r_hip": 25 - 20 * math.sin(a), "l_knee": 25 + 15 * math.cos(a),
                          "r_knee": 25 - 15 * math.cos(a), "l_ankle": 40, "r_ankle": 40}))
    tuck = {"pz": 1.0, "l_hip": -55, "l_knee": 95, "l_ankle": -20, "r_hip": -40,
            "r_knee": 80, "r_ankle": -15}
    takeoff = standing(pz=-4.0, ppitch=6)
    jump = keyed([(0.0, takeoff), (0.35, dict(takeoff, pz=-1.0, l_ankle=30, r_ankle=30)),
                  (1.0, tuck)], 8)
    impact = standing(pz=-8.0, ppitch=10)
    land = keyed([(0.0, tuck), (0.35, impact), (1.0, standing())], 4)
    tuckb = {"pz": 1.0, "l_hip": 20, "l_knee": 70, "l_ankle": 10, "r_hip": -10,
             "r_knee": 85, "r_ankle": 0, "ppitch": -8}
    jumpb = keyed([(0.0, takeoff), (1.0, tuckb)], 8)
    landb = keyed([(0.0, tuckb), (0.35, impact), (1.0, standing())], 4)
    turn = []
    for i in range(8):
        a = 2 * math.pi * i / 8
        pose = {"pz": STAND["pz"] - 0.3, "pyaw": 6 * math.sin(a)}
        ik_leg(pose, "l", 0.8, max(0.0, 2.5 * math.sin(a)))
        ik_leg(pose, "r", -0.6, max(0.0, -2.5 * math.sin(a)))
        turn.append(full(pose))
    return [("LEGS_WALKCR", walkcr, 16, True), ("LEGS_WALK", walk, 20, True),
            ("LEGS_RUN", run, 18, True), ("LEGS_BACK", back, 18, True),
            ("LEGS_SWIM", swim, 12, True), ("LEGS_JUMP", jump, 16, False),
            ("LEGS_LAND", land, 16, False), ("LEGS_JUMPB", jumpb, 16, False),
            ("LEGS_LANDB", landb, 16, False), ("LEGS_IDLE", idle, 10, True),
            ("LEGS_IDLECR", idlecr, 10, True), ("LEGS_TURN", turn, 16, True)]


# ------------------------------------------------------------- evaluation --

def posed(mesh, bones):
    """The mesh's vertices and normals in one frame."""
    out = []
    for bone, p, n, _ in mesh.verts:
        x = bones[bone]
        out.append((x.point(p), unit(x.vector(n))))
    return out


def ground_deaths(lower, upper, head, deaths):
    """Lifts each death frame so that no part of the body sinks below the floor."""
    for _, frames, _ in deaths:
        for pose in frames:
            pose["lift"] = 0.0
            lb, lt = lower_bones(pose)
            ub, ut = upper_bones(pose)
            torso = lt["tag_torso"]
            lowest = min(p[2] for p, _ in posed(lower, lb))
            lowest = min(lowest, min(torso.point(p)[2] for p, _ in posed(upper, ub)))
            head_at = torso * ut["tag_head"]
            lowest = min(lowest, min(head_at.point(p)[2] for _, p, _, _ in head.verts))
            pose["lift"] = max(0.0, GROUND - lowest)


# -------------------------------------------------------------------- MD3 --

def encode_normal(n):
    x, y, z = n
    if abs(x) < 1e-6 and abs(y) < 1e-6:
        return 0 if z > 0 else 128
    lat = int(math.degrees(math.atan2(y, x)) * 255 / 360) & 0xFF
    lng = int(math.degrees(math.acos(max(-1.0, min(1.0, z)))) * 255 / 360) & 0xFF
    return (lat << 8) | lng


def name_field(text, size):
    raw = text.encode("ascii")
    assert len(raw) < size, text
    return raw + b"\0" * (size - len(raw))


def write_md3(name, surface, mesh, frames, shader):
    """frames: [(bones, tags)]; one surface, tags in the order of the first frame."""
    tag_names = sorted(frames[0][1])
    nverts, ntris, nframes = len(mesh.verts), len(mesh.tris), len(frames)
    assert nverts <= 1000 and ntris <= 2000, (name, nverts, ntris)

    frame_data, tag_data, xyz_data = b"", b"", b""
    for bones, tags in frames:
        verts = posed(mesh, bones)
        for axis in range(3):
            assert all(abs(p[axis]) < 500 for p, _ in verts)
        lo = tuple(min(p[a] for p, _ in verts) for a in range(3))
        hi = tuple(max(p[a] for p, _ in verts) for a in range(3))
        radius = max(math.sqrt(sum(c * c for c in p)) for p, _ in verts)
        frame_data += struct.pack("<3f3f3ff16s", *lo, *hi, 0.0, 0.0, 0.0, radius,
                                  name_field(MODEL, 16))
        for tag in tag_names:
            x = tags[tag]
            # axis rows are the tag's forward, left and up directions in model space
            axes = [x.vector(v) for v in ((1, 0, 0), (0, 1, 0), (0, 0, 1))]
            tag_data += struct.pack("<64s3f9f", name_field(tag, 64), *x.t,
                                    *[c for v in axes for c in v])
        for p, n in verts:
            xyz_data += struct.pack("<hhhH", *(int(round(c * 64)) for c in p),
                                    encode_normal(n))

    # Quake III draws the faces whose corners run clockwise, so each triangle is reversed.
    tri_data = b"".join(struct.pack("<3i", a, c, b) for a, b, c in mesh.tris)
    shader_data = struct.pack("<64si", name_field(shader, 64), 0)
    st_data = b"".join(struct.pack("<2f", *st) for _, _, _, st in mesh.verts)
    ofs_tris = 108
    ofs_shaders = ofs_tris + len(tri_data)
    ofs_st = ofs_shaders + len(shader_data)
    ofs_xyz = ofs_st + len(st_data)
    surf_end = ofs_xyz + len(xyz_data)
    surface_data = struct.pack("<4s64siiiiiiiiii", b"IDP3", name_field(surface, 64), 0,
                               nframes, 1, nverts, ntris, ofs_tris, ofs_shaders, ofs_st,
                               ofs_xyz, surf_end) + tri_data + shader_data + st_data + xyz_data

    ofs_frames = 108
    ofs_tags = ofs_frames + len(frame_data)
    ofs_surfaces = ofs_tags + len(tag_data)
    ofs_end = ofs_surfaces + len(surface_data)
    header = struct.pack("<4si64siiiiiiiii", b"IDP3", 15, name_field(FOLDER + name, 64), 0,
                         nframes, len(tag_names), 1, 0, ofs_frames, ofs_tags, ofs_surfaces,
                         ofs_end)
    return header + frame_data + tag_data + surface_data


# ----------------------------------------------------------------- images --

def write_tga(width, height, pixels):
    """Uncompressed 24-bit TGA; pixels are RGB rows, top row first."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    body = bytearray()
    for row in range(height - 1, -1, -1):          # stored bottom row first
        for r, g, b in pixels[row * width:(row + 1) * width]:
            body += bytes((b, g, r))
    return header + bytes(body)


def clamp(v):
    return max(0, min(255, int(round(v))))


def shade(c, k):
    return tuple(clamp(x * k) for x in c)


def noise(x, y):
    """A fixed speckle in -1..1, the same on every run."""
    h = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h >> 8) & 0xFF) / 127.5 - 1.0


def inside(poly, x, y):
    hit = False
    for (ax, ay), (bx, by) in zip(poly, poly[1:] + poly[:1]):
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            hit = not hit
    return hit


def plate(base, x, y, bevel=3, grain=0.05):
    """A metal plate: lighter at the top, bevelled edges, a little grain."""
    k = 1.08 - 0.22 * y / TILE + grain * noise(x, y)
    if x < bevel or y < bevel:
        k *= 1.35
    elif x >= TILE - bevel or y >= TILE - bevel:
        k *= 0.6
    return shade(base, k)


def tile_pixel(tile, x, y, skin, trim, visor):
    dark = (44, 46, 52)
    if tile == ARMOUR:
        return plate(skin, x, y)
    if tile == PANEL:
        c = plate(skin, x, y)
        if x in (12, 51) and 12 <= y <= 51 or y in (12, 51) and 12 <= x <= 51:
            return shade(c, 0.45)
        if x in (13, 52) and 13 <= y <= 52 or y in (13, 52) and 13 <= x <= 52:
            return shade(c, 1.25)
        if min(abs(x - a) + abs(y - b) for a in (7, 56) for b in (7, 56)) <= 1:
            return shade(trim, 1.4)
        return c
    if tile == TRIM:
        return plate(trim, x, y, grain=0.08)
    if tile == VENT:
        c = plate(trim, x, y)
        if 8 <= x < 56 and 8 <= y < 56 and (y - 8) % 10 < 5:
            return shade(dark, 0.5 + 0.5 * ((y - 8) % 10) / 5)
        return c
    if tile == JOINT:
        return shade(dark, (0.7 if (y // 4) % 2 else 1.2) * (1 + 0.05 * noise(x, y)))
    if tile == VISOR:
        if x < 4 or y < 4 or x >= TILE - 4 or y >= TILE - 4:
            return (14, 14, 16)
        edge = 1.0 - min(1.0, abs(x - 32) / 30.0) ** 2
        t = (y - 4) / 56.0
        c = shade(visor, 0.45 + 0.6 * edge * (1.0 - 0.5 * t))
        d = (x - 18) + 0.8 * (y - 8)
        if 0 < d < 5 or 9 < d < 11:
            c = tuple(clamp(a + (255 - a) * 0.7 * (1 - t)) for a in c)
        return c
    if tile == TREAD:
        return shade(dark, 0.4 if (x + y) % 8 < 3 else 0.8)
    if tile == CHEST:
        c = plate(skin, x, y)
        # the ZV mark of the installer's logo, pressed into the plate
        u, v = (x - 4) * 64 / 56.0, (y - 6) * 64 / 56.0
        for shape in (make_bitmaps.Z_SHAPE, make_bitmaps.V_SHAPE):
            if inside(shape, u, v):
                return shade(trim, 1.3 - 0.5 * (v - 9) / 34)
            if inside(shape, u - 2, v - 2):
                return shade(c, 0.55)
        if 50 <= y < 54 and 8 <= x < 56:
            return shade(trim, 1.1)
        return c
    if tile == LIGHT:
        r = math.hypot(x - 31.5, y - 31.5) / 32
        return tuple(clamp(a * (1.4 - 0.6 * r) + 60 * (1 - r)) for a in visor)
    if tile == STRIPE:
        c = plate(skin, x, y)
        if 40 <= y < 52:
            return (30, 30, 30) if (x + y) % 16 < 8 else shade(visor, 0.9)
        return c
    return (255, 0, 255)


def make_sheet(skin, trim, visor):
    pixels = []
    for y in range(SHEET):
        for x in range(SHEET):
            tile = (y // TILE) * 4 + x // TILE
            pixels.append(tile_pixel(tile, x % TILE, y % TILE, skin, trim, visor)
                          if tile <= STRIPE else (0, 0, 0))
    return write_tga(SHEET, SHEET, pixels)


# Default, red and blue as the installer's portraits show them: the default is green.
SKINS = [("default", "strider.tga", "picture3.bmp"),
         ("red", "strider_red.tga", "picture1.bmp"),
         ("blue", "strider_blue.tga", "picture2.bmp")]


# ------------------------------------------------------------------ build --

def animation_cfg(both, torso, legs):
    lines = ["// ZV-001 Strider animation table, made by scripts/make_model.py",
             "// first frame, number of frames, looping frames, frames per second",
             "", "sex m", "", "footsteps mech", ""]
    frame = 0
    for name, frames, fps in both:
        lines.append("%d\t%d\t0\t%d\t\t// %s" % (frame, len(frames), fps, name))
        dead = name.replace("DEATH", "DEAD")
        # the dead pose is the death's last frame, held
        lines.append("%d\t1\t0\t%d\t\t// %s" % (frame + len(frames) - 1, fps, dead))
        frame += len(frames)
    lines.append("")
    for name, frames, fps in torso:
        lines.append("%d\t%d\t0\t%d\t\t// %s" % (frame, len(frames), fps, name))
        frame += len(frames)
    lines.append("")
    # Legs frames follow the torso's in the table; the game subtracts the torso span, so in
    # lower.md3 they follow the deaths directly.
    for name, frames, fps, loop in legs:
        lines.append("%d\t%d\t%d\t%d\t\t// %s" % (frame, len(frames),
                                                   len(frames) if loop else 0, fps, name))
        frame += len(frames)
    return ("\n".join(lines) + "\n").encode("ascii")


def build():
    """Every generated file of the model: {path inside the pack: bytes}."""
    lower, upper, head = build_lower(), build_upper(), build_head()
    both, torso, legs = both_deaths(), torso_anims(), legs_anims()
    ground_deaths(lower, upper, head, both)
    death_poses = [p for _, frames, _ in both for p in frames]
    lower_frames = death_poses + [p for _, frames, _, _ in legs for p in frames]
    upper_frames = death_poses + [p for _, frames, _ in torso for p in frames]
    texture = FOLDER + SKINS[0][1]
    files = {
        FOLDER + "lower.md3": write_md3("lower.md3", "l_legs", lower,
                                        [lower_bones(p) for p in lower_frames], texture),
        FOLDER + "upper.md3": write_md3("upper.md3", "u_torso", upper,
                                        [upper_bones(p) for p in upper_frames], texture),
        FOLDER + "head.md3": write_md3("head.md3", "h_head", head,
                                       [head_bones(STAND)], texture),
        FOLDER + "animation.cfg": animation_cfg(both, torso, legs),
    }
    for skin, sheet, portrait in SKINS:
        colours = make_bitmaps.SKINS[portrait]
        files[FOLDER + sheet] = make_sheet(*colours)
        files[FOLDER + "icon_%s.tga" % skin] = write_tga(
            make_bitmaps.SIZE, make_bitmaps.SIZE, make_bitmaps.make_portrait(*colours))
    return files


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    for name, data in sorted(build().items()):
        path = os.path.join(argv[1], *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
