#!/usr/bin/python3
"""The pack's checks pass on the built pack and fail on broken copies of it.

usage: check_pack_test.py DATA_FOLDER"""
import json
import os
import re
import shutil
import struct
import sys
import tempfile
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import check_pack  # noqa: E402
import determinism  # noqa: E402

BUILT = None


def manifest():
    with open(check_pack.MANIFEST) as f:
        return json.load(f)


class BrokenCopy(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="pack-check-")
        self.root = os.path.join(self.tmp, "data")
        shutil.copytree(BUILT, self.root)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def path(self, rel):
        return os.path.join(self.root, rel)

    def edit(self, rel, fn):
        with open(self.path(rel), "rb") as f:
            data = f.read()
        with open(self.path(rel), "wb") as f:
            f.write(fn(data))

    def edit_text(self, rel, fn):
        self.edit(rel, lambda d: fn(d.decode("ascii")).encode("ascii"))

    def assertFault(self, pattern, faults=None):
        faults = check_pack.check(self.root, manifest()) if faults is None else faults
        self.assertTrue(any(re.search(pattern, f) for f in faults),
                        "no fault matching %r among:\n%s" % (pattern, "\n".join(faults) or "(none)"))


class BuiltPack(BrokenCopy):
    def test_built_pack_passes_every_check(self):
        self.assertEqual(check_pack.check(self.root, manifest()), [])
        rep = check_pack.Report(self.root)
        check_pack.lint(rep, self.root)
        self.assertEqual(rep.faults, [])


