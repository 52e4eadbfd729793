"""Writers of the generated Lua tables: the sprite table that scripts use in
place of asking the engine for uv rectangles, and the loading list."""
from .atlas import lua_number, lua_string, uv_rect


def sprites_script(sheets):
    """sheets: list of (texture name, areas, (W, H)) in the order written.
    Every area of every ".tex" becomes sprites[texture][area] = {u, v, w, h
    (the whole area's uv rectangle), fw, fh (one frame in pixels), frames,
    columns, rows, rate}."""
    lines = ["-- Every sprite area of every texture the pack describes (generated).",
             "-- sprites[texture][area] = { u, v, w, h: uv rectangle of the whole area;",
             "--   fw, fh: pixel size of one frame; frames, columns, rows, rate }",
             "sprites = {}"]
    for name, areas, size in sorted(sheets, key=lambda s: s[0]):
        lines.append("sprites[%s] = {" % lua_string(name))
        for a in areas:
            u, v, w, h = uv_rect(a, size)
            lines.append("  [%s] = { u = %s, v = %s, w = %s, h = %s, fw = %d, fh = %d, frames = %d, columns = %d, rows = %d, rate = %s }," % (
                lua_string(a.name), lua_number(u), lua_number(v), lua_number(w), lua_number(h),
                a.cell[0], a.cell[1], a.columns * a.rows, a.columns, a.rows, lua_number(a.rate)))
        lines.append("}")
    return "\n".join(lines) + "\n"


def loading_script(textures, fonts, sounds, musics):
    """textures, fonts: paths under the data folder without extension;
    sounds: (path with extension, playback maximum); musics: paths with
    extension. Order: textures, fonts, sounds, musics, each as given."""
    lines = ["-- Loading jobs, one per resource the pack made (generated)."]
    for p in textures:
        lines.append('cLoadTexture("{StaticPath}/%s")' % p)
    for p in fonts:
        lines.append('cLoadFont("{StaticPath}/%s")' % p)
    for p, plays in sounds:
        lines.append('cLoadSound("{StaticPath}/%s", false):SetParameters(%d)' % (p, plays))
    for p in musics:
        lines.append('cLoadMusic("{StaticPath}/%s", false)' % p)
    return "\n".join(lines) + "\n"
