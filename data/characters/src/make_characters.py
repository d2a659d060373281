#!/usr/bin/env python3
"""Draws the shipped characters and writes them as character files (*.acs).

Every character is built from the same kinds of layers (body, eyes, brows, mouth,
arms, props) drawn in its own style, so one table of animations serves all of them.
Run from anywhere: python3 make_characters.py  (writes into data/characters/).
"""

import math
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}\n</svg>')


def f(v):
    return f"{v:.1f}".rstrip("0").rstrip(".")


def star(cx, cy, r, points=5, inner=0.45, fill="#ffd94a", stroke="none", rot=-90):
    pts = []
    for i in range(points * 2):
        rr = r if i % 2 == 0 else r * inner
        a = math.radians(rot + i * 180 / points)
        pts.append(f"{f(cx + rr * math.cos(a))},{f(cy + rr * math.sin(a))}")
    return f'<polygon points="{" ".join(pts)}" fill="{fill}" stroke="{stroke}" stroke-width="1"/>'


# Arm poses: (elbow, hand) offsets from the shoulder, for the arm on the viewer's left
# and the one on the viewer's right, in units of the character's scale.
ARM_POSES = {
    "rest":     ((-10, 26, -6, 50), (10, 26, 6, 50)),
    "wave1":    ((-10, 26, -6, 50), (26, -4, 30, -38)),
    "wave2":    ((-10, 26, -6, 50), (32, -2, 48, -28)),
    "up":       ((-24, -10, -30, -44), (24, -10, 30, -44)),
    "left":     ((-28, 6, -58, 2), (10, 26, 6, 50)),
    "right":    ((-10, 26, -6, 50), (28, 6, 58, 2)),
    "pointup":  ((-10, 26, -6, 50), (18, -16, 16, -50)),
    "down":     ((-10, 26, -6, 50), (22, 22, 46, 42)),
    "present":  ((-16, 26, -46, 18), (16, 26, 46, 18)),
    "present2": ((-18, 24, -48, 8), (18, 24, 48, 8)),
    "hold":     ((-12, 30, 10, 34), (12, 30, -10, 34)),
    "write1":   ((-12, 30, 10, 38), (14, 30, -2, 30)),
    "write2":   ((-12, 30, 10, 38), (14, 30, 8, 36)),
    "palm":     ((-10, 26, -6, 50), (24, 20, 20, -8)),
    "glass":    ((-10, 26, -6, 50), (26, 14, 32, -12)),
    "cheer1":   ((-26, -8, -36, -40), (26, -8, 36, -40)),
    "cheer2":   ((-22, -14, -22, -48), (22, -14, 22, -48)),
}