class Sounds(BrokenCopy):
    def samples(self, rel):
        return check_pack.read_wav(self.path(rel))[3]

    def write_samples(self, rel, s):
        pcm = struct.pack("<%dh" % len(s), *s)
        fmt = struct.pack("<HHIIHH", 1, 1, 22050, 44100, 2, 16)
        body = b"WAVEfmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
        with open(self.path(rel), "wb") as f:
            f.write(b"RIFF" + struct.pack("<I", len(body)) + body)

    def test_renamed_sound_is_missing_and_unknown_to_the_loading_list(self):
        os.rename(self.path("sound/bee.wav"), self.path("sound/bees.wav"))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"sound/bee\.wav: sound bee missing", faults)
        self.assertFault(r"loading\.lua: .*bee\.wav", faults)
        self.assertFault(r"no job loads sound/bees\.wav", faults)

    def test_clipping_a_dc_offset_and_clicks_are_caught(self):
        s = self.samples("sound/hint.wav")
        self.write_samples("sound/hint.wav", [max(-32767, min(32767, x * 2)) for x in s])
        s = self.samples("sound/good.wav")
        self.write_samples("sound/good.wav", [min(32767, x + 600) for x in s])
        s = self.samples("sound/bee.wav")
        cut = next(i for i in range(len(s) // 2, len(s)) if abs(s[i]) > 8000)
        self.write_samples("sound/bee.wav", s[:cut + 1])
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"hint\.wav: peak .* above -1 dBFS", faults)
        self.assertFault(r"good\.wav: DC offset", faults)
        self.assertFault(r"good\.wav: begins with a click", faults)
        self.assertFault(r"bee\.wav: ends with a click", faults)

    def test_a_held_loop_with_a_seam_is_caught(self):
        s = self.samples("sound/water.wav")
        self.write_samples("sound/water.wav", s[:-200] + [29000 if s[0] < 0 else -29000] * 200)
        self.assertFault(r"water\.wav: loop seam jumps")

    def test_wrong_format_and_damaged_headers_are_caught(self):
        self.edit("sound/seed.wav", lambda d: d[:22] + struct.pack("<H", 2) + d[24:])
        self.edit("sound/weed.wav", lambda d: d[:len(d) // 2])
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"seed\.wav: must be 16-bit PCM mono 22050 Hz", faults)
        self.assertFault(r"weed\.wav: unreadable WAV", faults)


class Musics(BrokenCopy):
    def test_truncated_module_is_caught(self):
        self.edit("music/music0.mod", lambda d: d[:-100])
        self.assertFault(r"music0\.mod: unreadable module: file holds")

    def test_too_short_a_song_is_caught(self):
        # One order: the song plays one pattern, a few seconds.
        self.edit("music/music1.mod", lambda d: d[:950] + b"\x01" + d[951:])
        self.assertFault(r"music1\.mod: plays .* not one to two minutes")


class Textures(BrokenCopy):
    def test_an_area_with_too_few_frames_is_caught(self):
        self.edit_text("texture/system/gui_system_areas.lua",
                       lambda t: re.sub(r'("button", rectf\([^)]*\)), 1, 4,', r"\1, 1, 2,", t))
        self.assertFault(r"gui_system_areas\.lua: area button has 2 frames, needs 4")

    def test_a_renamed_area_is_caught(self):
        self.edit_text("texture/system/gui_system_areas.lua", lambda t: t.replace('"panel"', '"panels"'))
        self.assertFault(r"gui_system_areas\.lua: area panel missing")

    def test_a_frame_without_its_transparent_border_is_caught(self):
        # Moved 4 px into the picture, the cell's edge runs over drawn pixels.
        width = Image.open(self.path("texture/system/gui_system.png")).size[0]
        self.edit_text("texture/system/gui_system_areas.lua",
                       lambda t: re.sub(r'"frame", rectf\(([0-9.e-]+),',
                                        lambda m: '"frame", rectf(%r,' % (float(m.group(1)) + 4.0 / width), t))
        self.assertFault(r"gui_system_areas\.lua: area frame frame 0 has no transparent border")

    def test_a_sprite_cut_at_its_cell_edge_is_caught(self):
        # A crown drawn above its cell: the packer clears the outer ring,
        # which leaves an opaque straight edge one pixel inside.
        tex = self.path("texture/images00.tex")
        node = next(c for c in check_pack.record(tex) if c[0] == "node" and c[1] == "plant01")
        p = self.path("texture/images00.png")
        img = Image.open(p).convert("RGBA")
        W, H = img.size
        u, v, h = float(node[3]), float(node[4]), float(node[6])
        x0, y0 = round(u * W), round((1 - v - h) * H)
        for x in range(x0 + 20, x0 + 40):
            img.putpixel((x, y0 + 1), (40, 120, 40, 255))
        img.save(p)
        self.assertFault(r"images00\.tex: area plant01 frame 0 is cut at its top edge")

    def test_a_ripe_frame_like_the_one_before_is_caught(self):
        tex = self.path("texture/images00.tex")
        node = next(c for c in check_pack.record(tex) if c[0] == "node" and c[1] == "plant00")
        p = self.path("texture/images00.png")
        img = Image.open(p).convert("RGBA")
        W, H = img.size
        u, v, w, h, cols = float(node[3]), float(node[4]), float(node[5]), float(node[6]), int(node[7])
        x0, y0, fw = round(u * W), round((1 - v - h) * H), round(w * W) // cols
        before = img.crop((x0 + (cols - 2) * fw, y0, x0 + (cols - 1) * fw, y0 + round(h * H)))
        img.paste(before, (x0 + (cols - 1) * fw, y0))
        img.save(p)
        self.assertFault(r"images00\.tex: area plant00: the ripe frame changes 0\.000")

    def test_a_texture_that_is_not_a_power_of_two_is_caught(self):
        p = self.path("texture/icon_info.png")
        Image.open(p).resize((100, 128)).save(p)
        self.assertFault(r"icon_info\.png: size 100x128 is not a power of two")


class Fonts(BrokenCopy):
    def test_glyph_rectangles_counted_from_the_bottom_are_caught(self):
        H = Image.open(self.path("font/text18.png")).size[1]

        def flip(m):
            x, y, w, h = (int(v) for v in m.groups())
            return "recti(%d, %d, %d, %d)" % (x, H - y - h, w, h)
        self.edit_text("font/text18.lua", lambda t: re.sub(r"recti\((\d+), (\d+), (\d+), (\d+)\)", flip, t))
        self.assertFault(r"text18\.lua: glyph \d+ has no ink inside its rectangle")

    def test_a_console_font_with_an_uneven_advance_is_caught(self):
        self.edit_text("conf/sys_font.lua", lambda t: re.sub(r"(Char\(string\.char\(65\).*), (\d+)\)\n",
                                                             r"\1, 99)\n", t))
        self.assertFault(r"sys_font\.lua: a monospaced font with 2 different advances")

    def test_a_missing_glyph_and_a_wrong_texture_size_are_caught(self):
        self.edit_text("conf/sys_font.lua", lambda t: re.sub(r"font:Char\(string\.char\(192\).*\n", "", t))
        self.edit_text("font/title32.lua", lambda t: re.sub(r'Texture\("title32", (\d+)', r'Texture("title32", 1\1', t))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"sys_font\.lua: no glyph for the bytes 0xC0", faults)
        self.assertFault(r"title32\.lua: Texture.* does not name title32 at its size", faults)


class LoadingList(BrokenCopy):
    def test_a_sound_job_without_its_extension_is_caught(self):
        self.edit_text("conf/loading.lua", lambda t: t.replace("sound/click.wav", "sound/click"))
        self.assertFault(r"loading\.lua: sound job \{StaticPath\}/sound/click: needs its extension")

    def test_a_texture_job_twice_and_an_unknown_sample_are_caught(self):
        shutil.copy(self.path("sound/click.wav"), self.path("sound/clack.wav"))
        self.edit_text("conf/loading.lua", lambda t: t + 'cLoadTexture("{StaticPath}/texture/icon_head")\n'
                       'cLoadSound("{StaticPath}/sound/clack.wav", false)\n')
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"texture/icon_head\.png is loaded 2 times", faults)
        self.assertFault(r"sounds must be exactly the manifest's 34 \(extra \['clack'\]", faults)

    def test_a_script_error_is_reported_not_raised(self):
        self.edit_text("conf/loading.lua", lambda t: t + "cLoadStream('x')\n")
        self.assertFault(r"loading\.lua: script fails: .*unknown global cLoadStream")


