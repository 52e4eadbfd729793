#!/usr/bin/python3
"""The checks of the game world's part of the pack pass on the built pack
and fail on broken copies: the sheets through the pack checks, the island's
files and the bed layouts through their validators, and the island
generator refuses to write files its validator rejects.

usage: check_world_test.py DATA_FOLDER"""
import json
import os
import re
import shutil
import struct
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(REPO, "tools", "pack"))
import check_holes  # noqa: E402
import check_island  # noqa: E402
import check_pack  # noqa: E402

BUILT = None


def manifest():
    with open(check_pack.MANIFEST) as f:
        return json.load(f)


class Copy(unittest.TestCase):
    """A private copy of the built pack's files, to break."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="pack-world-")
        self.root = os.path.join(self.tmp, "data")
        shutil.copytree(BUILT, self.root)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def path(self, rel):
        return os.path.join(self.root, rel)

    def read(self, rel):
        with open(self.path(rel), "rb") as f:
            return f.read()

    def write(self, rel, data):
        with open(self.path(rel), "wb") as f:
            f.write(data)

    def edit_text(self, rel, fn):
        self.write(rel, fn(self.read(rel).decode("ascii")).encode("ascii"))

    def assertFault(self, pattern, faults):
        self.assertTrue(any(re.search(pattern, f) for f in faults),
                        "no fault matching %r among:\n%s" % (pattern, "\n".join(faults) or "(none)"))


def set_node(text, area, fn):
    """Rewrites one AddNode line of a ".tex": fn(u, v, w, h, columns, rows)
    gives the new values."""
    pat = re.compile(r'AddNode\("%s", rectf\(([^,]+), ([^,]+), ([^,]+), ([^)]+)\), (\d+), (\d+),' % area)

    def sub(m):
        u, v, w, h = (float(m.group(i)) for i in range(1, 5))
        u, v, w, h, c, r = fn(u, v, w, h, int(m.group(5)), int(m.group(6)))
        return 'AddNode("%s", rectf(%r, %r, %r, %r), %d, %d,' % (area, u, v, w, h, c, r)
    out, n = pat.subn(sub, text)
    assert n == 1, area
    return out


class LoadingWindow(Copy):
    def test_a_label_on_the_loading_window_is_caught(self):
        self.edit_text("gui/game_loading.lua", lambda t: t.replace(
            "\nend\n", '\n  cLabelSysCtrl(window, "label"):SetFontPrt("system")\nend\n'))
        rep = check_pack.Report(self.root)
        check_pack.check_windows(rep, self.root, manifest())
        self.assertFault(r"gui/game_loading\.lua: control label must not be there", rep.faults)


class HintWindow(Copy):
    def test_an_arrow_on_a_skin_area_or_without_its_grid_is_caught(self):
        self.edit_text("gui/hint.lua", lambda t: t.replace("arrow:SetTileset(4, 1, 8)", "arrow:SetTileset(2, 2, 8)"))
        rep = check_pack.Report(self.root)
        check_pack.check_windows(rep, self.root, manifest())
        self.assertFault(r"gui/hint\.lua: animation arrow must play hint_arrow as 4 x 1 frames", rep.faults)
        self.edit_text("gui/hint.lua", lambda t: t.replace('arrow:SetTexture("hint_arrow")',
                                                           'gui.Picture(arrow, gui.skin, "hint_arrow")'))
        rep = check_pack.Report(self.root)
        check_pack.check_windows(rep, self.root, manifest())
        self.assertFault(r"gui/hint\.lua: animation arrow must show a texture made as a frame grid", rep.faults)


class Sheets(Copy):
    def test_the_built_world_passes(self):
        self.assertEqual(check_pack.check(self.root, manifest()), [])

    def test_a_building_with_six_frames_and_a_missing_sheet_are_caught(self):
        # Six cells where seven were: the building's finished frame and its
        # blueprint are no longer where the code looks.
        self.edit_text("texture/houses00.tex",
                       lambda t: set_node(t, "house02", lambda u, v, w, h, c, r: (u, v, w * 6 / 7, h, 6, r)))
        for ext in ("png", "tex"):
            os.remove(self.path("texture/gard07." + ext))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"houses00\.tex: area house02 has 6 frames, needs 7", faults)
        self.assertFault(r"gard07\.png: texture gard07 missing", faults)
        self.assertFault(r"loading\.lua: texture job \{StaticPath\}/texture/gard07: .* must exist", faults)

    def test_toolbar_states_of_unequal_length_are_caught(self):
        # "push" cut into 9 cells of its top row instead of 10.
        self.edit_text("texture/gui_plants.tex",
                       lambda t: set_node(t, "push", lambda u, v, w, h, c, r: (u, v + h / 2, w * 9 / 10, h / 2, 9, 1)))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"gui_plants\.tex: area push has 9 frames, needs 10", faults)
        self.assertFault(r"gui_plants\.tex: areas normal, highlight, push, disable must have equal frame counts", faults)

    def test_a_sea_tile_with_a_seam_and_an_unequal_waterfall_page_are_caught(self):
        from PIL import Image
        p = self.path("texture/island01.png")
        img = Image.open(p).convert("RGBA")
        px = img.load()
        for y in range(img.size[1]):
            px[0, y] = (255, 0, 0, 255)
        img.save(p)
        p = self.path("texture/island02_1.png")
        Image.open(p).resize((128, 128)).save(p)
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"island01\.tex: area total frame 0 does not join itself when tiled", faults)
        self.assertFault(r"island02_1\.png: size 128x128, the pages of one animation share island02_0's", faults)

    def test_a_dim_highlight_centre_and_an_arrow_cut_at_its_edge_are_caught(self):
        from PIL import Image
        p = self.path("texture/hint_highlight.png")
        img = Image.open(p)
        img.putpixel((32, 32), (0, 0, 0, 120))
        img.save(p)
        p = self.path("texture/hint_arrow.png")
        img = Image.open(p)
        img.putpixel((64, 10), (255, 0, 0, 255))
        img.save(p)
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"hint_highlight\.png: must be clear inside its uv rectangle", faults)
        self.assertFault(r"hint_arrow\.png: frame 1 has no transparent border", faults)

    def test_a_comic_picture_over_empty_page_is_caught(self):
        self.edit_text("gui/common.lua", lambda t: t.replace("c:SetUVPos(col * 0.5 + 16 / 1024, 0.5 - row * 0.5 + 16 / 1024, 0)",
                                                            "c:SetUVPos(col * 0.5 + 16 / 1024, 0.5 - row * 0.5 + 116 / 1024, 0)"))
        rep = check_pack.Report(self.root)
        check_pack.check_windows(rep, self.root, manifest())
        self.assertFault(r"gui/comics00\.lua: comic picture 0: its uv rectangle of comic00 holds no whole picture",
                         rep.faults)


def pts_bytes(areas, links, route, points):
    out = [struct.pack("<I", len(areas))]
    for pts, tris in areas:
        out.append(struct.pack("<I", len(pts)) + b"".join(struct.pack("<ff", *p) for p in pts))
        out.append(struct.pack("<I", len(tris)) + b"".join(struct.pack("<III", *t) for t in tris))
    for seq in (links, route, points):
        out.append(struct.pack("<I", len(seq)) + b"".join(struct.pack("<ff", *p) for p in seq))
    return b"".join(out)


def dat_bytes(records):
    out = [struct.pack("<I", len(records))]
    for name, value, kind, x, y in records:
        out.append(struct.pack("<H", len(name)) + name.encode() + struct.pack("<IIff", value, kind, x, y))
    return b"".join(out)


class Island(Copy):
    def faults(self):
        return check_island.check(self.root)

    def pts(self):
        return [list(x) for x in check_island.read_pts(self.read("conf/island.pts"))]

    def test_the_built_island_passes(self):
        self.assertEqual(self.faults(), [])

    def test_a_level_point_moved_beside_another_of_the_same_building_is_caught(self):
        areas, links, route, points = self.pts()
        # Levels 8 and 10 both make "house01": level 10's point next to
        # level 8's takes over its building and leaves its own unpaired.
        points[10] = (points[8][0], points[8][1] + 20)
        self.write("conf/island.pts", pts_bytes(areas, links, route, points))
        faults = self.faults()
        self.assertFault(r"island\.dat: record \d+ \(house01/\d\): (no level point|level \d+ is already)", faults)
        self.assertFault(r"island\.pts: level points 8 and 10: their click boxes overlap", faults)

    def test_an_odd_link_count_and_a_route_of_one_key_are_caught(self):
        areas, links, route, points = self.pts()
        self.write("conf/island.pts", pts_bytes(areas, links[:-1], route[:1], points))
        faults = self.faults()
        self.assertFault(r"island\.pts: link points: \d+ is odd", faults)
        self.assertFault(r"island\.pts: route: 1 key\(s\), the route needs at least 2", faults)

    def test_the_gathering_point_outside_every_area_is_caught(self):
        areas, links, route, points = self.pts()
        for i, (pts, tris) in enumerate(areas):
            if check_island.inside(check_island.GATHERING, pts):
                areas[i] = ([(x + 400, y) for x, y in pts], tris)
        self.write("conf/island.pts", pts_bytes(areas, links, route, points))
        self.assertFault(r"island\.pts: the gathering point \(290, 1588\) lies in no walk area", self.faults())

    def test_a_factory_of_kind_3_and_a_repeated_island_value_are_caught(self):
        records = check_island.read_dat(self.read("conf/island.dat"))
        records = [(n, v, 3 if n == "factory00" else k, x, y) for n, v, k, x, y in records]
        houses = [i for i, r in enumerate(records) if r[0] == "house01"]
        n, v, k, x, y = records[houses[1]]
        records[houses[1]] = (n, records[houses[0]][1], k, x, y)
        self.write("conf/island.dat", dat_bytes(records))
        faults = self.faults()
        self.assertFault(r"island\.dat: record \d+ \(factory00/0\): kind 3, a factory is 4", faults)
        self.assertFault(r"island\.dat: record \d+ \(house01/0\): the island value is already record \d+'s", faults)

    def test_truncated_and_oversized_counts_are_reported_not_read(self):
        data = self.read("conf/island.pts")
        self.write("conf/island.pts", data[:len(data) // 2])
        self.assertFault(r"island\.pts: .*(runs past the end|ends in the middle)", self.faults())
        self.write("conf/island.pts", struct.pack("<I", 0xFFFFFFF0) + data[4:])
        self.assertFault(r"island\.pts: area count \d+ runs past the end of the file", self.faults())
        self.write("conf/island.pts", data)
        dat = self.read("conf/island.dat")
        self.write("conf/island.dat", dat[:4] + struct.pack("<H", 60000) + dat[6:])
        self.assertFault(r"island\.dat: record 0: name length 60000 runs past the end", self.faults())

    def test_the_generator_refuses_an_island_its_validator_rejects(self):
        import gen_world
        import island_source
        import pack
        sheets = []
        for sheet, entries in gen_world.HOUSE_SHEETS.items():
            areas = [types.SimpleNamespace(name=e[1] if isinstance(e, tuple) else e,
                                           cell=gen_world.size_of(e[0] if isinstance(e, tuple) else e))
                     for e in entries]
            sheets.append((sheet, areas, None))
        sheets.append(("peacock02", [types.SimpleNamespace(name="statue00", cell=gen_world.size_of("statue00"))], None))
        pack.island_files(sheets)  # the real source passes
        saved = island_source.ROUTE
        island_source.ROUTE = saved[:1]
        try:
            with self.assertRaisesRegex(ValueError, "route: 1 key"):
                pack.island_files(sheets)
        finally:
            island_source.ROUTE = saved


class Holes(unittest.TestCase):
    def setUp(self):
        with open(os.path.join(BUILT, "conf", "holes.lvs")) as f:
            self.text = f.read()
        self.blocks = self.text.split("\n;\n")

    def faults(self, blocks):
        return check_holes.check_text("\n;\n".join(blocks))

    def test_the_written_layouts_pass(self):
        self.assertEqual(check_holes.check_text(self.text), [])

    def test_a_bed_on_the_pump_is_caught(self):
        lines = self.blocks[0].split("\n")
        lines[5] = lines[5][:-1] + "0"                # line 6 of the block: row 2
        self.assertFault(r"layout 0, line 6: a bed on cell \(2, 9\), where the pump stands",
                         self.faults([ "\n".join(lines)] + self.blocks[1:]))

    def test_a_layout_that_loses_a_bed_is_caught(self):
        blocks = list(self.blocks)
        blocks[2] = blocks[2].replace("0", "1", 1)
        self.assertFault(r"layout 2 loses the beds \(\d, \d\) of layout 1", self.faults(blocks))

    def test_a_line_of_eleven_cells_and_a_final_separator_are_caught(self):
        blocks = list(self.blocks)
        blocks[1] = blocks[1].replace("\n", ",1\n", 1)
        faults = self.faults(blocks)
        self.assertFault(r"line 10: 11 cells, a row has 10", faults)
        self.assertFault(r"a \";\" after the last layout", check_holes.check_text(self.text.rstrip("\n") + "\n;\n"))

    def test_the_first_line_of_a_block_is_the_top_row(self):
        self.assertEqual([check_holes.grid_row(i) for i in (0, 7)], [7, 0])

    def assertFault(self, pattern, faults):
        self.assertTrue(any(re.search(pattern, f) for f in faults),
                        "no fault matching %r among:\n%s" % (pattern, "\n".join(faults) or "(none)"))


if __name__ == "__main__":
    BUILT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