class Character:
    def __init__(self, file, name, w, h, scale, shoulders, chin):
        self.file, self.name, self.w, self.h, self.s = file, name, w, h, scale
        self.shoulders = shoulders
        self.chin = chin

    # -- to be drawn by each character --
    def body(self): raise NotImplementedError
    def eyes(self, state): raise NotImplementedError
    def brows(self, state): return ""
    def mouth(self, shape): raise NotImplementedError
    def arm(self, x0, y0, x1, y1, x2, y2, left): raise NotImplementedError

    def head_top(self):
        return (self.w * 0.5, self.h * 0.1)

    # -- shared --
    def arms(self, pose):
        out = []
        for (sx, sy), off, left in zip(self.shoulders, ARM_POSES[pose], (True, False)):
            ex, ey, hx, hy = (v * self.s for v in off)
            out.append(self.arm(sx, sy, sx + ex, sy + ey, sx + hx, sy + hy, left))
        hx, hy = self.hand_point(pose)
        if pose == "hold":
            out.append(self.book(self.w / 2, hy - 6 * self.s))
        if pose in ("write1", "write2"):
            out.append(self.scroll(self.w / 2 - 4 * self.s, self.shoulders[0][1] + 40 * self.s))
            out.append(self.quill(hx, hy))
        if pose == "glass":
            out.append(self.magnifier(hx, hy))
        return "\n".join(out)

    def hand_point(self, pose, right=True):
        (sx, sy) = self.shoulders[1 if right else 0]
        off = ARM_POSES[pose][1 if right else 0]
        return sx + off[2] * self.s, sy + off[3] * self.s

    def book(self, cx, cy):
        s = self.s
        return (f'<g stroke="#5a2d0c" stroke-width="{f(1.2*s)}" stroke-linejoin="round">'
                f'<path d="M{f(cx)},{f(cy-12*s)} L{f(cx-26*s)},{f(cy-16*s)} L{f(cx-26*s)},{f(cy+8*s)} '
                f'L{f(cx)},{f(cy+12*s)} Z" fill="#fff8e6"/>'
                f'<path d="M{f(cx)},{f(cy-12*s)} L{f(cx+26*s)},{f(cy-16*s)} L{f(cx+26*s)},{f(cy+8*s)} '
                f'L{f(cx)},{f(cy+12*s)} Z" fill="#fffdf4"/>'
                f'<path d="M{f(cx-22*s)},{f(cy-8*s)} L{f(cx-5*s)},{f(cy-6*s)} M{f(cx-22*s)},{f(cy-2*s)} '
                f'L{f(cx-5*s)},{f(cy)} M{f(cx+5*s)},{f(cy-6*s)} L{f(cx+22*s)},{f(cy-8*s)} M{f(cx+5*s)},{f(cy)} '
                f'L{f(cx+22*s)},{f(cy-2*s)}" stroke="#b0a080" fill="none"/></g>')

    def scroll(self, cx, cy):
        s = self.s
        return (f'<rect x="{f(cx-22*s)}" y="{f(cy-10*s)}" width="{f(40*s)}" height="{f(18*s)}" rx="{f(3*s)}" '
                f'fill="#fff3d0" stroke="#8a6a3a" stroke-width="{f(1.2*s)}"/>'
                f'<path d="M{f(cx-16*s)},{f(cy-3*s)} q{f(6*s)},{f(-3*s)} {f(12*s)},0 t{f(12*s)},0" '
                f'stroke="#3050a0" stroke-width="{f(1.2*s)}" fill="none"/>')

    def quill(self, x, y):
        s = self.s
        return (f'<path d="M{f(x)},{f(y)} L{f(x+14*s)},{f(y-26*s)} Q{f(x+20*s)},{f(y-30*s)} {f(x+18*s)},{f(y-18*s)} Z" '
                f'fill="#ffffff" stroke="#777" stroke-width="{f(s)}"/>')

    def magnifier(self, x, y):
        s = self.s
        return (f'<line x1="{f(x)}" y1="{f(y)}" x2="{f(x+8*s)}" y2="{f(y-10*s)}" stroke="#6b3e16" '
                f'stroke-width="{f(3.5*s)}" stroke-linecap="round"/>'
                f'<circle cx="{f(x+14*s)}" cy="{f(y-18*s)}" r="{f(10*s)}" fill="#cfefff" fill-opacity="0.5" '
                f'stroke="#444" stroke-width="{f(2.5*s)}"/>')

    def prop(self, name):
        s = self.s
        x, y = self.w * 0.84, self.h * 0.13
        if name == "bang":
            return (star(x, y + 4 * s, 16 * s, 8, 0.6, "#ffe14d", "#d08000") +
                    f'<rect x="{f(x-2.5*s)}" y="{f(y-7*s)}" width="{f(5*s)}" height="{f(12*s)}" rx="{f(2*s)}" fill="#d0202a"/>'
                    f'<circle cx="{f(x)}" cy="{f(y+10*s)}" r="{f(2.7*s)}" fill="#d0202a"/>')
        if name == "question":
            return (f'<path d="M{f(x-7*s)},{f(y-4*s)} q0,{f(-10*s)} {f(8*s)},{f(-10*s)} q{f(8*s)},0 {f(8*s)},{f(8*s)} '
                    f'q0,{f(5*s)} {f(-6*s)},{f(8*s)} l0,{f(5*s)}" fill="none" stroke="#2a62c9" stroke-width="{f(4*s)}" '
                    f'stroke-linecap="round"/><circle cx="{f(x+3*s)}" cy="{f(y+15*s)}" r="{f(2.6*s)}" fill="#2a62c9"/>')
        if name in ("bulb", "bulb2"):
            glow = ('<circle cx="%s" cy="%s" r="%s" fill="#fff6a0" fill-opacity="0.6"/>' %
                    (f(x), f(y - 2 * s), f(16 * s))) if name == "bulb2" else ""
            return (glow + f'<circle cx="{f(x)}" cy="{f(y-3*s)}" r="{f(9*s)}" fill="#ffe45c" stroke="#b08a00" stroke-width="{f(1.4*s)}"/>'
                    f'<rect x="{f(x-4.5*s)}" y="{f(y+5*s)}" width="{f(9*s)}" height="{f(7*s)}" rx="{f(1.5*s)}" fill="#9a9a9a" stroke="#666" stroke-width="{f(s)}"/>'
                    f'<path d="M{f(x-3*s)},{f(y-2*s)} l{f(3*s)},{f(4*s)} l{f(3*s)},{f(-4*s)}" stroke="#b07000" fill="none" stroke-width="{f(s)}"/>')
        if name in ("sparkle1", "sparkle2"):
            spots = [(0.15, 0.2, 7), (0.85, 0.12, 9), (0.9, 0.5, 6), (0.1, 0.55, 8), (0.5, 0.03, 6)]
            if name == "sparkle2":
                spots = [(0.22, 0.08, 8), (0.78, 0.28, 7), (0.08, 0.38, 6), (0.92, 0.68, 8), (0.35, 0.3, 5)]
            return "".join(star(self.w * a, self.h * b, r * s, 4, 0.3, "#fff27a", "#e0a800") for a, b, r in spots)
        if name == "check":
            return (f'<circle cx="{f(x)}" cy="{f(y)}" r="{f(12*s)}" fill="#e4f8e4" stroke="#2e9a3e" stroke-width="{f(1.5*s)}"/>'
                    f'<path d="M{f(x-6*s)},{f(y)} l{f(4.5*s)},{f(5*s)} l{f(8*s)},{f(-10*s)}" stroke="#2e9a3e" '
                    f'stroke-width="{f(3*s)}" fill="none" stroke-linecap="round" stroke-linejoin="round"/>')
        if name == "cross":
            return (f'<circle cx="{f(x)}" cy="{f(y)}" r="{f(12*s)}" fill="#fde8e8" stroke="#c62828" stroke-width="{f(1.5*s)}"/>'
                    f'<path d="M{f(x-5*s)},{f(y-5*s)} l{f(10*s)},{f(10*s)} M{f(x+5*s)},{f(y-5*s)} l{f(-10*s)},{f(10*s)}" '
                    f'stroke="#c62828" stroke-width="{f(3*s)}" stroke-linecap="round"/>')
        if name.startswith("dots"):
            n = int(name[4:])
            return "".join(f'<circle cx="{f(x-10*s+i*10*s)}" cy="{f(y)}" r="{f(3.2*s)}" fill="#6a6a8a"/>'
                           for i in range(n))
        if name.startswith("gear"):
            rot = 0 if name == "gear1" else 22.5
            teeth = "".join(
                f'<rect x="{f(x-3*s)}" y="{f(y-15*s)}" width="{f(6*s)}" height="{f(8*s)}" fill="#8a94a6" '
                f'transform="rotate({f(rot + i * 45)} {f(x)} {f(y)})"/>' for i in range(8))
            return (teeth + f'<circle cx="{f(x)}" cy="{f(y)}" r="{f(10*s)}" fill="#8a94a6" stroke="#5a6476" stroke-width="{f(s)}"/>'
                    f'<circle cx="{f(x)}" cy="{f(y)}" r="{f(4*s)}" fill="#eef"/>')
        if name.startswith("note"):
            dy = 0 if name == "note1" else -6 * s
            return (f'<path d="M{f(x-4*s)},{f(y+8*s+dy)} l0,{f(-16*s)} l{f(10*s)},{f(-3*s)} l0,{f(14*s)}" '
                    f'stroke="#333" stroke-width="{f(1.8*s)}" fill="none"/>'
                    f'<ellipse cx="{f(x-7*s)}" cy="{f(y+8*s+dy)}" rx="{f(3.5*s)}" ry="{f(2.6*s)}" fill="#333"/>'
                    f'<ellipse cx="{f(x+3*s)}" cy="{f(y+5*s+dy)}" rx="{f(3.5*s)}" ry="{f(2.6*s)}" fill="#333"/>')
        raise KeyError(name)

    def poof(self, n):
        cx, cy = self.w / 2, self.h * 0.55
        r = min(self.w, self.h) * (0.42 if n == 1 else 0.3)
        blobs = []
        for i in range(7):
            a = math.radians(i * 360 / 7 + (0 if n == 1 else 25))
            blobs.append(f'<circle cx="{f(cx + r*0.6*math.cos(a))}" cy="{f(cy + r*0.6*math.sin(a))}" '
                         f'r="{f(r*0.55)}" fill="#f4f0ff" stroke="#b8a8e0" stroke-width="1.5"/>')
        blobs.append(f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r*0.7)}" fill="#f4f0ff"/>')
        return "".join(blobs)

    # -- the file --
    def images(self):
        imgs = {"body": self.body()}
        for state in ("open", "closed", "half", "left", "right", "up", "down", "wide", "happy"):
            imgs["eyes-" + state] = self.eyes(state)
        for state in ("neutral", "raised", "frown", "puzzled"):
            imgs["brows-" + state] = self.brows(state)
        for shape in ("closed", "half", "open", "smile", "grin", "o", "frown"):
            imgs["mouth-" + shape] = self.mouth(shape)
        for pose in ARM_POSES:
            imgs["arms-" + pose] = self.arms(pose)
        for name in ("bang", "question", "bulb", "bulb2", "sparkle1", "sparkle2", "check", "cross",
                     "dots1", "dots2", "dots3", "gear1", "gear2", "note1", "note2"):
            imgs["prop-" + name] = self.prop(name)
        imgs["poof-1"] = self.poof(1)
        imgs["poof-2"] = self.poof(2)
        return imgs

    def write(self):
        lines = ["vorlix-character 1", f"# {self.name}: drawn for Vorlix by make_characters.py; edit that, not this file.",
                 f"name {self.name}", f"size {self.w} {self.h}",
                 "pose body eyes-open brows-neutral mouth-closed arms-rest",
                 "mouth closed mouth-closed", "mouth half mouth-half", "mouth open mouth-open", ""]
        for name, body in self.images().items():
            lines += [f"image {name}", svg(self.w, self.h, body), "end", ""]
        for name, frames in ANIMATIONS:
            lines.append(f"animation {name}")
            for fr in frames:
                lines.append("frame " + " ".join(str(x) for x in fr.layers()))
            lines += ["end", ""]
        with open(os.path.join(OUT, self.file), "w", newline="\n") as out:
            out.write("\n".join(lines))


