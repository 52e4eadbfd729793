#!/usr/bin/python3
"""Generates the data pack from the manifest.

usage: pack.py --out DATA_FOLDER [--jobs N] [--preview FOLDER]

Writes textures, fonts, sounds, musics, the generated scripts
(conf/loading.lua, conf/sys_font.lua, gui/sprites.lua) and the island's
files (conf/island.pts, conf/island.dat); removes files of the wholly
generated folders that this run did not make. The output depends on nothing
but these sources and Debian's fonts: same inputs, same bytes.

With --preview, also writes a contact sheet per sprite sheet and the
island's preview into that folder, for a person to look at (not part of the
pack)."""
import argparse
import json
import os
import sys
import time
from multiprocessing import Pool

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKS = os.path.join(os.path.dirname(os.path.dirname(HERE)), "tests", "pack")
sys.path.insert(0, HERE)

from packlib import atlas, fonts, luaout  # noqa: E402
from packlib.output import Output, jpg_bytes, png_bytes  # noqa: E402

# Folders the pack owns whole; conf/ and gui/ also hold hand-written files.
GENERATED_FOLDERS = ["texture", "font", "sound", "music", "licenses"]
GENERATED_FILES = ["conf/loading.lua", "conf/sys_font.lua", "gui/sprites.lua", "conf/island.pts", "conf/island.dat"]


def load_manifest():
    with open(os.path.join(HERE, "manifest.json")) as f:
        return json.load(f)


def areas_script_path(row):
    """The sprite areas of a texture. The shell loads its system textures
    before the game's Lua classes exist, so a ".tex" beside them could not
    run; their areas go to a script the start-up script runs instead."""
    if row.get("folder") == "system":
        return texture_path(row) + "_areas.lua"
    return texture_path(row) + ".tex"


def texture_path(row):
    folder = row.get("folder") or ""
    return "texture/" + (folder + "/" if folder else "") + row["name"]


# Each task runs in a worker and returns (files, sheets): files a list of
# (relative path, bytes), sheets a list of (texture, areas, size) for the
# sprite table. Areas travel without their pictures.

def task_sound(row):
    import gen_sounds
    return [("sound/%s.wav" % row["name"], gen_sounds.make(row["name"], row.get("loop", False)))], []


def task_music(row):
    import gen_music
    return [("music/%s.mod" % row["name"], gen_music.make(row["name"]))], []


def task_font(row, font_folder):
    # The header font sets prices under the toolbars' tools, 67 px apart:
    # condensed, so "$100" beside "$200" stays two prices.
    header = row["name"] == "header24x24"
    f = fonts.BitmapFont(row["name"], row["texture"], os.path.join(font_folder, row["file"]), row["px"],
                         monospaced=row.get("monospaced", False),
                         outline=1 if header else 0, condense=0.85 if header else 1.0)
    picture = png_bytes(f.render())
    if row.get("script"):
        return [("texture/system/%s.png" % row["texture"], picture), (row["script"], f.script())], []
    return [("font/%s.png" % row["name"], picture), ("font/%s.lua" % row["name"], f.script())], []


def task_texture(row, font_folder):
    import gen_shell
    name = row["name"]
    path = texture_path(row)
    if name in ("gui_console0", "gui_console1"):
        img = gen_shell.console_backgrounds()[0 if name.endswith("0") else 1]
    elif name == "gui_loading":
        img = gen_shell.loading_backdrop(trough=True)
    elif name == "gui_loading_progress":
        img = gen_shell.loading_progress()
    elif name == "splash_engine":
        img = gen_shell.splash_engine(os.path.join(font_folder, "DejaVuSans-Bold.ttf"))
    elif name == "splash_title":
        img = gen_shell.splash_title(os.path.join(font_folder, "DejaVuSans-Bold.ttf"))
    elif name == "cursor_pointer":
        img = gen_shell.cursor()
    elif name == "cursor_hand":
        img = gen_shell.cursor_hand()
    elif name.startswith("icon_"):
        img = gen_shell.icon(name, os.path.join(font_folder, "DejaVuSans-Bold.ttf"))
    elif name == "gui_system":
        areas = gen_shell.gui_system(row)
        size = atlas.pack(areas)
        sheet = atlas.render(areas, size)
        for a in areas:
            a.frames = [None] * len(a.frames)
        return [(path + ".png", png_bytes(sheet)),
                (areas_script_path(row), atlas.tex_script(name, areas, size))], [(name, areas, size)]
    else:
        raise KeyError("no generator for texture " + name)
    data = jpg_bytes(img) if row["format"] == "jpg" else png_bytes(img)
    return [(path + "." + row["format"], data)], []


