#!/usr/bin/python3
"""Generates the data pack from the manifest.

usage: pack.py --out DATA_FOLDER [--jobs N]

Writes textures, fonts, sounds, musics and the generated scripts
(conf/loading.lua, conf/sys_font.lua, gui/sprites.lua); removes files of the
wholly generated folders that this run did not make. The output depends on
nothing but these sources and Debian's fonts: same inputs, same bytes."""
import argparse
import json
import os
import sys
import time
from multiprocessing import Pool

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from packlib import atlas, fonts, luaout  # noqa: E402
from packlib.output import Output, jpg_bytes, png_bytes  # noqa: E402

# Folders the pack owns whole; conf/ and gui/ also hold hand-written files.
GENERATED_FOLDERS = ["texture", "font", "sound", "music", "licenses"]
GENERATED_FILES = ["conf/loading.lua", "conf/sys_font.lua", "gui/sprites.lua"]


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
    f = fonts.BitmapFont(row["name"], row["texture"], os.path.join(font_folder, row["file"]), row["px"],
                         monospaced=row.get("monospaced", False),
                         outline=1 if row["name"] == "header24x24" else 0)
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
        img = gen_shell.loading_backdrop()
    elif name == "gui_loading_progress":
        img = gen_shell.loading_progress()
    elif name == "splash_engine":
        img = gen_shell.splash_engine(os.path.join(font_folder, "DejaVuSans-Bold.ttf"))
    elif name == "splash_title":
        img = gen_shell.splash_title(os.path.join(font_folder, "DejaVuSans-Bold.ttf"))
    elif name == "cursor_pointer":
        img = gen_shell.cursor()
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


def run_task(task):
    kind, row, font_folder = task
    if kind == "sound":
        return task_sound(row)
    if kind == "music":
        return task_music(row)
    if kind == "font":
        return task_font(row, font_folder)
    return task_texture(row, font_folder)


def generate(out_dir, jobs):
    manifest = load_manifest()
    font_folder = fonts.font_dir()
    tasks = ([("texture", r, font_folder) for r in manifest["textures"] if r["part"] == 1 and "font" not in r]
             + [("font", r, font_folder) for r in manifest["fonts"]]
             + [("sound", r, font_folder) for r in manifest["sounds"]]
             + [("music", r, font_folder) for r in manifest["musics"]])
    # Slowest first, so the pool finishes together.
    order = sorted(range(len(tasks)), key=lambda i: (tasks[i][0] != "music", tasks[i][0] != "texture", i))
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
    args = ap.parse_args()
    start = time.monotonic()
    out, removed = generate(args.out, args.jobs)
    for rel in removed:
        print("pack: removed stale %s" % rel)
    print("pack: %d files in %s, generated in %.1f s" % (len(out.written), args.out, time.monotonic() - start))


if __name__ == "__main__":
    main()