class Fr:
    def __init__(self, ms, arms="rest", eyes="open", brows="neutral", mouth="closed", prop=None, body=True, poof=None):
        self.ms, self.arms, self.eyes, self.brows, self.mouth = ms, arms, eyes, brows, mouth
        self.prop, self.body, self.poof = prop, body, poof

    def layers(self):
        out = [self.ms]
        if self.body:
            out += ["body", "eyes-" + self.eyes, "brows-" + self.brows, "mouth-" + self.mouth, "arms-" + self.arms]
        if self.prop:
            out.append("prop-" + self.prop)
        if self.poof:
            out.append("poof-" + str(self.poof))
        return out


REST = Fr(120)
ANIMATIONS = [
    ("RestPose", [Fr(100)]),
    ("Show", [Fr(110, body=False, poof=1), Fr(110, poof=2, prop="sparkle1"), Fr(140, prop="sparkle2", mouth="smile"),
              Fr(100, mouth="smile")]),
    ("Hide", [Fr(100, mouth="smile", prop="sparkle1"), Fr(110, poof=2), Fr(110, body=False, poof=1),
              Fr(80, body=False, prop="sparkle2")]),
    ("Greet", [Fr(160, "wave1", brows="raised", mouth="smile"), Fr(160, "wave2", brows="raised", mouth="grin"),
               Fr(160, "wave1", brows="raised", mouth="grin"), Fr(160, "wave2", eyes="happy", mouth="grin"),
               Fr(200, "wave1", eyes="happy", mouth="smile"), Fr(150, mouth="smile")]),
    ("Wave", [Fr(150, "wave1", mouth="smile"), Fr(150, "wave2", mouth="smile"), Fr(150, "wave1", mouth="smile"),
              Fr(150, "wave2", mouth="smile"), Fr(120, mouth="smile")]),
    ("Read", [Fr(200, "hold", eyes="down"), Fr(500, "hold", eyes="down"), Fr(120, "hold", eyes="closed"),
              Fr(500, "hold", eyes="down", brows="raised"), Fr(200, "hold", eyes="open", mouth="smile"), REST]),
    ("Announce", [Fr(150, "cheer2", eyes="wide", brows="raised", mouth="o", prop="note1"),
                  Fr(300, "cheer1", eyes="wide", brows="raised", mouth="open", prop="note2"),
                  Fr(300, "cheer2", eyes="open", brows="raised", mouth="open", prop="note1"), Fr(150, mouth="smile")]),
    ("Think", [Fr(250, "palm", eyes="up", brows="puzzled"), Fr(400, "palm", eyes="up", brows="puzzled", prop="dots1"),
               Fr(400, "palm", eyes="left", brows="puzzled", prop="dots2"),
               Fr(400, "palm", eyes="up", brows="puzzled", prop="dots3"), REST]),
    ("Explain", [Fr(250, "present", brows="raised", mouth="open"), Fr(300, "present2", mouth="half"),
                 Fr(300, "present", brows="raised", mouth="smile"), Fr(300, "present2", mouth="half"), REST]),
    ("Pleased", [Fr(200, eyes="happy", mouth="smile"), Fr(400, "present", eyes="happy", brows="raised", mouth="grin"),
                 Fr(200, eyes="happy", mouth="smile"), REST]),
    ("Surprised", [Fr(120, "up", eyes="wide", brows="raised", mouth="o", prop="bang"),
                   Fr(500, "up", eyes="wide", brows="raised", mouth="o", prop="bang"),
                   Fr(200, eyes="wide", brows="raised", mouth="half"), REST]),
    ("Confused", [Fr(250, "palm", eyes="left", brows="puzzled", mouth="frown", prop="question"),
                  Fr(300, "palm", eyes="right", brows="puzzled", mouth="frown", prop="question"),
                  Fr(300, "present", eyes="up", brows="puzzled", mouth="half", prop="question"), REST]),
    ("Congratulate", [Fr(150, "cheer1", eyes="happy", brows="raised", mouth="grin", prop="sparkle1"),
                      Fr(150, "cheer2", eyes="happy", brows="raised", mouth="grin", prop="sparkle2"),
                      Fr(150, "cheer1", eyes="happy", brows="raised", mouth="grin", prop="sparkle1"),
                      Fr(150, "cheer2", eyes="happy", brows="raised", mouth="grin", prop="sparkle2"),
                      Fr(200, eyes="happy", mouth="smile"), REST]),
    ("Acknowledge", [Fr(150, eyes="down", mouth="smile"), Fr(200, "palm", eyes="happy", mouth="smile", prop="check"),
                     Fr(300, eyes="open", mouth="smile", prop="check"), REST]),
    ("Decline", [Fr(200, "palm", eyes="left", brows="frown", mouth="frown", prop="cross"),
                 Fr(200, "palm", eyes="right", brows="frown", mouth="frown", prop="cross"),
                 Fr(300, "palm", eyes="open", brows="frown", mouth="frown", prop="cross"), REST]),
    ("Alert", [Fr(100, "up", eyes="wide", brows="raised", mouth="open", prop="bang"),
               Fr(200, "cheer2", eyes="wide", brows="raised", mouth="o", prop="bang"),
               Fr(200, "up", eyes="wide", brows="raised", mouth="open", prop="bang"), Fr(150, eyes="wide")]),
    ("GetAttention", [Fr(150, "cheer1", brows="raised", mouth="open", prop="bang"),
                      Fr(150, "cheer2", brows="raised", mouth="open"),
                      Fr(150, "cheer1", brows="raised", mouth="open", prop="bang"),
                      Fr(150, "cheer2", brows="raised", mouth="smile"), REST]),
    ("Search", [Fr(250, "glass", eyes="left", brows="raised"), Fr(300, "glass", eyes="right", brows="raised"),
                Fr(300, "glass", eyes="left", brows="raised"), Fr(250, "glass", eyes="wide", brows="raised", mouth="o"),
                REST]),
    ("Process", [Fr(200, "hold", eyes="up", prop="gear1"), Fr(200, "hold", eyes="up", prop="gear2"),
                 Fr(200, "hold", eyes="up", prop="gear1"), Fr(200, "hold", eyes="up", prop="gear2"),
                 Fr(200, "hold", eyes="down", prop="gear1"), REST]),
    ("Write", [Fr(180, "write1", eyes="down"), Fr(180, "write2", eyes="down"), Fr(180, "write1", eyes="down"),
               Fr(180, "write2", eyes="down"), Fr(180, "write1", eyes="down", mouth="smile"), REST]),
    ("Suggest", [Fr(200, "pointup", brows="raised", prop="bulb"), Fr(300, "pointup", brows="raised", mouth="smile", prop="bulb2"),
                 Fr(300, "pointup", brows="raised", mouth="open", prop="bulb2"), REST]),
    ("Idle1_1", [Fr(300, eyes="left"), Fr(120, eyes="closed"), Fr(400, eyes="right"), Fr(300, eyes="up"),
                 Fr(120, eyes="closed"), REST]),
    ("Blink", [Fr(90, eyes="half"), Fr(90, eyes="closed"), Fr(70, eyes="half"), Fr(60)]),
    ("LookLeft", [Fr(600, eyes="left"), Fr(100, eyes="closed"), Fr(60)]),
    ("LookRight", [Fr(600, eyes="right"), Fr(100, eyes="closed"), Fr(60)]),
    ("GestureLeft", [Fr(150, "left", eyes="left", brows="raised"), Fr(500, "left", eyes="left", brows="raised", mouth="smile"), REST]),
    ("GestureRight", [Fr(150, "right", eyes="right", brows="raised"), Fr(500, "right", eyes="right", brows="raised", mouth="smile"), REST]),
    ("GestureUp", [Fr(150, "pointup", eyes="up", brows="raised"), Fr(500, "pointup", eyes="up", brows="raised", mouth="smile"), REST]),
    ("GestureDown", [Fr(150, "down", eyes="down"), Fr(500, "down", eyes="down", mouth="smile"), REST]),
]


