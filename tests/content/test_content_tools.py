"""The content tools: the level compiler against its golden files and its checks, the lint against
one fixture per rule, the sound checks. Run by CTest with the source and the build folder."""
import copy
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SOURCE = os.environ["BRASHWICK_SOURCE_DIR"]
BUILD = os.environ["BRASHWICK_BINARY_DIR"]
TOOLS = os.path.join(SOURCE, "tools", "content")
sys.path.insert(0, TOOLS)
import lvlc  # noqa: E402
import playcheck  # noqa: E402
import screen  # noqa: E402
import musicgen  # noqa: E402
import sfxgen  # noqa: E402
import stage as staging  # noqa: E402

LEVEL_1 = os.path.join(SOURCE, "content", "common", "levels", "src", "01.lvl")
GOLDEN = os.path.join(SOURCE, "tests", "content", "golden", "01")


def level_errors(text, name="01.lvl", solution=None, warnings=False):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, name)
        with open(path, "w") as f:
            f.write(text)
        if solution is not None:
            with open(path[:-4] + ".sol", "w") as f:
                f.write(solution)
        level = lvlc.parse(path)
        if not level.errors:
            lvlc.check(level)
        return "\n".join(level.errors + (level.warnings if warnings else []))


class LevelCompiler(unittest.TestCase):
    def test_level_1_matches_its_golden_files(self):
        level = lvlc.parse(LEVEL_1)
        lvlc.check(level)
        self.assertEqual(level.errors, [])
        files = lvlc.compile_level(level)
        self.assertEqual(len(files), 7)
        for rel, text in files.items():
            golden = "tutorial_1.xml" if rel == "tutorials/1.xml" else os.path.basename(rel)
            with open(os.path.join(GOLDEN, golden), encoding="utf-8") as f:
                self.assertEqual(text, f.read(), rel)

    @staticmethod
    def binary_level_errors():
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "01.lvl")
            with open(path, "wb") as f:
                f.write(b"level 1\n\xff\xfe grid\n")
            return "\n".join(lvlc.parse(path).errors)

    def test_faults_are_reported_with_their_line(self):
        with open(LEVEL_1) as f:
            good = f.read()
        cases = [  # (replace, with, a fragment of the expected message)
            ("\nlevel 1\n", "\nlevel 2\n", "file's number"),
            ("time 36", "time 9", "at least 10"),
            ("..@...1.1", "..@...1.@", "exactly one '@'"),
            ("..@...1.1", "@.....1.1", "'.' on its left"),
            ("..@...1.1.1", "..@...1#1.1", "lift the hero"),
            ("###############..###", "###############.###", "differ in length"),
            ("....b....1.1", "....b...Q1.1", "unknown cell 'Q'"),
            ("###############..###############  ; 7", "################.###############  ; 7", "gap of exactly two"),
            (".......2.2...", "......22.2...", "above another trigger"),
            ("1.1.1....E..  ; 6", "1.1.1.......  ; 6", "no exit"),
            ("tool bridge", "tool hammer", "not a tool name"),
            ("hint 4,6 ", "hint 13,6 ", "within 2 columns"),
            ("arrow 15,6", "arrow 40,6", "outside the grid"),
            ("..@...1.1.1....b", "..@...1.1.1pp..b", "validator, cell 11,6: a trigger lies right beside it"),
            ("..@...1.1.1....b", "..@...1.1.1..tsb", "validator, cell 13,6: a trigger lies right beside it"),
            ("....b....1.1.1....E..  ; 6", "....bu...1.1.1....E..  ; 6", "landing cell"),
            ("..@...1.1.1....b", "..@...1.1.1...Fb", "fire needs flat ground"),
            ("................................  ; 2", "..........#.....................  ; 2", "fewer than 3 empty rows"),
        ]
        self.assertIn("cannot read the file", self.binary_level_errors())
        for old, new, expected in cases:
            with self.subTest(change=new):
                self.assertIn(old, good)
                errors = level_errors(good.replace(old, new, 1))
                self.assertIn(expected, errors)
                self.assertRegex(errors, r"01\.lvl:\d+: error")


    def test_solution_faults(self):
        with open(LEVEL_1) as f:
            good = f.read()
        win = "case win\n  on hero 11,6  use bridge at 15,6\n  expect win, fruit all\n"
        self.assertEqual(level_errors(good, solution=win, warnings=True), "")
        cases = [  # (replace in the win case, with, a fragment of the expected message)
            ("bridge at 15,6", "trampoline at 15,6", "is no trampoline cell"),
            ("hero 11,6", "hero 14,6", "no time to react"),
            ("hero 11,6", "hero 11,60", "outside the grid"),
            ("hero 11,6", "hero 11,7", "never stands in the solid cell"),
            ("hero 11,6", "hero 1,6", "off the screen or under the tool bar"),
            ("  expect win, fruit all", "  expect win\n  expect lose", "exactly one outcome"),
            ("case win", "case fast", "no 'win' case"),
            ("use bridge", "jump bridge", "cannot read"),
            ("  expect", "  on hero 13,6  use bridge at 15,6\n  expect", "used twice"),
            ("  expect", "  on hero 12,6  tap 3,3\n  expect", "too fast"),
            ("  on hero 11,6  use bridge at 15,6\n", "", "never uses the tool cell 15,6"),
        ]
        for old, new, expected in cases:
            with self.subTest(change=new):
                self.assertIn(expected, level_errors(good, solution=win.replace(old, new), warnings=True))


    def test_a_cell_must_be_seen_below_the_top_bar(self):
        # Level 25: the pusher at 52,9 stands on the third floor; tapped from the second it
        # shows, from the ground floor ten rows below it is over the screen's top.
        with open(os.path.join(SOURCE, "content", "common", "levels", "src", "25.lvl")) as f:
            grid = f.read()
        with open(os.path.join(SOURCE, "content", "common", "levels", "src", "25.sol")) as f:
            win = f.read().split("case no-first-pusher")[0]
        self.assertEqual(level_errors(grid, "25.lvl", win), "")
        self.assertIn("52,9 is off the screen or under the tool bar while the hero is at 44,19",
                      level_errors(grid, "25.lvl", win.replace("on hero 44,9  use pusher", "on hero 44,19  use pusher")))


