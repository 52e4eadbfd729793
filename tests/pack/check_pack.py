#!/usr/bin/python3
"""Checks a generated data pack against the rules its readers rely on.

usage: check_pack.py DATA_FOLDER [--lint]

Reads what was made with readers of its own (WAV and module headers, the
scripts run under recording stand-ins, the pictures' pixels) and compares it
with the manifest and the file formats. Prints one line per fault, naming the
file and the rule, and exits with 1 when there is any."""
import ctypes
import glob
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
MANIFEST = os.path.join(REPO, "tools", "pack", "manifest.json")
LUA = "lua5.2"
LUAC = "luac5.2"

MINUS_1_DBFS = 32767 * 10 ** (-1 / 20)


class Report:
    def __init__(self, root):
        self.root = root
        self.faults = []

    def fail(self, path, rule):
        rel = os.path.relpath(path, self.root) if os.path.isabs(path) else path
        self.faults.append("%s: %s" % (rel, rule))


def record(script):
    """Runs a script under the stand-ins; returns its calls as lists of
    strings, or raises RuntimeError with Lua's message."""
    r = subprocess.run([LUA, os.path.join(HERE, "record.lua"), script], capture_output=True, text=True)
    if r.returncode:
        raise RuntimeError(r.stderr.strip() or "failed")
    return [line.split("\t") for line in r.stdout.splitlines() if line]


def is_pow2(n):
    return n > 0 and n & (n - 1) == 0


def required_chars():
    chars = set(range(0x20, 0x7F))
    for n in range(0x80, 0x100):
        try:
            ch = bytes([n]).decode("cp1251")
        except UnicodeDecodeError:
            continue
        if ord(ch) >= 0xA0 or ord(ch) > 0x9F:
            chars.add(n)
    return chars


# Sounds ---------------------------------------------------------------------