def eye_pair(cx, cy, dx, rx, ry, state, white="#ffffff", pupil="#2a1c10", outline="#3a2a20", lid="#f2c9a0", s=1.0):
    out = []
    px = {"left": -0.45, "right": 0.45}.get(state, 0) * rx
    py = {"up": -0.45, "down": 0.4}.get(state, 0) * ry
    for x in (cx - dx, cx + dx):
        if state == "closed":
            out.append(f'<path d="M{f(x-rx)},{f(cy)} Q{f(x)},{f(cy+ry*0.6)} {f(x+rx)},{f(cy)}" stroke="{outline}" '
                       f'stroke-width="{f(1.8*s)}" fill="none" stroke-linecap="round"/>')
            continue
        if state == "happy":
            out.append(f'<path d="M{f(x-rx)},{f(cy+ry*0.3)} Q{f(x)},{f(cy-ry*0.9)} {f(x+rx)},{f(cy+ry*0.3)}" stroke="{outline}" '
                       f'stroke-width="{f(2*s)}" fill="none" stroke-linecap="round"/>')
            continue
        k = 1.25 if state == "wide" else 1.0
        out.append(f'<ellipse cx="{f(x)}" cy="{f(cy)}" rx="{f(rx*k)}" ry="{f(ry*k)}" fill="{white}" stroke="{outline}" stroke-width="{f(1.2*s)}"/>')
        pr = min(rx, ry) * (0.5 if state != "wide" else 0.42)
        out.append(f'<circle cx="{f(x+px)}" cy="{f(cy+py)}" r="{f(pr)}" fill="{pupil}"/>')
        out.append(f'<circle cx="{f(x+px+pr*0.35)}" cy="{f(cy+py-pr*0.35)}" r="{f(pr*0.3)}" fill="#ffffff"/>')
        if state == "half":
            out.append(f'<path d="M{f(x-rx-0.5)},{f(cy+0.5)} A{f(rx)},{f(ry)} 0 0 1 {f(x+rx+0.5)},{f(cy+0.5)} Z" fill="{lid}" '
                       f'stroke="{outline}" stroke-width="{f(1.2*s)}"/>')
    return "".join(out)