class PlayedView(unittest.TestCase):
    """The played checks: a level's win case played by the headless game and held to what a
    player must see on the screen the content makes."""

    SIM = os.path.join(BUILD, "bin", "pirrock-sim")
    LEVELS = os.path.join(SOURCE, "content", "common", "levels", "src")

    def errors(self, number, change=lambda win: win, screen=None):
        with open(os.path.join(self.LEVELS, f"{number}.lvl")) as f:
            grid = f.read()
        with open(os.path.join(self.LEVELS, f"{number}.sol")) as f:
            win = "case win" + f.read().split("case win")[1].split("case ")[0]
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, f"{number}.lvl")
            with open(path, "w") as f:
                f.write(grid)
            with open(path[:-4] + ".sol", "w") as f:
                f.write(change(win))
            level = lvlc.parse(path)
            lvlc.check(level)
            playcheck.check_played(level, path[:-4] + ".sol", self.SIM, os.path.join(BUILD, "bin"),
                                   screen or lvlc.the_screen(), jobs=2)
            return "\n".join(level.errors)

    def moved(self, **rectangles):
        view = copy.copy(lvlc.the_screen())
        for name, rectangle in rectangles.items():
            setattr(view, name, rectangle)
        return view

    def test_while_a_hint_shows_the_hero_its_cell_and_arrow_are_in_open_view(self):
        self.assertEqual(self.errors("01"), "")
        # the hint panel where the hero and the gap's cell stand
        errors = self.errors("01", screen=self.moved(panel=(0, 160, 800, 330)))
        for what in ("the hero", "the cell it points at", "its arrow"):
            self.assertIn(f"while the hint at 11,6 (IDS_TUT_1_BRIDGE) shows, {what} is under the hint panel", errors)
        self.assertRegex(errors, r"01\.lvl:25: error: while the hint at 11,6")

    def test_fruit_the_exit_and_a_ladders_ledge_show_before_the_hero_gets_there(self):
        # Level 3: the ladder at 12,8 leads up four rows to the ledge with the cherries; the
        # exit stands in the hero's own row at the end. Under a top bar half the screen high the
        # cherries show only from the step the hero stands beside them.
        self.assertEqual(self.errors("03"), "")
        errors = self.errors("03", screen=self.moved(top_bar=(0, 0, 800, 240)))
        self.assertIn("03.lvl:14: error: the cherry at 18,4 shows in open view for 29 steps at most before the hero"
                      " reaches it at step 284; it needs 30: under the top bar", errors)
        self.assertIn("the cherry at 18,4 shows in open view for 29 steps at most before the hero reaches it at step"
                      " 314 while its hints show", errors)
        self.assertIn("ladder at 12,8, tapped at step 104 and in time until step 175: the ledge it leads to at 13,4 is"
                      " under the top bar", errors)
        self.assertNotIn("the exit", errors)

    def test_a_tool_shows_from_a_second_before_its_tap_until_it_is_too_late(self):
        # Level 23's bridge after the second slope: tapped from 85,12 the camera has come down
        # with the hero a second before; from 84,12 that second starts while the hero is still on
        # the slope and the camera above it, and the gap's cells sit behind the tool bar. Level
        # 30's last bridge goes above a trap door, whose lid is drawn a row lower still.
        self.assertEqual(self.errors(23), "")
        early = self.errors(23, lambda win: win.replace("on hero 85,12  use bridge", "on hero 84,12  use bridge"))
        self.assertIn("bridge at 87,12, tapped at step 1139 and in time until step 1191, is more than half under"
                      " the tool bar at 12 steps from step 1109 to 1120", early)
        early = self.errors(30, lambda win: win.replace("on hero 107,11  use bridge", "on hero 105,10  use bridge"))
        self.assertIn("bridge at 109,10, tapped at step 1425 and in time until step 1494, is more than half under"
                      " the tool bar at 22 steps from step 1395 to 1416", early)

    def test_the_first_tool_waits_for_the_camera_coming_back_after_a_restart(self):
        # Level 30 is the longest: the ski tapped from 6,4 is due when the camera is back; tapped
        # from 4,4, twelve steps earlier, the camera still comes back from the far end.
        self.assertEqual(self.errors(30), "")
        early = self.errors(30, lambda win: win.replace("on hero 6,4  use ski", "on hero 4,4  use ski"))
        self.assertIn("ski at 10,4 is tapped 68 steps into the level, but after a restart the camera is back", early)
        self.assertIn("the win case does not end as it expects",
                      self.errors(30, lambda win: win.replace("  on hero 22,6  use fire_extinguisher at 24,6", "  ;")))

    def test_the_screen_is_read_from_the_content_and_a_setting_reaches_the_game_and_the_check(self):
        with tempfile.TemporaryDirectory() as tmp:
            defaults = os.path.join(tmp, "defaults.xml")
            with open(screen.DEFAULTS) as f:
                text = f.read()
            with open(defaults, "w") as f:
                f.write(text.replace('<key name="logic_fps"', '<key name="logic_rate"'))
            with self.assertRaisesRegex(screen.ContentError, "defaults.xml: constants/logic_fps not found"):
                screen.Screen(defaults=defaults)
            layout = os.path.join(tmp, "hud.xml")
            with open(layout, "w") as f:
                f.write('<screen><layer><item type="Control" name="top"><x>5</x><y>7</y><children>'
                        '<item type="Control" name="topbar"><relative/><x>10</x><y>20</y>'
                        '<representation type="default" file="x"><override name="width">30</override>'
                        '<override name="height">40</override></representation></item>'
                        '<item type="Control" name="tut_back"><x>1</x><y>2</y>'
                        '<representation type="default" file="x"><override name="width">3</override>'
                        '<override name="height">4</override></representation></item>'
                        '</children></item></layer></screen>')
            view = screen.Screen(layout=layout)
            self.assertEqual((view.top_bar, view.panel), ((15, 27, 45, 67), (1, 2, 4, 6)))
        # Ten rows on the screen, not twelve: level 3's ledge, four rows above the ladder's foot,
        # lies under the top bar.
        result = subprocess.run([sys.executable, os.path.join(TOOLS, "lvlc.py"), "--check", "--sim", self.SIM, "--paks",
                                 os.path.join(BUILD, "bin"), "--jobs", "2", "--set", "constants/ideal_vertical_span=480",
                                 os.path.join(self.LEVELS, "03.lvl")], capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 1)
        self.assertIn("the ledge it leads to at 13,4 is under the top bar", result.stderr)