class Texts(BrokenCopy):
    def test_a_typo_an_unset_text_and_a_directive_too_many_are_caught(self):
        self.edit_text("conf/locale.lua", lambda t: t.replace("locale.Wheat =", "locale.Weat =")
                       .replace('"Olive oil"', '"Olive oil %s"')
                       .replace('"+%i people"', '"+%s people"'))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"locale\.lua: line \d+: locale\.Weat is not a text the game has", faults)
        self.assertFault(r"locale\.lua: locale\.Wheat is never set", faults)
        self.assertFault(r"line \d+: OliveOil holds the directives \['%s'\], its caller passes \[\]", faults)
        self.assertFault(r"IncPeople holds the directives \['%s'\], its caller passes \['%i'\]", faults)

    def test_a_fourth_line_and_a_byte_outside_ascii_are_caught(self):
        self.edit_text("conf/locale.lua", lambda t: t.replace('"Can\'t delete\\nthe only\\nplayer!"',
                                                              '"Can\'t\\ndelete\\nthe only\\nplayer!"')
                       .replace('"Honey"', '"Hon\\233y"'))
        faults = check_pack.check(self.root, manifest())
        self.assertFault(r"ErrorOnePlayer has more than three lines", faults)
        self.assertFault(r"Honey: only printable ASCII", faults)