class Wizard(Character):
    """A friendly old wizard: starry robe, pointed hat, long white beard."""

    def __init__(self):
        super().__init__("merlin.acs", "Merlin", 160, 200, 1.0, ((58, 112), (102, 112)), (80, 96))
        self.face = (80, 82)

    def body(self):
        return """
<defs>
<linearGradient id="robe" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#2a3f9e"/><stop offset="0.5" stop-color="#4260d0"/><stop offset="1" stop-color="#25378a"/></linearGradient>
<linearGradient id="hat" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#4a68da"/><stop offset="1" stop-color="#22348a"/></linearGradient>
<linearGradient id="beard" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#d8dce6"/></linearGradient>
</defs>
<ellipse cx="80" cy="194" rx="46" ry="5" fill="#000000" fill-opacity="0.18"/>
<path d="M56,104 Q80,96 104,104 L124,188 Q80,198 36,188 Z" fill="url(#robe)" stroke="#1a2660" stroke-width="1.5"/>
<path d="M40,182 Q80,192 120,182 L122,190 Q80,199 38,190 Z" fill="#ffd94a" stroke="#a07800" stroke-width="1"/>
""" + star(62, 150, 5) + star(100, 164, 4) + star(88, 136, 3.5) + star(54, 176, 3.5) + """
<ellipse cx="66" cy="192" rx="9" ry="4" fill="#5a3010"/><ellipse cx="94" cy="192" rx="9" ry="4" fill="#5a3010"/>
<circle cx="80" cy="82" r="22" fill="#f6cfa6" stroke="#b07850" stroke-width="1.2"/>
<ellipse cx="57" cy="84" rx="4" ry="6" fill="#f2c09a" stroke="#b07850" stroke-width="1"/>
<ellipse cx="103" cy="84" rx="4" ry="6" fill="#f2c09a" stroke="#b07850" stroke-width="1"/>
<path d="M58,92 Q58,112 64,126 Q72,146 80,152 Q88,146 96,126 Q102,112 102,92 Q96,100 90,99 Q80,104 70,99 Q64,100 58,92 Z" fill="url(#beard)" stroke="#9aa0b0" stroke-width="1.2"/>
<path d="M68,122 Q72,132 76,138 M86,120 Q88,130 84,140 M78,112 L78,128" stroke="#c4c8d4" stroke-width="1" fill="none"/>
<ellipse cx="80" cy="88" rx="5" ry="4.5" fill="#eaa484" stroke="#b07050" stroke-width="0.8"/>
<path d="M66,96 Q73,90 80,94 Q87,90 94,96 Q88,100 80,97 Q72,100 66,96 Z" fill="#ffffff" stroke="#9aa0b0" stroke-width="1"/>
<path d="M50,66 Q80,56 110,66 L108,72 Q80,64 52,72 Z" fill="#2a3f9e" stroke="#1a2660" stroke-width="1.2"/>
<path d="M54,66 Q66,40 72,22 Q76,8 90,4 Q84,14 86,24 Q94,46 106,66 Q80,58 54,66 Z" fill="url(#hat)" stroke="#1a2660" stroke-width="1.5"/>
<path d="M56,62 Q80,54 104,62 L105,66 Q80,58 55,66 Z" fill="#ffd94a" stroke="#a07800" stroke-width="0.8"/>
""" + star(78, 40, 6) + star(92, 50, 3.5) + star(70, 54, 3) + star(88, 12, 3, fill="#fff2a8")

    def eyes(self, state):
        return eye_pair(80, 79, 8.5, 5, 5.5, state, lid="#f6cfa6")

    def brows(self, state):
        l, r = {"neutral": (0, 0), "raised": (-4, -4), "frown": (2, 2), "puzzled": (-4, 2)}[state]
        tilt = 3 if state == "frown" else (-1 if state == "raised" else 0)
        return (f'<path d="M64,{f(70+l+tilt)} Q71,{f(65+l)} 78,{f(70+l-tilt)}" stroke="#ffffff" stroke-width="4.5" fill="none" stroke-linecap="round"/>'
                f'<path d="M64,{f(70+l+tilt)} Q71,{f(65+l)} 78,{f(70+l-tilt)}" stroke="#aab0c0" stroke-width="0.8" fill="none"/>'
                f'<path d="M82,{f(70+r-tilt)} Q89,{f(65+r)} 96,{f(70+r+tilt)}" stroke="#ffffff" stroke-width="4.5" fill="none" stroke-linecap="round"/>'
                f'<path d="M82,{f(70+r-tilt)} Q89,{f(65+r)} 96,{f(70+r+tilt)}" stroke="#aab0c0" stroke-width="0.8" fill="none"/>')

    def mouth(self, shape):
        patch = '<ellipse cx="80" cy="103" rx="11" ry="7" fill="#f4f5f9"/>'
        d = {
            "closed": '<path d="M73,102 Q80,105 87,102" stroke="#7a4030" stroke-width="1.8" fill="none" stroke-linecap="round"/>',
            "half": '<ellipse cx="80" cy="103" rx="6" ry="3" fill="#6a1e1e" stroke="#7a4030" stroke-width="1"/>',
            "open": '<ellipse cx="80" cy="104" rx="7" ry="5.5" fill="#6a1e1e" stroke="#7a4030" stroke-width="1"/>'
                    '<ellipse cx="80" cy="107" rx="4" ry="2" fill="#e06070"/>',
            "smile": '<path d="M72,101 Q80,108 88,101" stroke="#7a4030" stroke-width="2" fill="none" stroke-linecap="round"/>',
            "grin": '<path d="M71,100 Q80,111 89,100 Z" fill="#6a1e1e" stroke="#7a4030" stroke-width="1.2"/>'
                    '<path d="M73,101 L87,101 L86,103 L74,103 Z" fill="#ffffff"/>',
            "o": '<ellipse cx="80" cy="104" rx="4" ry="5" fill="#6a1e1e" stroke="#7a4030" stroke-width="1"/>',
            "frown": '<path d="M73,105 Q80,99 87,105" stroke="#7a4030" stroke-width="2" fill="none" stroke-linecap="round"/>',
        }[shape]
        return patch + d

    def arm(self, x0, y0, x1, y1, x2, y2, left):
        return (f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#1a2660" stroke-width="15" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
                f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#3d58c4" stroke-width="12" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
                f'<circle cx="{f(x2)}" cy="{f(y2)}" r="6" fill="#f6cfa6" stroke="#b07850" stroke-width="1.2"/>')