class Lint(unittest.TestCase):
    """Each fixture is the real staged content with one fault put in; the lint must name its rule."""

    @classmethod
    def setUpClass(cls):
        cls.stage = os.path.join(BUILD, "content", "stage")

    def lint(self, change):
        with tempfile.TemporaryDirectory() as tmp:
            stage = os.path.join(tmp, "stage")
            shutil.copytree(self.stage, stage)
            change(stage)
            result = subprocess.run([sys.executable, os.path.join(TOOLS, "contentlint.py"), stage, "--keys",
                                     os.path.join(TOOLS, "required_keys.txt"), "--source", SOURCE],
                                    capture_output=True, text=True, timeout=60)
            return result.returncode, result.stderr

    def test_the_real_content_passes(self):
        self.assertEqual(self.lint(lambda stage: None), (0, ""))

    def test_each_rule_fails_its_fixture(self):
        def edit(path, old, new):
            def change(stage):
                full = os.path.join(stage, path)
                with open(full, encoding="utf-8") as f:
                    text = f.read()
                assert old in text, (path, old)
                with open(full, "w", encoding="utf-8") as f:
                    f.write(text.replace(old, new, 1))
            return change

        def copy(src, dst):
            def change(stage):
                os.makedirs(os.path.dirname(os.path.join(stage, dst)), exist_ok=True)
                shutil.copyfile(os.path.join(stage, src), os.path.join(stage, dst))
            return change

        fixtures = [
            (1, copy("common/tiles/ladder.xml", "platform/tiles/ladder.xml")),
            (1, copy("common/tiles/ladder.xml", "common/tiles/Ladder.xml")),
            (2, lambda s: os.remove(os.path.join(s, "common/levels/01_far.xml"))),
            (2, edit("common/levels/01.xml", "levels/01_map.xml", "levels/01_mapp.xml")),
            (3, edit("common/anim/snare.xml", "images/anim/items/snare/open_00.png", "images/anim/items/snare/open_99.png")),
            (3, edit("common/levels/01_ground.xml", "images/tiles/t1/top.png", "images/tiles/t2/top.png")),
            (3, edit("atlas/menu1.xml", '<rect id="images/menu/bg.png"', '<rect id="images/menu/bg2.png"')),
            (3, edit("common/tutorials/1.xml", "<icon>fruit</icon>", "<icon>apple</icon>")),
            (4, edit("common/anim/pirrock_game.xml", 'name="waiting" fps="10"', 'name="waiting" fps="0"')),
            (4, edit("common/anim/fire.xml", 'name="extinguish"', 'name="extinguished"')),
            (5, edit("platform/l10n/de.xml", 'id="IDS_TUT_1_RUN"', 'id="IDS_TUT_1_RUNS"')),
            (5, edit("platform/l10n/en.xml", "Grab the fruit", "Grab the \u6f22 fruit")),
            (5, edit("platform/l10n/en.xml", "Grab the fruit", "Grab &amp; the fruit")),
            (5, edit("platform/l10n/de.xml", "Schnapp dir", "Schnapp dir " * 12)),
            (6, edit("platform/config/defaults.xml", '<key name="levels_count" type="int">30',
                     '<key name="levels_count" type="string">30')),
            (6, edit("platform/config/defaults.xml", '<key name="start_lives" type="int">5', '<key name="start_lives" type="int">05')),
            (7, lambda s: shutil.copyfile(os.path.join(BUILD, "content", "gen", "sfx", "menu_ok2", "1.wav"),
                                          os.path.join(s, "common", "sfx", "menu_ok2.ogg"))),
            (7, lambda s: subprocess.run(["oggenc", "-Q", "-r", "-C", "2", "-R", "44100", "-o",
                                          os.path.join(s, "common", "sfx", "menu_ok1.ogg"), "/dev/null"], check=True)),
            (8, edit("common/scripts/hud.lua", "local MIN_SLOT = 64", "local MIN_SLOT = 70")),  # level 30's eleven
            (8, edit("common/scripts/hud.lua", "GOTIT_W = 800, 80, 76, 136", "GOTIT_W = 800, 80, 76, 600")),
            # levels 25 and 29: ten and eleven apples beside four other kinds
            (9, edit("common/scripts/hud.lua", "SCORE_DIGITS = 360, 6", "SCORE_DIGITS = 360, 8")),
            (9, edit("common/scripts/hud.lua", "FRUIT_SPACE, DIGIT_W = 790, 32, 2, 10, 17",
                     "FRUIT_SPACE, DIGIT_W = 790, 32, 2, 10, 12")),
            (9, edit("common/scripts/hud.lua", "FRUIT_SPACE, DIGIT_W = 790,", "FRUIT_SPACE, DIGIT_W = 810,")),
            (10, edit("common/xml/hud.xml", '<override name="height">44</override>', '<override name="height">40</override>')),
        ]
        for rule, change in fixtures:
            with self.subTest(rule=rule):
                code, errors = self.lint(change)
                self.assertEqual(code, 1)
                self.assertEqual(set(re.findall(r"\[rule (\d+)\]", errors)), {str(rule)}, errors)