def read_wav(path):
    """(rate, channels, bits, samples) of a PCM WAV; raises ValueError."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF WAVE file")
    if struct.unpack("<I", data[4:8])[0] != len(data) - 8:
        raise ValueError("RIFF size does not match the file")
    pos, fmt, pcm = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if len(body) < size:
            raise ValueError("chunk %r runs past the end" % tag)
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif tag == b"data":
            pcm = body
        pos += 8 + size + (size & 1)
    if fmt is None or pcm is None:
        raise ValueError("no fmt or data chunk")
    tag, ch, rate, byte_rate, align, bits = fmt
    if tag != 1:
        raise ValueError("not PCM")
    if bits != 16 or len(pcm) % 2:
        return rate, ch, bits, []
    return rate, ch, bits, list(struct.unpack("<%dh" % (len(pcm) // 2), pcm))


def check_sound(rep, path, loop):
    try:
        rate, ch, bits, s = read_wav(path)
    except (ValueError, struct.error) as e:
        rep.fail(path, "unreadable WAV: %s" % e)
        return
    if (rate, ch, bits) != (22050, 1, 16):
        rep.fail(path, "must be 16-bit PCM mono 22050 Hz, is %d-bit, %d channel(s), %d Hz" % (bits, ch, rate))
        return
    if len(s) < 64:
        rep.fail(path, "shorter than 64 samples")
        return
    peak = max(abs(x) for x in s)
    if peak > MINUS_1_DBFS:
        rep.fail(path, "peak %.2f dBFS above -1 dBFS" % (20 * math.log10(peak / 32767)))
    mean = sum(s) / len(s)
    if abs(mean) > 0.002 * 32767:
        rep.fail(path, "DC offset %.4f of full scale" % (mean / 32767))
    if loop:
        # The seam must be no bigger a step than the sound's own largest ones.
        steps = sorted(abs(s[i + 1] - s[i]) for i in range(len(s) - 1))
        typical = max(steps[int(len(steps) * 0.999)], 256)
        if abs(s[-1] - s[0]) > typical:
            rep.fail(path, "loop seam jumps %d (the sound's own steps reach %d)" % (abs(s[-1] - s[0]), typical))
    else:
        for where, x in (("begins", s[0]), ("ends", s[-1])):
            if abs(x) > 0.01 * 32767:
                rep.fail(path, "%s with a click (sample %d)" % (where, x))


# Musics ---------------------------------------------------------------------

def read_mod(path):
    """Reads a 4-channel "M.K." module; returns (orders, patterns, samples)
    or raises ValueError."""
    with open(path, "rb") as f:
        d = f.read()
    if len(d) < 1084 or d[1080:1084] != b"M.K.":
        raise ValueError("not an M.K. module")
    samples = []
    for i in range(31):
        h = d[20 + 30 * i:50 + 30 * i]
        words, _, vol, ls, ll = struct.unpack(">HBBHH", h[22:30])
        if vol > 64:
            raise ValueError("sample %d volume %d above 64" % (i + 1, vol))
        if words and ll > 1 and (ls + ll) > words:
            raise ValueError("sample %d loop runs past its end" % (i + 1))
        samples.append(words * 2)
    length = d[950]
    if not 1 <= length <= 128:
        raise ValueError("song length %d" % length)
    orders = list(d[952:952 + length])
    npat = max(d[952:1080]) + 1
    expected = 1084 + npat * 1024 + sum(samples)
    if len(d) != expected:
        raise ValueError("file holds %d bytes, its header describes %d" % (len(d), expected))
    return orders, npat, samples


class XmpFrame(ctypes.Structure):
    _fields_ = [(n, ctypes.c_int) for n in ("pos", "pattern", "row", "num_rows", "frame", "speed", "bpm",
                                            "time", "total_time", "frame_time")] + [
        ("buffer", ctypes.c_void_p), ("buffer_size", ctypes.c_int), ("total_size", ctypes.c_int),
        ("volume", ctypes.c_int), ("loop_count", ctypes.c_int), ("virt_channels", ctypes.c_int),
        ("virt_used", ctypes.c_int), ("sequence", ctypes.c_int), ("channel_info", ctypes.c_byte * (64 * 24))]


def xmp_length_ms(path):
    """Loads the module with libxmp and returns (its length in ms, the RMS of
    its first 4 s in 16-bit units)."""
    lib = ctypes.CDLL("libxmp.so.4")
    lib.xmp_create_context.restype = ctypes.c_void_p
    lib.xmp_load_module.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
    lib.xmp_start_player.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    lib.xmp_get_frame_info.argtypes = [ctypes.c_void_p, ctypes.POINTER(XmpFrame)]
    lib.xmp_end_player.argtypes = lib.xmp_release_module.argtypes = lib.xmp_free_context.argtypes = [ctypes.c_void_p]
    ctx = lib.xmp_create_context()
    try:
        if lib.xmp_load_module(ctx, path.encode()) != 0:
            raise ValueError("libxmp refuses the module")
        lib.xmp_start_player(ctx, 22050, 0)
        info = XmpFrame()
        lib.xmp_get_frame_info(ctx, ctypes.byref(info))
        lib.xmp_play_buffer.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        buf = (ctypes.c_int16 * (22050 * 2 * 4))()
        lib.xmp_play_buffer(ctx, buf, ctypes.sizeof(buf), 0)
        rms = math.sqrt(sum(x * x for x in buf) / len(buf))
        lib.xmp_end_player(ctx)
        lib.xmp_release_module(ctx)
        return info.total_time, rms
    finally:
        lib.xmp_free_context(ctx)


def check_music(rep, path):
    try:
        orders, npat, _ = read_mod(path)
    except (ValueError, struct.error) as e:
        rep.fail(path, "unreadable module: %s" % e)
        return
    try:
        ms, rms = xmp_length_ms(path)
    except ValueError as e:
        rep.fail(path, str(e))
        return
    if rms < 300:
        rep.fail(path, "nearly silent (RMS %.0f)" % rms)
    if not 60000 <= ms <= 120000:
        rep.fail(path, "plays %.1f s, not one to two minutes" % (ms / 1000))


# Textures and areas ---------------------------------------------------------

def seam(img, box, sideways=True):
    """How far a picture's opposite edges differ, against how much its
    neighbouring columns (rows) differ: about 1 for a seamless picture."""
    x0, y0, w, h = box
    px = img.load()

    def diff(a, b):
        total = 0
        n = h if sideways else w
        for i in range(n):
            p = px[(x0 + a, y0 + i) if sideways else (x0 + i, y0 + a)]
            q = px[(x0 + b, y0 + i) if sideways else (x0 + i, y0 + b)]
            total += sum(abs(p[k] - q[k]) for k in range(3))
        return total / n
    last = (w if sideways else h) - 1
    inner = sum(diff(k, k + 1) for k in range(0, last, max(1, last // 8))) / len(range(0, last, max(1, last // 8)))
    return diff(last, 0) / max(inner, 1.0)


# The packer clears every cell's outer ring, so a drawing that ran past its
# cell shows as a straight cut along the ring just inside: a few opaque
# pixels there. Areas whose picture continues past a side on purpose (a
# backdrop piece, a tab on its panel) name that side in "open".
CUT_PIXELS = 3


def cut_side(alpha, cx, cy, fw, fh, open_sides=()):
    sides = (("top", [(cx + i, cy + 1) for i in range(1, fw - 1)]),
             ("bottom", [(cx + i, cy + fh - 2) for i in range(1, fw - 1)]),
             ("left", [(cx + 1, cy + j) for j in range(1, fh - 1)]),
             ("right", [(cx + fw - 2, cy + j) for j in range(1, fh - 1)]))
    for name, pixels in sides:
        if name not in open_sides and sum(1 for p in pixels if alpha[p] >= 128) >= CUT_PIXELS:
            return name
    return None


def check_tex(rep, tex, png, row):
    try:
        calls = record(tex)
    except RuntimeError as e:
        rep.fail(tex, "script fails: %s" % e)
        return {}
    img = Image.open(png).convert("RGBA")
    W, H = img.size
    if not (is_pow2(W) and is_pow2(H)):
        rep.fail(png, "size %dx%d is not a power of two" % (W, H))
    infos = [c for c in calls if c[0] == "info"]
    name = os.path.splitext(os.path.basename(png))[0]
    if len(infos) != 1 or infos[0][1] != name or infos[0][2] != "false":
        rep.fail(tex, "must construct exactly one cTextureInfo(\"%s\", false)" % name)
    alpha = img.getchannel("A").load()
    rules = {a["name"]: a for a in (row or {}).get("areas", [])}
    nodes, boxes = {}, []
    for c in calls:
        if c[0] != "node":
            continue
        area, kind = c[1], c[2]
        u, v, w, h = (float(x) for x in c[3:7])
        cols, rows = int(c[7]), int(c[8])
        if kind != "rectf":
            rep.fail(tex, "area %s is not in the uv form" % area)
            continue
        if u < 0 or v < 0 or u + w > 1 + 1e-9 or v + h > 1 + 1e-9 or w <= 0 or h <= 0:
            rep.fail(tex, "area %s lies outside the texture" % area)
            continue
        # v counts up from the bottom row of the picture.
        x0, y0 = round(u * W), round((1 - v - h) * H)
        pw, ph = round(w * W), round(h * H)
        if pw % cols or ph % rows:
            rep.fail(tex, "area %s does not split into whole-pixel frames" % area)
            continue
        fw, fh = pw // cols, ph // rows
        rule = rules.get(area, {})
        if rule.get("seamless"):
            for k in range(cols * rows):
                box = (x0 + (k % cols) * fw, y0 + (k // cols) * fh, fw, fh)
                ratios = [seam(img, box, True)] + ([seam(img, box, False)] if rule["seamless"] == "tile" else [])
                if max(ratios) > 3.0:
                    rep.fail(tex, "area %s frame %d does not join itself when tiled" % (area, k))
                    break
        for k in range(cols * rows if rule.get("edges") != "keep" else 0):
            cx, cy = x0 + (k % cols) * fw, y0 + (k // cols) * fh
            ring = [(cx + i, cy) for i in range(fw)] + [(cx + i, cy + fh - 1) for i in range(fw)] + \
                   [(cx, cy + j) for j in range(fh)] + [(cx + fw - 1, cy + j) for j in range(fh)]
            if any(alpha[p] for p in ring):
                rep.fail(tex, "area %s frame %d has no transparent border" % (area, k))
                break
        for k in range(cols * rows if rule.get("edges") != "keep" else 0):
            side = cut_side(alpha, x0 + (k % cols) * fw, y0 + (k // cols) * fh, fw, fh, rule.get("open", []))
            if side:
                rep.fail(tex, "area %s frame %d is cut at its %s edge" % (area, k, side))
                break
        for other, (bx, by, bw, bh) in boxes:
            if x0 < bx + bw + 2 and bx < x0 + pw + 2 and y0 < by + bh + 2 and by < y0 + ph + 2:
                rep.fail(tex, "areas %s and %s are closer than 2 px" % (other, area))
        boxes.append((area, (x0, y0, pw, ph)))
        nodes.setdefault(area, cols * rows)
    for a in (row or {}).get("areas", []):
        if a["name"] not in nodes:
            rep.fail(tex, "area %s missing" % a["name"])
        elif nodes[a["name"]] < a["frames"]:
            rep.fail(tex, "area %s has %d frames, needs %d" % (a["name"], nodes[a["name"]], a["frames"]))
    return nodes


# Rules of single sheets: equal counts where the code indexes several areas
# alike; textures played whole as a frame grid or continued over the screen.
EQUAL_COUNTS = {"gui_plants": ("normal", "highlight", "push", "disable")}
SAME_SIZE = [("island02_0", "island02_1")]


def check_counts(rep, tex, row, nodes):
    names = EQUAL_COUNTS.get(row["name"])
    if names and len({nodes.get(n) for n in names}) > 1:
        rep.fail(tex, "areas %s must have equal frame counts, have %s"
                 % (", ".join(names), ", ".join(str(nodes.get(n)) for n in names)))


def check_whole(rep, png, row):
    if not (row.get("tileset") or row.get("clear_uv")) or not os.path.exists(png):
        return
    img = Image.open(png).convert("RGBA")
    W, H = img.size
    alpha = img.getchannel("A")
    if row.get("tileset"):
        cols, rows = row["tileset"]
        if W % cols or H % rows:
            rep.fail(png, "does not split into %d x %d frames" % (cols, rows))
            return
        fw, fh = W // cols, H // rows
        for k in range(cols * rows):
            cell = alpha.crop(((k % cols) * fw, (k // cols) * fh, (k % cols + 1) * fw, (k // cols + 1) * fh))
            box = cell.getbbox()
            if not box:
                rep.fail(png, "frame %d is empty" % k)
            elif box[0] < 1 or box[1] < 1 or box[2] > fw - 1 or box[3] > fh - 1:
                rep.fail(png, "frame %d has no transparent border" % k)
    if row.get("clear_uv"):
        u, v, w, h = row["clear_uv"]
        x0, y0, x1, y1 = round(u * W), round((1 - v - h) * H), round((u + w) * W), round((1 - v) * H)
        if alpha.crop((x0, y0, x1, y1)).getbbox():
            rep.fail(png, "must be clear inside its uv rectangle")
        outside = {img.getpixel((x, y)) for y in range(H) for x in range(W) if not (x0 <= x < x1 and y0 <= y < y1)}
        if len(outside) != 1 or next(iter(outside))[3] == 0:
            rep.fail(png, "must be one even dim colour outside its uv rectangle")


# A crop waits ripe for the harvest in its last growth frame: that frame
# must be told apart at a glance from the one before. A pixel of the ripe
# frame counts as changed when no pixel near it in the frame before (near
# enough to forgive the last growth step) has a colour within RIPE_DISTANCE;
# a fruit that turns from green to red changes a good share of the plant,
# a crown that only grows a little changes nearly nothing. Flowers and grass
# are never harvested by hand and are left out.
RIPE_DISTANCE = 50
RIPE_NEAR = 3
RIPE_SHARE = 0.05


def ripe_change(before, ripe):
    """Share of the ripe frame's visible pixels that are new in colour."""
    w, h = ripe.size
    a, b = before.load(), ripe.load()

    def flat(px):  # over mid grey, so a faint edge counts as faint
        k = px[3] / 255.0
        return tuple(c * k + 128 * (1 - k) for c in px[:3])
    shown = changed = 0
    for y in range(h):
        for x in range(w):
            if not b[x, y][3]:
                continue
            shown += 1
            c = flat(b[x, y])
            if all(math.dist(c, flat(a[i, j])) > RIPE_DISTANCE
                   for j in range(max(0, y - RIPE_NEAR), min(h, y + RIPE_NEAR + 1))
                   for i in range(max(0, x - RIPE_NEAR), min(w, x + RIPE_NEAR + 1))):
                changed += 1
    return changed / shown if shown else 0.0