class Robot(Character):
    """A cheerful tin robot with an antenna, a visor and a screen for a mouth."""

    def __init__(self):
        super().__init__("robby.acs", "Robby", 150, 190, 0.95, ((46, 100), (104, 100)), (75, 84))

    def body(self):
        return """
<defs>
<linearGradient id="metal" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#9aa6b8"/><stop offset="0.45" stop-color="#e6ecf4"/><stop offset="1" stop-color="#8892a4"/></linearGradient>
<linearGradient id="visor" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#233040"/><stop offset="1" stop-color="#101820"/></linearGradient>
</defs>
<ellipse cx="75" cy="184" rx="40" ry="5" fill="#000000" fill-opacity="0.18"/>
<rect x="52" y="160" width="14" height="18" fill="#6c7686"/><rect x="84" y="160" width="14" height="18" fill="#6c7686"/>
<rect x="46" y="174" width="24" height="9" rx="4" fill="#3c4656"/><rect x="80" y="174" width="24" height="9" rx="4" fill="#3c4656"/>
<rect x="44" y="96" width="62" height="68" rx="10" fill="url(#metal)" stroke="#4c5668" stroke-width="1.5"/>
<rect x="56" y="110" width="38" height="30" rx="4" fill="#dfe6ee" stroke="#4c5668" stroke-width="1"/>
<circle cx="64" cy="118" r="3.5" fill="#ff5a4a"/><circle cx="75" cy="118" r="3.5" fill="#ffd23a"/><circle cx="86" cy="118" r="3.5" fill="#4ad36a"/>
<rect x="61" y="127" width="28" height="3" rx="1.5" fill="#8892a4"/><rect x="61" y="133" width="20" height="3" rx="1.5" fill="#8892a4"/>
<rect x="66" y="88" width="18" height="10" fill="#7c8696"/>
<line x1="75" y1="34" x2="75" y2="16" stroke="#4c5668" stroke-width="3"/>
<circle cx="75" cy="13" r="6" fill="#ff4d4d" stroke="#a02020" stroke-width="1.2"/><circle cx="73" cy="11" r="2" fill="#ffffff" fill-opacity="0.8"/>
<rect x="38" y="32" width="74" height="58" rx="14" fill="url(#metal)" stroke="#4c5668" stroke-width="1.5"/>
<rect x="32" y="50" width="8" height="20" rx="3" fill="#7c8696"/><rect x="110" y="50" width="8" height="20" rx="3" fill="#7c8696"/>
<rect x="46" y="44" width="58" height="24" rx="10" fill="url(#visor)"/>
<rect x="56" y="72" width="38" height="13" rx="4" fill="#16202a" stroke="#4c5668" stroke-width="1"/>
"""

    def eyes(self, state):
        out = []
        px = {"left": -4, "right": 4}.get(state, 0)
        py = {"up": -3, "down": 3}.get(state, 0)
        for x in (62, 88):
            if state == "closed":
                out.append(f'<rect x="{x-7}" y="55" width="14" height="3" rx="1.5" fill="#4de8ff"/>')
            elif state == "happy":
                out.append(f'<path d="M{x-7},60 Q{x},49 {x+7},60" stroke="#4de8ff" stroke-width="3" fill="none" stroke-linecap="round"/>')
            elif state == "half":
                out.append(f'<rect x="{x-7}" y="54" width="14" height="7" rx="3" fill="#4de8ff"/>')
            else:
                r = 8.5 if state == "wide" else 7
                out.append(f'<circle cx="{x+px}" cy="{56+py}" r="{r+2}" fill="#4de8ff" fill-opacity="0.25"/>'
                           f'<circle cx="{x+px}" cy="{56+py}" r="{r}" fill="#4de8ff"/>'
                           f'<circle cx="{x+px}" cy="{56+py}" r="{r*0.45}" fill="#e8fcff"/>')
        return "".join(out)

    def brows(self, state):
        l, r = {"neutral": (0, 0), "raised": (-3, -3), "frown": (1, 1), "puzzled": (-3, 1)}[state]
        tl, tr = (4, -4) if state == "frown" else (0, 0)
        return (f'<path d="M54,{40+l} L70,{40+l+tl}" stroke="#ffb03a" stroke-width="3" stroke-linecap="round"/>'
                f'<path d="M80,{40+r+tr} L96,{40+r}" stroke="#ffb03a" stroke-width="3" stroke-linecap="round"/>')

    def mouth(self, shape):
        base = '<rect x="57" y="73" width="36" height="11" rx="3.5" fill="#16202a"/>'
        bars = {
            "closed": [1, 1, 1, 1, 1, 1, 1],
            "half": [2, 3, 4, 5, 4, 3, 2],
            "open": [3, 6, 8, 9, 8, 6, 3],
            "o": [1, 3, 7, 8, 7, 3, 1],
        }
        if shape in bars:
            out = [base]
            for i, hgt in enumerate(bars[shape]):
                x = 60 + i * 4.4
                out.append(f'<rect x="{f(x)}" y="{f(78.5-hgt/2)}" width="3" height="{hgt}" rx="1" fill="#7dff9a"/>')
            return "".join(out)
        path = {"smile": "M62,76 Q75,86 88,76", "grin": "M61,75 Q75,88 89,75", "frown": "M63,82 Q75,74 87,82"}[shape]
        return base + f'<path d="{path}" stroke="#7dff9a" stroke-width="2.4" fill="none" stroke-linecap="round"/>'

    def arm(self, x0, y0, x1, y1, x2, y2, left):
        ang = math.atan2(y2 - y1, x2 - x1)
        cx, cy = x2 + 3 * math.cos(ang), y2 + 3 * math.sin(ang)
        return (f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#4c5668" stroke-width="10" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
                f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#b8c2d0" stroke-width="7" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round" stroke-dasharray="5,2"/>'
                f'<circle cx="{f(x1)}" cy="{f(y1)}" r="5" fill="#7c8696" stroke="#4c5668" stroke-width="1"/>'
                f'<circle cx="{f(x0)}" cy="{f(y0)}" r="6" fill="#7c8696" stroke="#4c5668" stroke-width="1"/>'
                f'<circle cx="{f(cx)}" cy="{f(cy)}" r="6.5" fill="#ffb03a" stroke="#9a6010" stroke-width="1.2"/>'
                f'<circle cx="{f(cx)}" cy="{f(cy)}" r="2.5" fill="#9a6010"/>')