class Staging(unittest.TestCase):
    def test_merge_refuses_a_path_made_twice_and_drops_stale_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            def put(rel, text):
                os.makedirs(os.path.dirname(os.path.join(tmp, rel)), exist_ok=True)
                with open(os.path.join(tmp, rel), "w") as f:
                    f.write(text)
            put("parts/a/common/x.xml", "a")
            put("stage/common/old.xml", "stale")
            self.assertEqual(staging.merge(os.path.join(tmp, "parts"), os.path.join(tmp, "stage")), 0)
            self.assertEqual(sorted(staging.walk(os.path.join(tmp, "stage", "common"))), ["x.xml"])
            put("parts/b/common/x.xml", "b")
            self.assertEqual(staging.merge(os.path.join(tmp, "parts"), os.path.join(tmp, "stage")), 1)


class Art(unittest.TestCase):
    def test_trimmed_frames_keep_the_hero_on_its_foot_point(self):
        """The trim offsets put every standing frame's feet on the canvas bottom and centred,
        whatever each frame's own trimmed size."""
        stage = os.path.join(BUILD, "content", "stage")
        sizes = {}
        for rect in ET.parse(os.path.join(stage, "atlas", "anim.xml")).getroot().iter("rect"):
            sizes[rect.get("id")] = (int(rect.get("width")), int(rect.get("height")))
        anim = ET.parse(os.path.join(stage, "common", "anim", "pirrock_game.xml")).getroot()
        for name in ("running", "waiting", "climbing", "diverting"):
            for frame in anim.find(f"animation[@name='{name}']").iter("frame"):
                width, height = sizes[frame.text]
                x, y = int(frame.get("x")), int(frame.get("y"))
                with self.subTest(frame=frame.text):
                    self.assertAlmostEqual(y + height, 65, delta=2)
                    self.assertLess(x, 32)
                    self.assertGreater(x + width, 32)


    def test_grass_runs_on_across_every_ground_joint(self):
        """Where two ground tiles meet, the grass at the left one's last column spans the same
        rows as at the right one's first: flat to slope, slope to slope and slope to flat, up and
        down, in every band. Each tile stands on its cell's foot; the second cell of a joint lies
        dy rows lower (a step down the slope) or higher."""
        sys.path.insert(0, os.path.join(TOOLS, "art"))
        import world
        joints = [("top", "slope_down", 0), ("slope_down", "slope_down", 1), ("slope_down", "top", 1),
                  ("top", "slope_up", -1), ("slope_up", "slope_up", -1), ("slope_up", "top", 0)]
        for band, colours in world.BANDS.items():
            grass = tuple(int(colours["top"][i:i + 2], 16) for i in (1, 3, 5))
            for left, right, dy in joints:
                with self.subTest(band=band, joint=f"{left} {right}"):
                    a = self.grass_rows(band, left, 47, 0, grass)
                    b = self.grass_rows(band, right, 0, dy, grass)
                    self.assertTrue(a and b, "no grass on one side of the joint")
                    self.assertLessEqual(abs(a[0] - b[0]), 2, (a, b))
                    self.assertLessEqual(abs(a[1] - b[1]), 2, (a, b))

    @staticmethod
    def grass_rows(band, name, column, dy, grass):
        """(first, last) row of the tile's grass-coloured pixels in the column, counted from the
        foot of the joint's first cell downwards (negative: above it); None without any."""
        path = os.path.join(BUILD, "content", "gen", "art", "raw", "images", "tiles", f"t{band}", name + ".png")
        with open(path, "rb") as f:
            width, height = struct.unpack(">II", f.read(24)[16:24])
        pixels = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
        rows = []
        for y in range(height):
            r, g, b, alpha = pixels[4 * (y * width + column):4 * (y * width + column) + 4]
            if alpha >= 128 and all(abs(v - w) <= 24 for v, w in zip((r, g, b), grass)):
                rows.append(y - height + 48 * dy)
        return (rows[0], rows[-1]) if rows else None