def check_ripe(rep, root, manifest):
    for row in manifest["textures"]:
        crops = [a["name"] for a in row.get("areas", []) if a.get("play") == "growth"
                 and a["name"] not in ("flowers", "grass")]
        tex = os.path.join(root, "texture", row.get("folder") or "", row["name"] + ".tex")
        if not crops or not os.path.exists(tex):
            continue
        try:
            nodes = {c[1]: c for c in record(tex) if c[0] == "node"}
        except RuntimeError:
            continue  # reported by check_tex
        img = Image.open(os.path.splitext(tex)[0] + "." + row["format"]).convert("RGBA")
        W, H = img.size
        for name in crops:
            if name not in nodes:
                continue
            u, v, w, h = (float(x) for x in nodes[name][3:7])
            cols, rows = int(nodes[name][7]), int(nodes[name][8])
            x0, y0 = round(u * W), round((1 - v - h) * H)
            fw, fh = round(w * W) // cols, round(h * H) // rows
            n = cols * rows
            if n < 2:
                continue
            frame = [img.crop((x0 + (k % cols) * fw, y0 + (k // cols) * fh,
                               x0 + (k % cols + 1) * fw, y0 + (k // cols + 1) * fh)) for k in (n - 2, n - 1)]
            share = ripe_change(*frame)
            if share < RIPE_SHARE:
                rep.fail(tex, "area %s: the ripe frame changes %.3f of the plant from the frame before, needs %.2f"
                         % (name, share, RIPE_SHARE))


def check_pages(rep, root, manifest):
    rows = {r["name"]: r for r in manifest["textures"]}
    for a, b in SAME_SIZE:
        pa, pb = (os.path.join(root, "texture", n + "." + rows[n]["format"]) for n in (a, b))
        if os.path.exists(pa) and os.path.exists(pb):
            with Image.open(pa) as ia, Image.open(pb) as ib:
                if ia.size != ib.size:
                    rep.fail(pb, "size %dx%d, the pages of one animation share %s's %dx%d"
                             % (ib.size + (a,) + ia.size))


# Fonts ----------------------------------------------------------------------

def check_font(rep, script, png, name, texture, monospaced=False):
    try:
        calls = record(script)
    except RuntimeError as e:
        rep.fail(script, "script fails: %s" % e)
        return
    img = Image.open(png).convert("RGBA")
    W, H = img.size
    heads = [c[0] for c in calls if c[0] != "char"]
    if heads != ["font", "init", "texture", "transform"]:
        rep.fail(script, "must call cFont, Init, Texture, Transform in this order, then Char")
        return
    calls_by = {c[0]: c for c in calls if c[0] != "char"}
    if calls_by["font"][1] != name:
        rep.fail(script, "font named %s, expected %s" % (calls_by["font"][1], name))
    line_height = float(calls_by["init"][4])
    if calls_by["texture"][1:] != [texture, str(W), str(H)]:
        rep.fail(script, "Texture%s does not name %s at its size %dx%d" % (tuple(calls_by["texture"][1:]), texture, W, H))
    alpha = img.getchannel("A")
    seen, rects = set(), []
    for c in calls:
        if c[0] != "char":
            continue
        code = int(c[1])
        width, x, y, w, h = float(c[2]), int(c[3]), int(c[4]), int(c[5]), int(c[6])
        seen.add(code)
        if x < 0 or y < 0 or x + w > W or y + h > H:
            rep.fail(script, "glyph %d lies outside the texture" % code)
            continue
        if w != width or h != line_height:
            rep.fail(script, "glyph %d: rectangle %dx%d is not its quad %gx%g" % (code, w, h, width, line_height))
        # The rectangle counts y from the top: a visible glyph has ink there.
        if code > 0x20 and chr(code).isalnum() and not alpha.crop((x, y, x + w, y + h)).getbbox():
            rep.fail(script, "glyph %d has no ink inside its rectangle (y counted from the wrong edge?)" % code)
        rects.append((code, x, y, w, h))
    # The console steps its cursor by one fixed advance per character.
    advances = {c[8] for c in calls if c[0] == "char"}
    if monospaced and len(advances) > 1:
        rep.fail(script, "a monospaced font with %d different advances" % len(advances))
    missing = sorted(required_chars() - seen)
    if missing:
        rep.fail(script, "no glyph for the bytes %s" % ", ".join("0x%02X" % m for m in missing[:8]))
    rects.sort(key=lambda r: (r[2], r[1]))
    for i, a in enumerate(rects):
        for b in rects[i + 1:i + 40]:
            if a[1] < b[1] + b[3] and b[1] < a[1] + a[3] and a[2] < b[2] + b[4] and b[2] < a[2] + a[4]:
                rep.fail(script, "glyphs %d and %d overlap" % (a[0], b[0]))


# The loading list -----------------------------------------------------------

def check_loading(rep, root, manifest):
    script = os.path.join(root, "conf", "loading.lua")
    try:
        calls = record(script)
    except RuntimeError as e:
        rep.fail(script, "script fails: %s" % e)
        return
    named, sounds = [], {}
    last_sound = None
    for c in calls:
        if c[0] == "param" and last_sound:
            sounds[last_sound] = int(c[1])
            continue
        if c[0] != "job":
            continue
        kind, path = c[1], c[2]
        last_sound = None
        if not path.startswith("{StaticPath}/"):
            rep.fail(script, "%s job path %s is not under {StaticPath}" % (kind, path))
            continue
        rel = path[len("{StaticPath}/"):]
        base = os.path.join(root, rel)
        if kind == "texture":
            found = [e for e in ("png", "jpg") if os.path.exists(base + "." + e)]
            if os.path.splitext(rel)[1] or not found:
                rep.fail(script, "texture job %s: no extension, and a .png or .jpg must exist" % path)
            else:
                named.append(rel + "." + found[0])
                if os.path.exists(base + ".tex"):
                    named.append(rel + ".tex")
        elif kind == "font":
            if os.path.splitext(rel)[1] or not (os.path.exists(base + ".png") and os.path.exists(base + ".lua")):
                rep.fail(script, "font job %s: no extension, and .png and .lua must exist" % path)
            else:
                named += [rel + ".png", rel + ".lua"]
        elif kind in ("sound", "music"):
            if not os.path.splitext(rel)[1] or not os.path.exists(base):
                rep.fail(script, "%s job %s: needs its extension and an existing file" % (kind, path))
            else:
                named.append(rel)
                if kind == "sound":
                    last_sound = os.path.splitext(os.path.basename(rel))[0]
                    sounds[last_sound] = 1
            if c[3] != "false":
                rep.fail(script, "%s job %s must pass reserved = false" % (kind, path))
    want = {s["name"]: s["plays"] for s in manifest["sounds"]}
    if set(sounds) != set(want):
        extra, lost = sorted(set(sounds) - set(want)), sorted(set(want) - set(sounds))
        rep.fail(script, "sounds must be exactly the manifest's 34 (extra %s, missing %s)" % (extra, lost))
    for n, plays in sounds.items():
        if n in want and plays != want[n]:
            rep.fail(script, "sound %s plays %d at once, the manifest says %d" % (n, plays, want[n]))
    # Every file of the loaded folders is named exactly once; the shell
    # loads texture/system/ itself.
    files = []
    for folder in ("texture", "font", "sound", "music"):
        for p in glob.glob(os.path.join(root, folder, "**", "*"), recursive=True):
            rel = os.path.relpath(p, root).replace(os.sep, "/")
            if os.path.isfile(p) and not rel.startswith(("texture/system/", "texture/splash/")):
                files.append(rel)
    for rel in sorted(set(files) - set(named)):
        rep.fail(script, "no job loads %s" % rel)
    for rel in sorted(set(named)):
        if named.count(rel) > 1:
            rep.fail(script, "%s is loaded %d times" % (rel, named.count(rel)))


# Texts ----------------------------------------------------------------------

DIRECTIVE = re.compile(r"%[-+ #0]*[0-9]*(?:\.[0-9]+)?[a-zA-Z%]")


def check_locale(rep, root, table):
    script = os.path.join(root, "conf", "locale.lua")
    try:
        calls = record(script)
    except RuntimeError as e:
        rep.fail(script, "script fails: %s" % e)
        return
    with open(script, "rb") as f:
        lines = f.read().split(b"\n")

    def line_of(name):
        for i, text in enumerate(lines, 1):
            if re.search(rb"\." + name.encode() + rb"\s*=", text):
                return "line %d: " % i
        return ""

    got = {"locale": {}, "vek_locale": {}}
    for c in calls:
        if c[0] == "set":
            got[c[1]][c[2]] = bytes.fromhex(c[3])
    for which, key in (("locale", "game"), ("vek_locale", "engine")):
        want = set(table[key])
        for name in sorted(set(got[which]) - want):
            rep.fail(script, "%s%s.%s is not a text the game has" % (line_of(name), which, name))
        for name in sorted(want - set(got[which])):
            rep.fail(script, "%s.%s is never set" % (which, name))
    for which in got:
        for name, text in sorted(got[which].items()):
            where = line_of(name)
            if any(b < 0x20 and b != 0x0A or b > 0x7E for b in text):
                rep.fail(script, "%s%s: only printable ASCII and line breaks" % (where, name))
            found = DIRECTIVE.findall(text.decode("latin-1"))
            want = table["formats"].get(name, [])
            if found != want:
                rep.fail(script, "%s%s holds the directives %s, its caller passes %s" % (where, name, found, want))
            if name in table["message_box"] and text.count(b"\n") > 2:
                rep.fail(script, "%s%s has more than three lines for the message box" % (where, name))


# Windows --------------------------------------------------------------------

# Each control class's base, as the engine's and the game's Lua bindings
# derive them.
BASES = {
    "cImageCtrl": "cCtrl", "cLabelCtrl": "cCtrl", "cLabelSysCtrl": "cLabelCtrl", "cTextBoxSysCtrl": "cLabelSysCtrl",
    "cFrameCtrl": "cCtrl", "cProgressBarSysCtrl": "cCtrl", "cSliderCtrl": "cCtrl", "cSliderSysCtrl": "cSliderCtrl",
    "cEditCtrl": "cCtrl", "cEditSysCtrl": "cEditCtrl", "cButtonSysCtrl": "cCtrl", "cCheckBoxSysCtrl": "cCtrl",
    "cListCtrl": "cCtrl", "cListSysCtrl": "cListCtrl", "cImageListSysCtrl": "cListCtrl",
    "cToolbarSysCtrl": "cImageListSysCtrl", "cClockCtrl": "cFrameCtrl", "cImageCtrlEx": "cImageCtrl",
    "cMissionCtrl": "cCtrl", "cTaskCtrl": "cMissionCtrl", "cSliderCtrlEx": "cSliderSysCtrl",
    "cCheckBoxCtrl": "cCheckBoxSysCtrl", "cCheckBoxUpCtrl": "cCheckBoxCtrl", "cButtonCtrl": "cCtrl",
    "cTabButtonCtrl": "cButtonCtrl", "cAnimationCtrl": "cImageCtrl", "cLinkCtrl": "cLabelCtrl",
    "cToolbarCtrl": "cListCtrl",
}
# Classes that draw text: font 0 draws nothing, so each needs a font.
TEXT_CLASSES = ("cLabelCtrl", "cButtonCtrl", "cButtonSysCtrl", "cListSysCtrl", "cEditSysCtrl", "cMissionCtrl")
# What exists while the loading window is built: only the shell's own.
BEFORE_LOADING = {"textures": {"gui_system", "gui_loading", "gui_loading_progress"}, "fonts": {"system"}}
# Texts that the screens format: (window, control) -> the directives their
# code passes. Any other static text is shown as it is.
TEMPLATES = {("mission_start", "tasks"): ["%i"], ("mission_finish", "caption"): ["%i"], ("main", "lbProfile"): ["%s"]}
COMIC_NAME = re.compile(r"#?-?[0-9]+(\.[0-9]+)?$")


def is_a(cls, base):
    while cls:
        if cls == base:
            return True
        cls = BASES.get(cls)
    return False


def expand(names, row):
    """The control names of a manifest table, with "%i" and "%s" rows
    spelled out over the row's index range or name list."""
    out = {}
    for name, cls in names.items():
        if "%i" in name:
            lo, hi = row["indexed"]
            out.update({name.replace("%i", str(i)): cls for i in range(lo, hi + 1)})
        elif "%s" in name:
            out.update({name.replace("%s", n): cls for n in row["named"]})
        else:
            out[name] = cls
    return out


def check_window(rep, root, row, textures, fonts, tilesets=None, seen=None):
    """Checks one window's script; returns where its controls lie. With
    seen, keeps what the script made there for the checks across windows."""
    script = os.path.join(root, row.get("file") or "gui/%s.lua" % row["name"])
    if not os.path.exists(script):
        rep.fail(script, "window %s has no script" % row["name"])
        return
    r = subprocess.run([LUA, os.path.join(HERE, "record.lua"), "--window", root, script], capture_output=True, text=True)
    if r.returncode:
        rep.fail(script, "FillWindow fails: %s" % (r.stderr.strip() or "exit %d" % r.returncode))
        return
    calls = [line.split("\t") for line in r.stdout.splitlines() if line]
    made, flags, set_calls = {}, {}, {}
    for c in calls:
        if c[0] == "ctrl":
            # Comic pictures are named by their delays, which may repeat.
            if c[2] in made and not row.get("comic_page"):
                rep.fail(script, "control %s is made twice" % c[2])
            if row.get("comic_page") and c[1] != "cImageCtrl":
                rep.fail(script, "comic picture %s must be a cImageCtrl" % c[2])
            made[c[2]] = c[1]
        elif c[0] == "window" and c[1] in ("SetActive", "SetModal", "SetName"):
            flags[c[1]] = c[2]
        elif c[0] == "call":
            set_calls.setdefault(c[1], []).append(c[2:])
    if flags.get("SetName") != row["name"]:
        rep.fail(script, "the window names itself %s, not %s" % (flags.get("SetName"), row["name"]))
    for flag, key in (("SetActive", "active"), ("SetModal", "modal")):
        if flags.get(flag, "false") != ("true" if row[key] else "false"):
            rep.fail(script, "window %s must be %s%s" % (row["name"], "" if row[key] else "not ", key))
    for table in ("required", "should"):
        for name, cls in sorted(expand(row[table], row).items()):
            if name not in made:
                rep.fail(script, "%s control %s is missing" % (table, name))
            elif cls and not is_a(made[name], cls):
                rep.fail(script, "control %s is a %s, the screen needs a %s" % (name, made[name], cls))
    for name, why in sorted(row.get("without", {}).items()):
        if name in made:
            rep.fail(script, "control %s must not be there: %s" % (name, why))
    for name in row.get("forbidden", []):
        if name in made:
            rep.fail(script, "control %s opens a window that does not exist" % name)
    allowed_textures = BEFORE_LOADING["textures"] if row["name"] == "loading" else textures
    allowed_fonts = BEFORE_LOADING["fonts"] if row["name"] == "loading" else fonts
    for name, cls in sorted(made.items()):
        own = set_calls.get(name, [])
        if any(is_a(cls, t) for t in TEXT_CLASSES):
            used = [c[1] for c in own if c[0] == "SetFontPrt"]
            if not used:
                rep.fail(script, "text control %s has no font" % name)
            for f in used:
                if f not in allowed_fonts:
                    rep.fail(script, "control %s uses the font %s, which is not there" % (name, f))
        for c in own:
            if c[0] == "SetTexture" and c[1] not in allowed_textures:
                rep.fail(script, "control %s uses the texture %s, which is not there" % (name, c[1]))
        if is_a(cls, "cSliderCtrl") and not any(c[0] == "SetMinMax" for c in own):
            rep.fail(script, "slider %s has no range" % name)
        if row.get("comic_page") and not COMIC_NAME.match(name):
            rep.fail(script, "comic picture %s must be named by its delay in seconds" % name)
        if row.get("comic_page"):
            check_comic_picture(rep, root, script, name, own)
    texts = {}
    for name, own in set_calls.items():
        for c in own:
            if c[0] == "SetText":
                texts[name] = c[1] if len(c) > 1 else ""
    for name, text in sorted(texts.items()):
        if any(ord(ch) < 0x20 and ch != "\n" or ord(ch) > 0x7E for ch in text):
            rep.fail(script, "the text of %s holds a byte outside printable ASCII" % name)
    for (window, name), want in sorted(TEMPLATES.items()):
        if window == row["name"] and name in made:
            found = DIRECTIVE.findall(texts.get(name, ""))
            if found != want:
                rep.fail(script, "the text of %s holds the directives %s, the screen formats it with %s"
                         % (name, found, want))
    # Where each control lies, and whether the mouse can reach it.
    field = row.get("layout", {}).get("field")
    rects = []
    for name, cls in sorted(made.items()):
        own = set_calls.get(name, [])
        pos = [c for c in own if c[0] == "SetPos" and c[3] == "0"]
        size = [c for c in own if c[0] == "SetSize" and c[3] == "0"]
        if not pos or not size:
            continue
        x, y, w, h = float(pos[-1][1]), float(pos[-1][2]), float(size[-1][1]), float(size[-1][2])
        rects.append((name, (x, y, w, h)))
        if x < 0 or y < 0 or x + w > 1024 or y + h > 768:
            rep.fail(script, "control %s lies outside the 1024 x 768 GUI space" % name)
        passive = any(c[0] == "EnableState" and int(c[1]) & 8 for c in own) or \
            any(c[0] == "DisableState" and int(c[1]) & 2 for c in own)
        if field and not passive and x < field[2] and field[0] < x + w and y < field[3] and field[1] < y + h:
            rep.fail(script, "control %s takes input inside the field" % name)
    check_animations(rep, script, made, set_calls, tilesets or {})
    for name, text in sorted(texts.items()):
        if text.strip():
            check_label_contrast(rep, root, script, name, set_calls.get(name, []))
    for name, cls in sorted(made.items()):
        if is_a(cls, "cSliderCtrlEx"):
            check_hover_cells(rep, root, script, name, set_calls.get(name, []))
    for c in calls:
        if c[0] == "area" and c[2] not in textures.get(c[1], ()):
            rep.fail(script, "sprite %s:%s is not in the manifest" % (c[1], c[2]))
    for name, cls in sorted(made.items()):
        if is_a(cls, "cButtonCtrl"):
            check_button_rows(rep, root, script, name, set_calls.get(name, []))
    if seen is not None:
        seen[row["name"]] = (script, made, set_calls, texts)
    return rects


def luminance(rgb):
    def lin(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (lin(float(v)) for v in rgb[:3])
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


# A caption is read against the middle of its control's picture: nearly all
# of that middle must stand apart from the text colour (a light sheen may
# not, a white glyph under a white caption does).
LABEL_CONTRAST = 1.5
LABEL_CLASH_SHARE = 0.05


def check_label_contrast(rep, root, script, name, own):
    tex = [c for c in own if c[0] == "SetTexture"]
    pos = [c for c in own if c[0] == "SetUVPos" and c[3] == "0"]
    size = [c for c in own if c[0] == "SetUVSize"]
    colour = [c for c in own if c[0] == "SetColor"]
    if not tex or not pos or not size or not colour:
        return
    png = None
    for folder in ("system", ""):
        path = os.path.join(root, "texture", folder, tex[0][1] + ".png")
        if os.path.exists(path):
            png = path
            break
    if not png:
        return
    img = Image.open(png).convert("RGBA")
    W, H = img.size
    u, v = float(pos[-1][1]), float(pos[-1][2])
    uw, vh = float(size[0][1]), float(size[0][2])
    x0, y0 = round(u * W), round((1 - v - vh) * H)
    fw, fh = round(uw * W), round(vh * H)
    text = tuple(round(255 * float(c)) for c in colour[-1][1:4])
    middle = img.crop((x0 + fw // 5, y0 + fh // 4, x0 + fw - fw // 5, y0 + fh - fh // 4))
    pixels = [p for p in middle.getdata() if p[3] >= 128]
    if not pixels:
        return
    clash = sum(1 for p in pixels if contrast(p, text) < LABEL_CONTRAST)
    if clash > LABEL_CLASH_SHARE * len(pixels):
        rep.fail(script, "the caption of %s cannot be read on its picture (%d of %d pixels match its colour)"
                 % (name, clash, len(pixels)))


def skin_picture(root, texture):
    for folder in ("system", ""):
        path = os.path.join(root, "texture", folder, texture + ".png")
        if os.path.exists(path):
            return Image.open(path).convert("RGBA")
    return None


def check_hover_cells(rep, root, script, name, own):
    """The game's slider draws its track and knob under the mouse from the
    cell directly below each picture: that cell must hold a picture."""
    tex = [c for c in own if c[0] == "SetTexture"]
    img = skin_picture(root, tex[0][1]) if tex else None
    if img is None:
        return
    W, H = img.size
    sizes = {c[3]: c for c in own if c[0] == "SetUVSize"}
    for c in own:
        if c[0] != "SetUVPos" or c[3] not in sizes:
            continue
        u, v = float(c[1]), float(c[2])
        uw, vh = float(sizes[c[3]][1]), float(sizes[c[3]][2])
        x0, y0, fw, fh = round(u * W), round((1 - v - vh) * H), round(uw * W), round(vh * H)
        below = img.crop((x0, y0 + fh, x0 + fw, y0 + 2 * fh)).getchannel("A")
        if y0 + 2 * fh > H or not below.getbbox():
            rep.fail(script, "slider %s has no hover picture below its picture (part %s)" % (name, c[3]))


def check_comic_picture(rep, root, script, name, own):
    """A comic picture's texture exists and its uv rectangle holds a whole
    picture (opaque, not empty space of the page)."""
    tex = [c[1] for c in own if c[0] == "SetTexture"]
    pos = [c for c in own if c[0] == "SetUVPos"]
    size = [c for c in own if c[0] == "SetUVSize"]
    if not tex or not pos or not size:
        rep.fail(script, "comic picture %s needs a texture and a uv rectangle" % name)
        return
    png = os.path.join(root, "texture", tex[-1] + ".png")
    if not os.path.exists(png):
        rep.fail(script, "comic picture %s: its texture %s is missing" % (name, tex[-1]))
        return
    with Image.open(png) as img:
        W, H = img.size
        u, v, w, h = float(pos[-1][1]), float(pos[-1][2]), float(size[-1][1]), float(size[-1][2])
        box = (round(u * W), round((1 - v - h) * H), round((u + w) * W), round((1 - v) * H))
        if box[0] < 0 or box[1] < 0 or box[2] > W or box[3] > H or box[2] <= box[0] or box[3] <= box[1]:
            rep.fail(script, "comic picture %s: its uv rectangle lies outside %s" % (name, tex[-1]))
            return
        hist = img.convert("RGBA").getchannel("A").crop(box).histogram()
        if hist[255] < 0.9 * sum(hist):
            rep.fail(script, "comic picture %s: its uv rectangle of %s holds no whole picture" % (name, tex[-1]))


def sprite_table(root):
    """gui/sprites.lua, the areas the window scripts cut their pictures
    from: {texture: {area: {"u", "v", "w", "h", "rows", ...}}}."""
    table, current = {}, None
    path = os.path.join(root, "gui", "sprites.lua")
    if not os.path.exists(path):
        return table
    with open(path) as f:
        for line in f:
            m = re.match(r'sprites\["([^"]+)"\] = \{', line)
            if m:
                current = table.setdefault(m.group(1), {})
                continue
            m = re.match(r'\s*\["([^"]+)"\] = \{(.*)\},?\s*$', line)
            if m and current is not None:
                current[m.group(1)] = {k: float(v) for k, v in re.findall(r"(\w+) = ([-0-9.e]+)", m.group(2))}
    return table


# The game's push button draws its normal, pushed, hover and disabled
# pictures from one column: the normal picture's cell and the three cells
# below it, each one normal cell height further down.
BUTTON_PICTURES = ("normal", "pushed", "hover", "disabled")
BUTTON_NORMAL_PART = "4096"


def check_button_rows(rep, root, script, name, own):
    tex = [c[1] for c in own if c[0] == "SetTexture"]
    pos = [c for c in own if c[0] == "SetUVPos" and c[3] == "0"]
    size = [c for c in own if c[0] == "SetUVSize" and c[3] == BUTTON_NORMAL_PART]
    if not tex or not pos or not size:
        return
    areas = sprite_table(root).get(tex[-1], {})
    u, v = float(pos[-1][1]), float(pos[-1][2])
    uw, vh = float(size[-1][1]), float(size[-1][2])
    eps = 1e-6
    home = [(n, a) for n, a in sorted(areas.items())
            if a["u"] - eps <= u and u + uw <= a["u"] + a["w"] + eps
            and a["v"] - eps <= v and v + vh <= a["v"] + a["h"] + eps]
    if not home:
        rep.fail(script, "button %s: its picture is no sprite area of %s" % (name, tex[-1]))
        return
    area, a = home[0]
    for i, picture in enumerate(BUTTON_PICTURES):
        if v - i * vh < a["v"] - eps:
            rep.fail(script, "button %s draws its %s picture from below the sprite %s:%s (%d rows, the button "
                     "reads %d)" % (name, picture, tex[-1], area, int(a.get("rows", 1)), len(BUTTON_PICTURES)))
            break


def check_animations(rep, script, made, set_calls, tilesets):
    """An animation control plays its whole texture as a grid of frames: the
    texture must be one made for that, cut the same way."""
    for name, cls in sorted(made.items()):
        if not is_a(cls, "cAnimationCtrl"):
            continue
        own = set_calls.get(name, [])
        tex = [c[1] for c in own if c[0] == "SetTexture"]
        grid = [c for c in own if c[0] == "SetTileset"]
        if not tex or tex[-1] not in tilesets:
            rep.fail(script, "animation %s must show a texture made as a frame grid" % name)
        elif not grid or [int(float(grid[-1][1])), int(float(grid[-1][2]))] != tilesets[tex[-1]]:
            rep.fail(script, "animation %s must play %s as %d x %d frames (SetTileset)"
                     % ((name, tex[-1]) + tuple(tilesets[tex[-1]])))


# Texts the screens' code puts into labels, by the state of play: (window,
# control) -> the locale texts it chooses from, NAME for the player's name
# (formatted into the control's own text where the screen formats it with
# the name), or (NAME, locale texts) for texts formatted with the name.
# Besides labels: the name field, which shows the name as it is typed, and
# the profile list, whose rows are the players' names.
NAME = "name"
STATE_TEXTS = {
    ("main", "lbProfile"): NAME,
    ("profile_add", "name"): NAME,
    ("profile_select", "lstProfile"): NAME,
    ("island", "profile"): NAME,
    ("island", "rate"): ["Rate0", "Rate1", "Rate2", "Rate3", "Rate4"],
    ("island", "island_rate"): ["IslandRate0", "IslandRate1", "IslandRate2", "IslandRate3", "IslandRate4"],
    # The message box's notices and questions about a player, with the name.
    ("messagebox", "text"): (NAME, ["ConfirmDeletePlayer", "ErrorPlayerRefused", "ErrorPlayerDamaged",
                                    "ErrorPlayerRestored", "ErrorDeletePlayer", "ErrorSettingsLost"]),
}
# The room a list row keeps between its edge and its text.
LIST_TEXT_PADDING = 8
# The field a name is typed into: its length limit is the longest name.
NAME_FIELD = ("profile_add", "name")


def font_metrics(root, manifest):
    """{font: (spacing, line height, {byte: (width, advance)})} of the pack's
    fonts, read from their scripts."""
    out = {}
    for row in manifest["fonts"]:
        script = os.path.join(root, row["script"]) if row.get("script") else \
            os.path.join(root, "font", row["name"] + ".lua")
        try:
            calls = record(script)
        except RuntimeError:
            continue
        spacing = next((float(c[1]) for c in calls if c[0] == "transform"), 0.0)
        height = next((float(c[4]) for c in calls if c[0] == "init"), 0.0)
        glyphs = {int(c[1]): (float(c[2]), float(c[8])) for c in calls if c[0] == "char"}
        out[row["name"]] = (spacing, height, glyphs)
    return out


def text_width(font, text):
    """The width the engine measures a one-line text at: every advance and
    the spacing but the last glyph's, which counts by its own width."""
    spacing, _, glyphs = font
    data = text.encode("latin-1", "replace")
    if not data:
        return 0.0
    return sum(glyphs.get(b, (0.0, 0.0))[1] + spacing for b in data[:-1]) + glyphs.get(data[-1], (0.0, 0.0))[0]


def widest_name(font, length):
    """A name of the longest length of the font's widest glyph, as bytes
    decoded one to one."""
    _, _, glyphs = font
    printable = [b for b in glyphs if 0x20 <= b <= 0xFF]
    widest = max(printable, key=lambda b: (glyphs[b][1], glyphs[b][0]))
    return bytes([widest] * length).decode("latin-1")


def wrap_lines(font, text, width):
    """The widths of the lines a text box wraps the text to, every line the
    text needs (the box shows as many as its height holds): words end at
    spaces and line breaks, and a word goes to a new line when the line
    with it would be as wide as the box; a word wider than the box stays
    whole."""
    spacing, _, glyphs = font
    space = glyphs.get(0x20, (0.0, 0.0))[1] + spacing
    widths = [0.0]
    empty = [True]
    word = 0.0
    data = text.encode("latin-1", "replace")
    if data and data[-1:] not in (b" ", b"\n"):
        data += b" "
    for b in data:
        if b not in (0x20, 0x0A):
            word += glyphs.get(b, (0.0, 0.0))[1] + spacing
            continue
        separator = 0.0 if empty[-1] else space
        if widths[-1] + word + separator >= width:
            widths.append(word)
            empty.append(False)
        else:
            widths[-1] += separator + word
            empty[-1] = False
        if b == 0x0A:
            widths.append(0.0)
            empty.append(True)
        word = 0.0
    # A line is drawn one spacing narrower than its advances.
    return [max(0.0, w - spacing) if not e else 0.0 for w, e in zip(widths, empty)]


def text_area(cls, own):
    """(width, height, what it is) that a control gives one line of its text:
    a label's size, a text list's rows less the room the row keeps before
    its text, a field's size within its frame's rim; None for a control
    that shows no such text."""
    def size(flags):
        found = [c for c in own if c[0] == "SetSize" and c[3] == flags]
        return (float(found[-1][1]), float(found[-1][2])) if found else None
    if is_a(cls, "cTextBoxSysCtrl"):
        found = size("0")
        return found + ("text box",) if found else None
    if is_a(cls, "cLabelCtrl"):
        found = size("0")
        return found + ("label",) if found else None
    if is_a(cls, "cListSysCtrl"):
        found = size("8")
        return (found[0] - LIST_TEXT_PADDING, found[1], "row") if found else None
    if is_a(cls, "cEditSysCtrl"):
        whole, rim = size("0"), size("2") or (0.0, 0.0)
        return (whole[0] - 2 * rim[0], whole[1] - 2 * rim[1], "field") if whole else None
    return None


def check_label_texts(rep, root, manifest, seen):
    """Every one-line text a label, a list row or a field shows fits it: the
    script's own text and each text the screen's code chooses by the state
    of play, measured with the pack's fonts."""
    metrics = font_metrics(root, manifest)
    try:
        calls = record(os.path.join(root, "conf", "locale.lua"))
    except RuntimeError:
        calls = []
    locale = {c[2]: bytes.fromhex(c[3]).decode("latin-1") for c in calls if c[0] == "set" and c[1] == "locale"}
    name_length = 0
    if NAME_FIELD[0] in seen:
        limits = [c[1] for c in seen[NAME_FIELD[0]][2].get(NAME_FIELD[1], []) if c[0] == "SetMaxLength"]
        name_length = int(float(limits[-1])) if limits else 0
    for window, (script, made, set_calls, texts) in sorted(seen.items()):
        for name, cls in sorted(made.items()):
            own = set_calls.get(name, [])
            area = text_area(cls, own)
            fonts = [c[1] for c in own if c[0] == "SetFontPrt"]
            if not area or not fonts or fonts[-1] not in metrics:
                continue
            font = metrics[fonts[-1]]
            w, h, holder = area
            # (text, how the fault names it)
            shown = []
            # The recorder escapes line breaks, tabs and backslashes.
            own_text = re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)),
                              texts.get(name, ""))
            if own_text.strip() and (window, name) not in TEMPLATES:
                shown.append((own_text, '"%s"' % texts[name]))
            chosen = STATE_TEXTS.get((window, name), [])
            if chosen == NAME:
                if name_length:
                    player = widest_name(font, name_length)
                    what = "a name of %d times byte 0x%02X" % (name_length, ord(player[0]))
                    if TEMPLATES.get((window, name)) == ["%s"]:
                        shown.append((DIRECTIVE.sub(lambda m: player, own_text, count=1),
                                      '"%s" with %s' % (texts[name], what)))
                    else:
                        shown.append((player, what))
            elif isinstance(chosen, tuple):
                if name_length:
                    player = widest_name(font, name_length)
                    shown += [(DIRECTIVE.sub(lambda m: player, locale[k], count=1),
                               "%s with a name of %d times byte 0x%02X" % (k, name_length, ord(player[0])))
                              for k in chosen[1] if k in locale]
            else:
                shown += [(locale[k], '"%s"' % locale[k]) for k in chosen if k in locale]
            for text, what in shown:
                if holder == "text box":
                    lines = wrap_lines(font, text, w)
                    widest = max(lines) if lines else 0.0
                    if widest > w or len(lines) * font[1] > h:
                        rep.fail(script, "the text of %s, %s, wraps to %d lines, the widest %g px in %s, "
                                 "its text box %g x %g" % (name, what, len(lines), widest, fonts[-1], w, h))
                    continue
                if "\n" in text:
                    continue
                width = text_width(font, text)
                if holder == "field":
                    # The caret, an underscore, blinks right after the text.
                    width += font[2].get(ord("_"), (0.0, 0.0))[0]
                if width > w or font[1] > h:
                    rep.fail(script, "the text of %s, %s, is %g x %g px in %s, its %s %g x %g"
                             % (name, what, width, font[1], fonts[-1], holder, w, h))


def check_windows(rep, root, manifest):
    textures = {t["name"]: {a["name"] for a in t.get("areas", [])} for t in manifest["textures"]}
    for f in manifest["fonts"]:
        textures.setdefault(f["texture"], set())
    fonts = {f["name"] for f in manifest["fonts"]}
    tilesets = {t["name"]: t["tileset"] for t in manifest["textures"] if t.get("tileset")}
    placed, seen = {}, {}
    for row in manifest["windows"]:
        placed[row["name"]] = check_window(rep, root, row, textures, fonts, tilesets, seen) or []
    check_label_texts(rep, root, manifest, seen)
    # The comics window's buttons lie over every page: over no picture.
    for row in manifest["windows"]:
        if not row.get("comic_page"):
            continue
        for name, (x, y, w, h) in placed.get("comics", []):
            for _, (px, py, pw, ph) in placed[row["name"]]:
                if x < px + pw and px < x + w and y < py + ph and py < y + h:
                    rep.fail(os.path.join(root, "gui", "comics.lua"),
                             "control %s covers a picture of %s" % (name, row["name"]))
                    break


# Settings -------------------------------------------------------------------

def run_settings(root, app, mode):
    """Runs conf/system.lua under the stand-ins; returns the state it ends in
    as a dict, or raises RuntimeError with Lua's message."""
    r = subprocess.run([LUA, os.path.join(HERE, "settings.lua"), root, app, mode], capture_output=True, text=True)
    if r.returncode:
        raise RuntimeError(r.stderr.strip() or "failed")
    return dict(line.split("\t", 1) for line in r.stdout.splitlines() if "\t" in line)


# Files that must leave every value at its default: one that does not run,
# and one whose values all fail their checks.
DAMAGED_SETTINGS = {
    "truncated": None,
    "out of range": 'settings = { windowed = "yes", width = 1000, height = 700, gamma = 9, sound = 2, music = -1, '
                    'mouse_speed = "fast", render_info = 0.5, cheat_mode = {}, player = 5, player_counter = -3 }\n',
}


def check_settings(rep, root):
    script = os.path.join(root, "conf", "system.lua")
    app = tempfile.mkdtemp(prefix="pack-settings-")
    try:
        defaults = run_settings(root, app, "load")
        written = run_settings(root, app, "write")
        path = os.path.join(app, "conf", "settings.lua")
        if defaults.pop("first_run_display") != "1":
            rep.fail(script, "a first run (no settings.lua) must ask for a 1024 x 768 window")
        if not os.path.exists(path):
            rep.fail(script, "WriteSettings wrote no settings.lua")
            return
        if os.path.exists(path + ".tmp"):
            rep.fail(script, "WriteSettings left its temporary file behind")
        read = run_settings(root, app, "load")
        if read.pop("first_run_display") != "0":
            rep.fail(script, "with a settings.lua present, no first-run window must be asked for")
        for key in sorted(written):
            if key not in ("display_calls", "first_run_display") and read.get(key) != written[key]:
                rep.fail(script, "settings value %s reads back as %s, was written as %s" % (key, read.get(key), written[key]))
        with open(path, "rb") as f:
            good = f.read()
        for what, text in sorted(DAMAGED_SETTINGS.items()):
            with open(path, "wb") as f:
                f.write(good[:len(good) // 2] if text is None else text.encode())
            got = run_settings(root, app, "load")
            got.pop("first_run_display")
            if got != defaults:
                diff = sorted(k for k in got if got[k] != defaults.get(k))
                rep.fail(script, "a %s settings file changes %s instead of keeping the defaults" % (what, ", ".join(diff)))
    except RuntimeError as e:
        rep.fail(script, "script fails: %s" % e)
    finally:
        shutil.rmtree(app, ignore_errors=True)


# Lint -----------------------------------------------------------------------

def lint(rep, root):
    for path in sorted(glob.glob(os.path.join(root, "**", "*.lua"), recursive=True)
                       + glob.glob(os.path.join(root, "**", "*.tex"), recursive=True)):
        r = subprocess.run([LUAC, "-p", path], capture_output=True, text=True)
        if r.returncode:
            rep.fail(path, "not valid Lua 5.2: %s" % r.stderr.strip())


def check(root, manifest):
    rep = Report(root)
    for row in manifest["textures"]:
        if "font" in row:
            continue
        base = os.path.join(root, "texture", row.get("folder") or "", row["name"])
        png = base + "." + row["format"]
        if not os.path.exists(png):
            rep.fail(png, "texture %s missing" % row["name"])
            continue
        with Image.open(png) as img:
            w, h = img.size
        if not (is_pow2(w) and is_pow2(h)):
            rep.fail(png, "size %dx%d is not a power of two" % (w, h))
        if row.get("size") and [w, h] != row["size"]:
            rep.fail(png, "size %dx%d, the manifest says %dx%d" % (w, h, row["size"][0], row["size"][1]))
        if row.get("areas"):
            # System textures load before the game's classes: their areas
            # script is run by the start-up script, not beside the picture.
            areas = base + ("_areas.lua" if row.get("folder") == "system" else ".tex")
            if row.get("folder") == "system" and os.path.exists(base + ".tex"):
                rep.fail(base + ".tex", "a system texture's .tex would run before cTextureInfo exists")
            if not os.path.exists(areas):
                rep.fail(areas, "sprite areas of %s missing" % row["name"])
            else:
                nodes = check_tex(rep, areas, png, row)
                check_counts(rep, areas, row, nodes)
        check_whole(rep, png, row)
    check_pages(rep, root, manifest)
    check_ripe(rep, root, manifest)
    for row in manifest["fonts"]:
        if row.get("script"):
            check_font(rep, os.path.join(root, row["script"]),
                       os.path.join(root, "texture", "system", row["texture"] + ".png"), row["name"], row["texture"],
                       row.get("monospaced", False))
        else:
            base = os.path.join(root, "font", row["name"])
            if not os.path.exists(base + ".png") or not os.path.exists(base + ".lua"):
                rep.fail(base, "font %s missing" % row["name"])
                continue
            check_font(rep, base + ".lua", base + ".png", row["name"], row["texture"])
    for row in manifest["sounds"]:
        path = os.path.join(root, "sound", row["name"] + ".wav")
        if not os.path.exists(path):
            rep.fail(path, "sound %s missing" % row["name"])
        else:
            check_sound(rep, path, row.get("loop", False))
    for row in manifest["musics"]:
        path = os.path.join(root, "music", row["name"] + ".mod")
        if not os.path.exists(path):
            rep.fail(path, "music %s missing" % row["name"])
        else:
            check_music(rep, path)
    check_loading(rep, root, manifest)
    check_locale(rep, root, manifest["locale"])
    check_windows(rep, root, manifest)
    check_settings(rep, root)
    return rep.faults


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 1:
        print(__doc__)
        return 2
    root = os.path.abspath(args[0])
    if "--lint" in sys.argv:
        rep = Report(root)
        lint(rep, root)
        faults = rep.faults
    else:
        with open(MANIFEST) as f:
            faults = check(root, json.load(f))
    for line in faults:
        print(line)
    print("%s: %d fault(s)" % (root, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