class Owl(Character):
    """A round, wise owl with ear tufts, big eyes and a beak that talks."""

    def __init__(self):
        super().__init__("hoot.acs", "Hoot", 150, 170, 0.9, ((42, 96), (108, 96)), (75, 80))

    def body(self):
        scallops = "".join(
            f'<path d="M{x-6},{y} Q{x},{y+7} {x+6},{y}" stroke="#c79a64" stroke-width="1.3" fill="none"/>'
            for y, xs in ((108, (63, 75, 87)), (120, (57, 69, 81, 93)), (132, (59, 71, 83, 95)), (144, (65, 77, 89)))
            for x in xs)
        return """
<defs>
<radialGradient id="plume" cx="0.5" cy="0.4" r="0.6"><stop offset="0" stop-color="#a8733f"/><stop offset="1" stop-color="#6e4522"/></radialGradient>
<radialGradient id="belly" cx="0.5" cy="0.3" r="0.7"><stop offset="0" stop-color="#fff1d6"/><stop offset="1" stop-color="#ecd0a4"/></radialGradient>
</defs>
<ellipse cx="75" cy="164" rx="40" ry="5" fill="#000000" fill-opacity="0.18"/>
<path d="M30,24 L48,44 L40,50 Z" fill="#6e4522" stroke="#4a2c12" stroke-width="1.2"/>
<path d="M120,24 L102,44 L110,50 Z" fill="#6e4522" stroke="#4a2c12" stroke-width="1.2"/>
<ellipse cx="75" cy="104" rx="48" ry="58" fill="url(#plume)" stroke="#4a2c12" stroke-width="1.5"/>
<ellipse cx="76" cy="124" rx="30" ry="34" fill="url(#belly)"/>
""" + scallops + """
<ellipse cx="58" cy="64" rx="21" ry="20" fill="#f7e7c8" stroke="#8a5a2c" stroke-width="1.2"/>
<ellipse cx="92" cy="64" rx="21" ry="20" fill="#f7e7c8" stroke="#8a5a2c" stroke-width="1.2"/>
<path d="M60,160 l-5,6 M64,161 l0,7 M68,160 l5,6" stroke="#e08a1e" stroke-width="3.5" stroke-linecap="round"/>
<path d="M82,160 l-5,6 M86,161 l0,7 M90,160 l5,6" stroke="#e08a1e" stroke-width="3.5" stroke-linecap="round"/>
<rect x="18" y="158" width="116" height="5" rx="2.5" fill="#7a5230"/>
"""

    def eyes(self, state):
        return eye_pair(75, 64, 17, 12, 12, state, white="#ffd84a", pupil="#1a1208", outline="#8a5a2c",
                        lid="#a8733f", s=1.3)

    def brows(self, state):
        l, r = {"neutral": (0, 0), "raised": (-4, -4), "frown": (3, 3), "puzzled": (-4, 3)}[state]
        tl = 4 if state == "frown" else 0
        return (f'<path d="M40,{44+l-tl} Q56,{38+l} 70,{46+l+tl}" stroke="#4a2c12" stroke-width="3.5" fill="none" stroke-linecap="round"/>'
                f'<path d="M80,{46+r+tl} Q94,{38+r} 110,{44+r-tl}" stroke="#4a2c12" stroke-width="3.5" fill="none" stroke-linecap="round"/>')

    def mouth(self, shape):
        upper = '<path d="M68,76 Q75,72 82,76 L75,{tip} Z" fill="#f2a22a" stroke="#a05a10" stroke-width="1.2"/>'
        if shape == "closed":
            return upper.format(tip=90)
        if shape in ("smile", "grin"):
            cheeks = '<circle cx="46" cy="84" r="5" fill="#ff8a8a" fill-opacity="0.45"/><circle cx="104" cy="84" r="5" fill="#ff8a8a" fill-opacity="0.45"/>'
            return cheeks + upper.format(tip=90)
        if shape == "frown":
            return upper.format(tip=92)
        gap = {"half": 4, "open": 8, "o": 7}[shape]
        return (f'<path d="M69,{80+gap/2} Q75,{86+gap} 81,{80+gap/2} Z" fill="#5a1a10"/>'
                f'<path d="M69,{81+gap/2} L75,{94+gap/2} L81,{81+gap/2} Q75,{83+gap/2} 69,{81+gap/2} Z" fill="#e0901e" stroke="#a05a10" stroke-width="1.2"/>'
                + upper.format(tip=84))

    def arm(self, x0, y0, x1, y1, x2, y2, left):
        ang = math.atan2(y2 - y1, x2 - x1)
        feathers = "".join(
            f'<ellipse cx="{f(x2 + 5*math.cos(ang+d))}" cy="{f(y2 + 5*math.sin(ang+d))}" rx="7" ry="3.2" '
            f'fill="#5a3618" stroke="#3a2008" stroke-width="0.8" '
            f'transform="rotate({f(math.degrees(ang+d))} {f(x2 + 5*math.cos(ang+d))} {f(y2 + 5*math.sin(ang+d))})"/>'
            for d in (-0.5, 0, 0.5))
        return (f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#4a2c12" stroke-width="15" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
                f'<path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)} L{f(x2)},{f(y2)}" stroke="#8a5a2c" stroke-width="12" '
                f'fill="none" stroke-linecap="round" stroke-linejoin="round"/>' + feathers)


if __name__ == "__main__":
    for character in (Wizard(), Robot(), Owl()):
        character.write()
        print("wrote", character.file)