class Sounds(unittest.TestCase):
    def test_a_clipping_recipe_fails(self):
        with tempfile.TemporaryDirectory() as tmp:
            line = "loud 0.2 -3 synth .2 square 440 gain 12 lowpass 3000"
            with self.assertRaisesRegex(sfxgen.RecipeError, "clipped"):
                sfxgen.make(line, tmp, tmp)

    def test_recipe_faults(self):
        with tempfile.TemporaryDirectory() as tmp:
            for line, message in (("short 0.2 -3", "needs a name"), ("gap 0.2 -3 ( synth .1 sine 440", "no '\\)'"),
                                  ("long 0.5 -3 synth .1 sine 440", "lasts 0.10 s")):
                with self.subTest(line=line), self.assertRaisesRegex(sfxgen.RecipeError, message):
                    sfxgen.make(line, tmp, tmp)

    def test_music_rendering_checks(self):
        full = 32767
        for data, fault in (([], "renders nothing"), ([0, full, 0], "1 clipped"), ([0, -32768], "1 clipped"),
                            ([0, full // 100], "outside"), ([0, full * 7 // 10], "outside"), ([0, full // 3], None)):
            with self.subTest(peak=max(data, default=0)):
                result = musicgen.check_raw(data)
                self.assertEqual(result is None, fault is None, result)
                if fault:
                    self.assertIn(fault, result)


if __name__ == "__main__":
    unittest.main()