def sheet_files(name, path, areas, preview):
    """Packs a sheet: its picture and ".tex"; the areas travel back without
    their pictures."""
    size = atlas.pack(areas)
    sheet = atlas.render(areas, size)
    if preview:
        contact_sheet(name, areas).save(os.path.join(preview, name + "_contact.png"))
    for a in areas:
        a.frames = [None] * len(a.frames)
    return [(path + ".png", png_bytes(sheet)), (path + ".tex", atlas.tex_script(name, areas, size))], \
        [(name, areas, size)]


def contact_sheet(name, areas):
    """Every area with its name and every frame, on a checkerboard."""
    from PIL import Image, ImageDraw
    rows = []
    for a in areas:
        scale = min(1.0, 1024.0 / max(1, a.cell[0] * len(a.frames)))
        fw, fh = max(1, int(a.cell[0] * scale)), max(1, int(a.cell[1] * scale))
        rows.append((a, scale, fw, fh))
    width = max(260, max(14 + (fw + 6) * len(a.frames) for a, _, fw, _ in rows))
    height = sum(fh + 22 for _, _, _, fh in rows) + 8
    out = Image.new("RGBA", (width, height), (200, 200, 200, 255))
    d = ImageDraw.Draw(out)
    for y in range(0, height, 16):
        for x in range((y // 16) % 2 * 16, width, 32):
            d.rectangle((x, y, x + 15, y + 15), fill=(230, 230, 230, 255))
    y = 4
    for a, scale, fw, fh in rows:
        d.text((6, y), "%s: %s, %d frame(s) of %dx%d" % (name, a.name, len(a.frames), a.cell[0], a.cell[1]),
               fill=(0, 0, 0, 255))
        for k, f in enumerate(a.frames):
            img = f if scale == 1.0 else f.resize((fw, fh))
            out.alpha_composite(img, (8 + k * (fw + 6), y + 16))
        y += fh + 22
    return out


def task_world(row, preview):
    import gen_world
    name = row["name"]
    path = texture_path(row)
    if name == "island02_1":
        # The waterfall's second page shares the first page's layout.
        areas = gen_world.island02_sheet(1)
        size = atlas.pack(areas)
        return [(path + ".png", png_bytes(atlas.render(areas, size)))], []
    if row.get("areas"):
        return sheet_files(name, path, gen_world.sheet(name), preview)
    return [(path + ".png", png_bytes(gen_world.whole(name)))], []


def task_island(preview):
    """The island's two pictures (and its preview): their trees keep clear
    of the buildings, whose sizes come from the sheets' drawing code."""
    import gen_island
    import gen_world
    sizes = {b: gen_world.size_of(b) for b in gen_world.BUILDINGS}
    img = gen_island.picture(sizes)
    top, bottom = gen_island.halves(img)
    if preview:
        gen_island.preview(img, sizes).save(os.path.join(preview, "island_preview.png"))
    return [("texture/island00_0.png", png_bytes(top)), ("texture/island00_1.png", png_bytes(bottom))], []


def run_task(task):
    kind, row, font_folder, preview = task
    if kind == "sound":
        return task_sound(row)
    if kind == "music":
        return task_music(row)
    if kind == "font":
        return task_font(row, font_folder)
    if kind == "island":
        return task_island(preview)
    if kind == "world":
        return task_world(row, preview)
    return task_texture(row, font_folder)


# The sprite each building of the catalogue is drawn with (texture, area).
BUILDING_SPRITES = {"statue00": ("peacock02", "statue00"), "factory03_1": ("houses04", "factory03")}


def building_sizes(sheets):
    """A building's size on the island: its sprite's first frame, read from
    the sheets this run made."""
    import gen_world
    by_sheet = {name: {a.name: a.cell for a in areas} for name, areas, _ in sheets}
    sizes = {}
    for sheet, entries in gen_world.HOUSE_SHEETS.items():
        for e in entries:
            building, area = e if isinstance(e, tuple) else (e, e)
            sizes[building] = by_sheet[sheet][area]
    for building, (sheet, area) in BUILDING_SPRITES.items():
        sizes[building] = by_sheet[sheet][area]
    return sizes


def island_files(sheets):
    """conf/island.pts and conf/island.dat, checked by the island's own
    validator before they are written."""
    import gen_island
    import gen_world
    sizes = building_sizes(sheets)
    for b, size in sizes.items():
        if tuple(size) != tuple(gen_world.size_of(b)):
            raise ValueError("building %s: sheet frame %s, the island picture assumed %s" % (b, size, gen_world.size_of(b)))
    pts, dat = gen_island.pts_bytes(), gen_island.dat_bytes(sizes)
    sys.path.insert(0, CHECKS)
    import check_island
    faults = check_island.validate(pts, dat, sizes)
    if faults:
        raise ValueError("the island's files break their rules:\n" + "\n".join(faults))
    return pts, dat


# The slowest tasks, started first so the pool finishes together.
SLOW = ("island", "music", "back", "comic01", "comic00", "icons01", "comic02")


def generate(out_dir, jobs, preview=None):
    manifest = load_manifest()
    font_folder = fonts.font_dir()
    if preview:
        os.makedirs(preview, exist_ok=True)
    # The font textures come with their fonts; the two island halves from
    # one island task.
    shell = [r for r in manifest["textures"] if r["made_by"] == "gen_shell"]
    world = [r for r in manifest["textures"] if r["made_by"] == "gen_world"]
    tasks = ([("texture", r, font_folder, preview) for r in shell]
             + [("world", r, font_folder, preview) for r in world]
             + [("island", None, font_folder, preview)]
             + [("font", r, font_folder, preview) for r in manifest["fonts"]]
             + [("sound", r, font_folder, preview) for r in manifest["sounds"]]
             + [("music", r, font_folder, preview) for r in manifest["musics"]])

    def slowness(i):
        kind, row = tasks[i][0], tasks[i][1]
        key = kind if kind in ("island", "music") else (row or {}).get("name")
        return (SLOW.index(key) if key in SLOW else len(SLOW), kind not in ("texture", "world"), i)
    order = sorted(range(len(tasks)), key=slowness)
    if jobs > 1:
        with Pool(jobs) as pool:
            done = pool.map(run_task, [tasks[i] for i in order], chunksize=1)
    else:
        done = [run_task(tasks[i]) for i in order]
    results = [None] * len(tasks)
    for i, r in zip(order, done):
        results[i] = r

    out = Output(out_dir)
    sheets = []
    for files, task_sheets in results:
        for rel, data in files:
            if isinstance(data, str):
                out.write_text(rel, data)
            else:
                out.write_bytes(rel, data)
        sheets.extend(task_sheets)

    out.write_text("gui/sprites.lua", luaout.sprites_script(sheets))
    pts, dat = island_files(sheets)
    out.write_bytes("conf/island.pts", pts)
    out.write_bytes("conf/island.dat", dat)
    # Rows whose files this run did not make (the world's, until their
    # generators exist) get no job: a job for a missing file warns at start.
    made = {os.path.splitext(rel)[0] for rel in out.written}
    out.write_text("conf/loading.lua", luaout.loading_script(
        [texture_path(r) for r in manifest["textures"]
         if r.get("loaded_by") == "loading" and texture_path(r) in made],
        ["font/" + r["name"] for r in manifest["fonts"] if r.get("loaded_by") == "loading"],
        [("sound/%s.wav" % r["name"], r["plays"]) for r in manifest["sounds"]],
        ["music/%s.mod" % r["name"] for r in manifest["musics"]]))
    with open(fonts.licence_path(), "rb") as f:
        out.write_bytes("licenses/fonts-dejavu-core.txt", f.read())
    removed = out.remove_stale(GENERATED_FOLDERS)
    return out, removed


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--jobs", type=int, default=min(8, os.cpu_count() or 1))
    ap.add_argument("--preview")
    args = ap.parse_args()
    start = time.monotonic()
    out, removed = generate(args.out, args.jobs, args.preview)
    for rel in removed:
        print("pack: removed stale %s" % rel)
    size = sum(os.path.getsize(out.path(rel)) for rel in out.written)
    print("pack: %d files, %.1f MiB in %s, generated in %.1f s"
          % (len(out.written), size / 1048576.0, args.out, time.monotonic() - start))


if __name__ == "__main__":
    main()