class Windows(BrokenCopy):
    def faults(self):
        rep = check_pack.Report(self.root)
        check_pack.check_windows(rep, self.root, manifest())
        return rep.faults

    def test_a_caption_on_a_picture_of_its_own_colour_is_caught(self):
        # The round close button's white cross under the light "Next".
        self.edit_text("gui/comics.lua", lambda t: t.replace('"button_wide"', '"button_small"'))
        self.assertFault(r"gui/comics\.lua: the caption of next cannot be read on its picture", self.faults())

    def test_a_slider_without_its_hover_picture_is_caught(self):
        # The options' sliders draw the track under the mouse from the cell
        # below the track; an empty cell there makes the track vanish.
        node = next(c for c in check_pack.record(self.path("texture/system/gui_system_areas.lua"))
                    if c[0] == "node" and c[1] == "slider_track")
        p = self.path("texture/system/gui_system.png")
        img = Image.open(p).convert("RGBA")
        W, H = img.size
        u, v, w, h = (float(x) for x in node[3:7])
        x0, y0, pw, ph = round(u * W), round((1 - v - h) * H), round(w * W), round(h * H)
        img.paste((0, 0, 0, 0), (x0, y0 + ph // 2, x0 + pw, y0 + ph))
        img.save(p)
        self.assertFault(r"gui/options\.lua: slider slMusic has no hover picture below its picture", self.faults())

    def test_a_button_reading_pictures_below_its_sprite_is_caught(self):
        # The button draws four states down one column; the check box's
        # sprite has two.
        self.edit_text("gui/common.lua", lambda t: t.replace('"tab", cTabButtonCtrl', '"check", cTabButtonCtrl'))
        self.assertFault(r"gui/edit\.lua: button market draws its hover picture from below the sprite "
                         r"gui_system:check \(2 rows, the button reads 4\)", self.faults())

    def test_a_label_narrower_than_a_text_its_screen_chooses_is_caught(self):
        # A rating the code picks by the medals won, and the longest name
        # the name field takes, one character longer than the panel holds.
        self.edit_text("gui/island.lua", lambda t: re.sub(r'"rate", (\d+), (\d+), \d+', r'"rate", \1, \2, 110', t))
        self.edit_text("gui/common.lua", lambda t: re.sub(r"gui\.name_length = \d+", "gui.name_length = 17", t))
        faults = self.faults()
        self.assertFault(r'gui/island\.lua: the text of rate, "Master gardener", is 118 x 17 px in text14, '
                         r'its label 110 x 26', faults)
        self.assertFault(r"gui/island\.lua: the text of profile, a name of 17 times byte 0x89, is \d+ x \d+ px", faults)

    def test_a_greeting_a_list_row_and_a_field_narrower_than_the_longest_name_are_caught(self):
        # The main menu's greeting formats the name into its text; the
        # profile list shows it less the row's room before the text; the
        # name field shows it with the caret after it.
        self.edit_text("gui/main.lua", lambda t: re.sub(r'"lbProfile", \d+, (\d+), \d+',
                                                        r'"lbProfile", 352, \1, 320', t))
        self.edit_text("gui/profile_select.lua", lambda t: re.sub(r'"lstProfile", (\d+), (\d+), \d+',
                                                                  r'"lstProfile", \1, \2, 423', t))
        self.edit_text("gui/profile_add.lua", lambda t: re.sub(r'"name", (\d+), (\d+), \d+', r'"name", \1, \2, 448', t))
        faults = self.faults()
        self.assertFault(r'gui/main\.lua: the text of lbProfile, "Hello, %s!" with a name of 16 times byte 0x89, '
                         r'is 550 x 31 px in header24x24, its label 320 x 48', faults)
        self.assertFault(r"gui/profile_select\.lua: the text of lstProfile, a name of 16 times byte 0x89, "
                         r"is 416 x 22 px in text18, its row 415 x 28", faults)
        self.assertFault(r"gui/profile_add\.lua: the text of name, a name of 16 times byte 0x89, "
                         r"is 425 x 22 px in text18, its field 424 x 28", faults)

    def test_a_message_box_too_narrow_for_a_players_name_is_caught(self):
        # The name is one word the box cannot wrap.
        self.edit_text("gui/messagebox.lua", lambda t: re.sub(r'"text", (\d+), (\d+), \d+', r'"text", \1, \2, 312', t))
        self.assertFault(r"gui/messagebox\.lua: the text of text, ConfirmDeletePlayer with a name of 16 times byte "
                         r"0x89, wraps to 4 lines, the widest 438 px in text18, its text box 312 x 168", self.faults())

    def test_a_misspelt_required_control_and_a_forbidden_button_are_caught(self):
        self.edit_text("gui/main.lua", lambda t: t.replace('"lbProfile"', '"lbProfil"')
                       .replace('"btOptions"', '"btHelp"'))
        self.edit_text("gui/garden.lua", lambda t: t.replace('"progress_" .. i', '"progres_" .. i'))
        faults = self.faults()
        self.assertFault(r"gui/main\.lua: required control lbProfile is missing", faults)
        self.assertFault(r"gui/main\.lua: should control btOptions is missing", faults)
        self.assertFault(r"gui/main\.lua: control btHelp opens a window that does not exist", faults)
        self.assertFault(r"gui/garden\.lua: required control progress_2 is missing", faults)

    def test_templates_with_the_wrong_directives_are_caught(self):
        self.edit_text("gui/main.lua", lambda t: t.replace('"Hello, %s!"', '"Hello, %s %s!"'))
        self.edit_text("gui/mission_start.lua", lambda t: t.replace('"Level %i"', '"Level"'))
        faults = self.faults()
        self.assertFault(r"gui/main\.lua: the text of lbProfile holds the directives \['%s', '%s'\]", faults)
        self.assertFault(r"gui/mission_start\.lua: the text of tasks holds the directives \[\], "
                         r"the screen formats it with \['%i'\]", faults)

    def test_a_wrong_class_and_a_label_without_a_font_are_caught(self):
        self.edit_text("gui/score.lua", lambda t: t.replace("cClockCtrl", "cFrameCtrl")
                       .replace('gui.Label(w, "dump_time", 8, 28, 200, 20, gui.font.system, "")',
                                'cLabelSysCtrl(w, "dump_time")'))
        self.edit_text("gui/hint_mp.lua", lambda t: t.replace("gui.font.text", '"text17"'))
        faults = self.faults()
        self.assertFault(r"gui/score\.lua: control clock is a cFrameCtrl, the screen needs a cClockCtrl", faults)
        self.assertFault(r"gui/score\.lua: text control dump_time has no font", faults)
        self.assertFault(r"gui/hint_mp\.lua: control day uses the font text17, which is not there", faults)

    def test_wrong_window_flags_and_misplaced_controls_are_caught(self):
        self.edit_text("gui/garden.lua", lambda t: t.replace('gui.Window(w, "garden", false)',
                                                             'gui.Window(w, "garden", true)')
                       .replace('toolbar(w, "grass", 724, 28, 2)', 'toolbar(w, "grass", 724, 128, 2)')
                       .replace('gui.Ignorable(main)', '')
                       .replace('main:DisableState(cCtrl.e_Visibility)', ''))
        self.edit_text("gui/options.lua", lambda t: t.replace('gui.Window(w, "options", true)',
                                                              'w:SetName("options")')
                       .replace('"btBack", 416, 88', '"btBack", 900, 88'))
        faults = self.faults()
        self.assertFault(r"gui/garden\.lua: window garden must be not modal", faults)
        self.assertFault(r"gui/garden\.lua: control grass takes input inside the field", faults)
        self.assertFault(r"gui/garden\.lua: control MainFrame takes input inside the field", faults)
        self.assertFault(r"gui/options\.lua: window options must be active", faults)
        self.assertFault(r"gui/options\.lua: window options must be modal", faults)
        self.assertFault(r"gui/options\.lua: control btBack lies outside the 1024 x 768 GUI space", faults)

    def test_unknown_pictures_and_bad_comic_pictures_are_caught(self):
        self.edit_text("gui/stat_island.lua", lambda t: t.replace('"lock"', '"lok"'))
        self.edit_text("gui/game_loading.lua", lambda t: t.replace('SetTexture("gui_loading")',
                                                                   'SetTexture("icons00")'))
        self.edit_text("gui/comics01.lua", lambda t: t.replace('"1.5", "#2"', '"1.5", "two"'))
        # The pages' controls are made by the shared page builder.
        self.edit_text("gui/common.lua", lambda t: t.replace(
            "cImageCtrl(w, delay)", "(delay == \"1.5\" and cImageCtrlEx or cImageCtrl)(w, delay)"))
        self.edit_text("gui/comics.lua", lambda t: re.sub(r'"next", \d+, \d+', '"next", 860, 300', t))
        faults = self.faults()
        self.assertFault(r"gui/stat_island\.lua: sprite icons01:lok is not in the manifest", faults)
        self.assertFault(r"gui/comics\.lua: control next covers a picture of comics00", faults)
        self.assertFault(r"gui/game_loading\.lua: control back uses the texture icons00, which is not there", faults)
        self.assertFault(r"gui/comics01\.lua: comic picture two must be named by its delay", faults)
        self.assertFault(r"gui/comics01\.lua: comic picture 1\.5 must be a cImageCtrl", faults)

    def test_a_script_that_fails_or_defines_no_fill_function_is_reported(self):
        self.edit_text("gui/up.lua", lambda t: t.replace("w:SetName", "w:SetTitle").replace("gui.Window", "gui.Windw"))
        self.edit_text("gui/escape.lua", lambda t: t.replace("function FillWindow", "function FillWindows"))
        self.edit_text("gui/edit.lua", lambda t: t.replace('t:SetTexture("icons01")', 't:SetText("icons01")'))
        os.remove(self.path("gui/comics.lua"))
        faults = self.faults()
        self.assertFault(r"gui/up\.lua: FillWindow fails: .*unknown global|gui/up\.lua: FillWindow fails: .*Windw", faults)
        self.assertFault(r"gui/escape\.lua: FillWindow fails: FillWindow is not defined", faults)
        self.assertFault(r"gui/edit\.lua: FillWindow fails: .*cToolbarCtrl has no method SetText", faults)
        self.assertFault(r"gui/comics\.lua: window comics has no script", faults)


class Settings(BrokenCopy):
    def faults(self):
        rep = check_pack.Report(self.root)
        check_pack.check_settings(rep, self.root)
        return rep.faults

    def test_an_unquoted_name_does_not_survive_the_round_trip(self):
        self.edit_text("conf/system.lua", lambda t: t.replace('string.format("%q", v)', "'\"' .. v .. '\"'"))
        self.assertFault(r"conf/system\.lua: settings value player reads back as .*, was written as", self.faults())

    def test_unchecked_ranges_and_a_missing_first_run_window_are_caught(self):
        self.edit_text("conf/system.lua", lambda t: t.replace("within(s.sound, 0, 1)", "finite(s.sound)")
                       .replace("try(function() display(true, 1024, 768, 0) end)", ""))
        faults = self.faults()
        self.assertFault(r"a out of range settings file changes sound instead of keeping the defaults", faults)
        self.assertFault(r"a first run \(no settings\.lua\) must ask for a 1024 x 768 window", faults)

    def test_a_write_that_is_not_renamed_into_place_is_caught(self):
        self.edit_text("conf/system.lua", lambda t: t.replace("os.rename(tmp, path)", "local _ = 0"))
        self.assertFault(r"WriteSettings wrote no settings\.lua", self.faults())


class Lint(BrokenCopy):
    def test_invalid_lua_is_caught(self):
        self.edit_text("gui/sprites.lua", lambda t: t + "sprites[ = 1\n")
        rep = check_pack.Report(self.root)
        check_pack.lint(rep, self.root)
        self.assertTrue(any(f.startswith("gui/sprites.lua: not valid Lua 5.2") for f in rep.faults), rep.faults)


class Determinism(BrokenCopy):
    # The comparison alone, against the built pack standing in for a fresh
    # run: the regeneration itself is pack_determinism's, and a second one
    # here would only repeat it.
    def test_a_changed_byte_and_a_stray_file_are_caught(self):
        self.edit("texture/cursor_pointer.png", lambda d: d[:-20] + bytes([d[-20] ^ 1]) + d[-19:])
        with open(self.path("sound/stray.wav"), "wb") as f:
            f.write(b"RIFF")
        _, faults = determinism.compare(self.root, BUILT)
        self.assertIn("texture/cursor_pointer.png: differs between two runs", faults)
        self.assertIn("sound/stray.wav: in the build's generated folders, not made by a fresh run", faults)
        _, faults = determinism.compare(BUILT, BUILT)
        self.assertEqual([f for f in faults if "ignored by git" not in f], [])


if __name__ == "__main__":
    BUILT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
