"""The played checks of a level: its recorded win case played by the headless game (pirrock-sim)
with the camera traced at every step, and held to what a player must see on the screen the
content makes (screen.py):
- while a hint shows, the hero, the cell the hint points at and its arrow are in open view (not
  under the hint panel, the top bar or the tool bar);
- the exit and every fruit show in open view for a second before the hero reaches them, and
  while a ladder's tap is due, the ledge it leads to;
- every tool's cell, with the cell below it, shows the whole time its tap may be made (from a
  second before its recorded tap to the last step at which a tap still wins);
- started again where the win took the camera farthest, the camera is back on the hero a second
  before the first tool is due.
A level's cases are played several to a process and in as many processes at once as it is
given jobs; the searches for the last winning taps go in rounds, one probe per tool a round."""
import os
import re
import subprocess
import tempfile

from screen import CELL, LEEWAY, SCREEN_W

TOOL_CODES = {"pusher": 26, "carrot": 27, "bridge": 28, "fire_extinguisher": 29, "trampoline": 30, "hair_dryer": 31,
              "boat": 32, "ladder": 33, "parachute": 34, "skates": 38, "ski": 47}
FRUIT_NAMES = {"1": "apple", "2": "cherry", "3": "strawberry", "4": "banana", "5": "watermelon"}
USE = re.compile(r"on (?:hero (\d+),(\d+)(?: #\d+)?|time [\d.]+|step \d+) +use (\w+) at (\d+),(\d+)( optional)?")
TRACE_CAMERA = re.compile(r"(\d+) camera \w+ at (-?\d+),(-?\d+),(-?\d+)(?: to (-?\d+),(-?\d+),(-?\d+))? hero (-?\d+),(-?\d+)")
TRACE_PLACED = re.compile(r"(\d+) placed (\w+) at (\d+),(\d+)")
TRACE_CELL = re.compile(r"(\d+) cell (-?\d+),(-?\d+)$")
TRACE_TOUCHED = re.compile(r"(\d+) touched (\d+) ")
TRACE_STATE = re.compile(r"(\d+) state (\w+) -> (\w+)(?: at (-?\d+),(-?\d+))?")
TRACE_HINT = re.compile(r'(\d+) hud ShowTutorialText\("(\w+)"')
TRACE_RESUMED = re.compile(r"(\d+) hud ActivateTimer\(true\)")
# How far on from its recorded tap a tool's last winning tap is searched at most, in seconds,
# and how far past the step at which the hero comes within two columns of its cell at first.
LATEST, PAST_THE_CELL = 10, 2


class Run:
    """One case as the headless game played it: whether it ended as its expect line says, its
    trace, and per step the camera (x, y, z) and the hero's feet (x, y)."""

    def __init__(self, lines, met):
        self.lines, self.met = lines, met
        self.cameras, self.heroes = {}, {}
        for m in map(TRACE_CAMERA.match, lines):
            if m:
                step = int(m.group(1))
                self.cameras[step] = tuple(int(v) for v in m.group(2, 3, 4))
                self.heroes[step] = (int(m.group(8)), int(m.group(9)))

    def placed(self):
        """{(tool, x, y): the step it was placed at first}."""
        out = {}
        for m in map(TRACE_PLACED.match, self.lines):
            if m:
                out.setdefault((m.group(2), int(m.group(3)), int(m.group(4))), int(m.group(1)))
        return out


class Player:
    """Plays cases of one level with the headless game: several cases to a process, in up to
    jobs processes at once. settings go to every run as `--set`."""

    def __init__(self, sim, paks, number, jobs=1, settings=None):
        self.sim, self.paks, self.number, self.jobs = sim, paks, number, max(1, jobs)
        self.settings = settings or {}

    def play(self, cases):
        """[Run] of cases, each (replay lines ending with its expect line, with hints shown)."""
        groups = {}
        for i, (lines, tutorial) in enumerate(cases):
            groups.setdefault(tutorial, []).append(i)
        share = max(1, -(-len(cases) // self.jobs))
        batches = [(tutorial, indices[k:k + share]) for tutorial, indices in groups.items()
                   for k in range(0, len(indices), share)]
        runs = [Run([], False)] * len(cases)
        with tempfile.TemporaryDirectory() as tmp:
            for first in range(0, len(batches), self.jobs):
                wave = list(enumerate(batches))[first:first + self.jobs]
                started = [self.start(tmp, n, tutorial, [cases[i][0] for i in indices]) for n, (tutorial, indices) in wave]
                for (process, trace), (_, (_, indices)) in zip(started, wave):
                    try:
                        process.wait(timeout=60 + 10 * len(indices))
                    except subprocess.TimeoutExpired:
                        process.kill()
                        process.wait()
                    for i, run in zip(indices, self.read(trace)):
                        runs[i] = run
        return runs

    def start(self, folder, n, tutorial, cases):
        replay, trace = os.path.join(folder, f"replay{n}.txt"), os.path.join(folder, f"trace{n}.txt")
        with open(replay, "w", encoding="utf-8") as f:
            for i, lines in enumerate(cases):
                f.write(f"case c{i}\n" + "\n".join(lines) + "\n")
        command = [self.sim, "--level", str(self.number), "--replay", replay, "--camera", "1", "--trace", trace]
        if self.paks:
            command += ["--paks", self.paks]
        if tutorial:
            command.append("--tutorial")
        for key, value in sorted(self.settings.items()):
            command += ["--set", f"{key}={value}"]
        return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL), trace

    @staticmethod
    def read(path):
        """The runs of a trace file, case by case; a case cut short has not met its expectation."""
        if not os.path.exists(path):
            return []
        runs, lines = [], None
        with open(path, encoding="utf-8") as f:
            for line in f.read().splitlines():
                if line.startswith("case "):
                    lines = []
                elif lines is not None and line.startswith("expect "):
                    runs.append(Run(lines, line.endswith(": met")))
                    lines = None
                elif lines is not None:
                    lines.append(line)
        return runs


def read_win_case(path):
    """The `on` lines of a recorded solution's win case, and its `expect` line."""
    lines, case, expect = [], None, "expect win"
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.split(";")[0].strip()
            words = line.split()
            if words[:1] == ["case"]:
                case = words[1:] == ["win"]
            elif case and words[:1] == ["on"]:
                lines.append(line)
            elif case and words[:1] == ["expect"]:
                expect = line
    return lines, expect


class Check:
    """The played checks of one level; each appends its findings to level.errors."""

    def __init__(self, level, solution, player, screen):
        self.level, self.player, self.screen = level, player, screen
        self.src = os.path.basename(solution)
        self.lines, self.expect = read_win_case(solution)
        self.second = screen.fps
        # the kinds of tool the level grants, each a slot of the tool bar
        self.tools = len({level.at(x, y) for x, y in level.tool_cells})

    def error(self, text, line=1, src=None):
        self.level.errors.append(f"{src or self.src}:{line}: error: {text}")

    def run(self):
        hinted = [(hint["cell"], hint) for hint in self.level.hints]
        cases = [(self.lines + [self.expect], False)]
        if hinted:
            cases.append((self.read_hints(dict(hinted)) + [self.expect], True))
        runs = self.player.play(cases)
        win = runs[0]
        if not win.met:
            self.error("the win case does not end as it expects")
            return
        self.items(win, "")
        if hinted:
            if not runs[1].met:
                self.error("with each hint read for a second before its tap, the win case does not end as it expects")
            else:
                self.hints(runs[1])
                self.items(runs[1], " while its hints show")
        self.tool_windows(win)

    def read_hints(self, hints):
        """The win case for a player who reads each hint for a second: a tap made from a hint's
        cell waits until the hint has closed."""
        out = []
        for line in self.lines:
            m = USE.fullmatch(line)
            if m and m.group(1) and (int(m.group(1)), int(m.group(2))) in hints:
                trigger, action = line.split(" use ", 1)
                line = f"{trigger} +{self.second + 1} use {action}"
            out.append(line)
        return out

    # --- what covers the screen -----------------------------------------------------------

    def covers(self, hint):
        """{what: rectangle} over the level, with the hint panel and "Got it" while a hint shows."""
        covers = {"under the top bar": self.screen.top_bar,
                  "under the tool bar": self.screen.tool_bar(self.tools, hint)}
        if hint:
            covers["under the hint panel"] = self.screen.panel
        return covers

    @staticmethod
    def hint_steps(run):
        """{step: hint text id} of the steps at which a hint shows (from the step it shows at to
        the step play goes on)."""
        steps, showing, since = {}, None, None
        last = max(run.cameras, default=0)
        for line in run.lines:
            m = TRACE_HINT.match(line)
            if m:
                showing, since = m.group(2), int(m.group(1))
            m = TRACE_RESUMED.match(line)
            if m and showing:
                steps.update({k: showing for k in range(since, int(m.group(1)))})
                showing = None
        if showing:
            steps.update({k: showing for k in range(since, last + 1)})
        return steps

    def cell_box(self, camera, cell, rows=1):
        return self.screen.cells(self.level.height, camera, cell, rows)

    # --- hints ------------------------------------------------------------------------------

    def hints(self, run):
        """While a hint shows, the hero, the cell it points at and its arrow are in open view."""
        by_text = {hint["text"]: hint for hint in self.level.hints}
        found = {}
        for step, text in sorted(self.hint_steps(run).items()):
            hint = by_text.get(text)
            if hint is None or step not in run.cameras:
                continue
            camera = run.cameras[step]
            boxes = {"the hero": self.screen.hero(camera, run.heroes[step])}
            if hint.get("arrow"):
                cell = self.cell_box(camera, hint["arrow"])
                boxes["the cell it points at"] = cell
                boxes["its arrow"] = self.screen.arrow(cell)
            for what, box in boxes.items():
                why, by = self.screen.covered(box, self.covers(True))
                if why:
                    found.setdefault((hint["line"], what, why), []).append((step, by))
        for (line, what, why), steps in sorted(found.items()):
            self.error(f"while the hint {hint_name(self.level, line)} shows, {what} is {why} at {len(steps)} steps"
                       f" from step {steps[0][0]} to {steps[-1][0]}, by up to {round(max(by for _, by in steps))} px",
                       line, self.level.src)

    # --- what lies ahead --------------------------------------------------------------------

    def reached(self, run):
        """[(step, what, cell)] of each fruit and exit of the level, at the step the hero reaches
        it: a fruit in the hero's cell or the one above it, the exit nearest the hero's cell."""
        hero, out, taken = None, [], set()
        fruit = {code: ch for ch, code in zip("12345", range(42, 47))}
        for line in run.lines:
            m = TRACE_CELL.match(line)
            if m:
                hero = (int(m.group(2)), int(m.group(3)))
                continue
            m = TRACE_TOUCHED.match(line)
            if not m or hero is None:
                continue
            code = int(m.group(2))
            if code in fruit:
                cells = [c for c in (hero, (hero[0], hero[1] - 1)) if self.level.at(*c) == fruit[code] and c not in taken]
                if cells:
                    taken.add(cells[0])
                    out.append((int(m.group(1)), f"the {FRUIT_NAMES[fruit[code]]}", cells[0]))
            elif code == 12:
                exits = [(x, y) for y in range(self.level.height) for x in range(self.level.width)
                         if self.level.at(x, y) == "E"]
                cell = min(exits, key=lambda c: abs(c[0] - hero[0]) + abs(c[1] - hero[1]))
                out.append((int(m.group(1)), "the exit", cell))
        return out

    def items(self, run, how):
        """The exit and every fruit the hero reaches show in open view for a second (unbroken)
        before it reaches them, clear of the top bar, the tool bar and any hint panel."""
        hints = self.hint_steps(run)
        for reached, what, cell in self.reached(run):
            longest = streak = 0
            worst = ("", 0)
            for step in range(0, reached):
                camera = run.cameras.get(step)
                why, by = self.screen.covered(self.cell_box(camera, cell), self.covers(step in hints)) if camera \
                    else ("unseen", 0)
                streak = 0 if why else streak + 1
                longest = max(longest, streak)
                if why and by > worst[1] and step >= reached - 4 * self.second:
                    worst = (why, by)
            if longest < self.second:
                cause = f": {worst[0]} by up to {round(worst[1])} px" if worst[0] else ""
                self.error(f"{what} at {cell[0]},{cell[1]} shows in open view for {longest} steps at most before the hero"
                           f" reaches it at step {reached}{how}; it needs {self.second}{cause}",
                           getattr(self.level, "grid_line", 1) + cell[1], self.level.src)

    def ledge(self, run, placed, cell):
        """The cell the hero steps into at the top of the climb up the ladder at cell, after it
        was placed (the ledge is the ground under it); None when the hero never climbs it."""
        climbing = False
        for m in map(TRACE_STATE.match, run.lines):
            if not m or int(m.group(1)) < placed or m.group(4) is None:
                continue
            at = (int(m.group(4)), int(m.group(5)))
            if m.group(3) == "climbing" and abs(at[0] - cell[0]) <= 1:
                climbing = True
            elif climbing and m.group(2) == "climbing":
                return at
        return None

    # --- the tools' windows -------------------------------------------------------------------

    def tool_windows(self, win):
        """Every tool the win case places, from a second before its tap to the last step at which
        a tap still wins, and the camera back on the hero after a restart a second before the
        first tool is due. A tap on the tool bar is lost, so when the first tap too late to win
        placed nothing, that step is held to the rule as well: a tool whose cell slid under the
        bar does not count as done in time."""
        placed = win.placed()
        searches = []
        for i, line in enumerate(self.lines):
            m = USE.fullmatch(line)
            cell = m and (int(m.group(4)), int(m.group(5)))
            if cell and (m.group(3), *cell) in placed:
                step = placed[(m.group(3), *cell)]
                searches.append(Search(i, m.group(3), cell, step, self.bound(win, cell, step),
                                       step + LATEST * self.second))
        farthest = self.farthest(win)
        restart = [(self.lines + [f"on step {farthest} hud RestartLevel", "expect lose"], False)] if farthest else []
        results = self.player.play(restart + [(self.later(s, s.probe()), False) for s in searches])
        if restart:
            self.restart(win, farthest, results.pop(0))
        for search, run in zip(searches, results):
            search.learn(run)
        while any(not search.done() for search in searches):
            open_ = [search for search in searches if not search.done()]
            for search, run in zip(open_, self.player.play([(self.later(s, s.probe()), False) for s in open_])):
                search.learn(run)
        for search in searches:
            self.tool_window(win, search)

    def bound(self, win, cell, step):
        """Where the search for a tool's last winning tap starts: past the step at which the
        hero first comes within two columns of the tool's cell after its tap."""
        near = None
        for m in map(TRACE_CELL.match, win.lines):
            if m and int(m.group(1)) > step and abs(int(m.group(2)) - cell[0]) <= 2:
                near = int(m.group(1))
                break
        return (near if near is not None else step) + PAST_THE_CELL * self.second

    def later(self, search, step):
        lines = list(self.lines)
        lines[search.line] = f"on step {step} use {search.tool} at {search.cell[0]},{search.cell[1]}"
        return lines + [self.expect]

    def window(self, win, search):
        """The steps at which the tool's tap may be made, with the first one too late where that
        placed nothing, each with the camera; a step whose cell lies beyond the screen's left or
        right edge (the hero has not reached it yet, or has left it) is left out by the caller."""
        steps = list(range(search.step - self.second, search.low + 1))
        late = search.late
        if late is not None and (search.tool, *search.cell) not in late.placed():
            steps.append(search.low + 1)
        return [(k, win.cameras[k]) for k in steps if k in win.cameras]

    def report(self, where, what, hidden):
        """One error for the steps [(step, why, by)] at which what was hidden."""
        if hidden:
            self.error(f"{where}{what} {' or '.join(sorted({why for _, why, _ in hidden}))} at {len(hidden)} steps"
                       f" from step {hidden[0][0]} to {hidden[-1][0]}, by up to {round(max(by for _, _, by in hidden))} px")

    def tool_window(self, win, search):
        """The tool's cell and what it goes on while its tap is due; for a ladder, the ledge it
        leads to as well: the ground the hero steps onto, with the room above it from the middle
        of the cell it steps into."""
        bar = self.screen.tool_bar(self.tools)
        ledge = self.ledge(win, search.step, search.cell) if search.tool == "ladder" else None
        hidden, ledge_hidden = [], []
        for k, camera in self.window(win, search):
            box = self.cell_box(camera, search.cell, below(self.level, search.cell))
            if across(box):
                why, by = self.screen.hides_tool(box, bar, CELL * self.screen.pixels(camera) / 2)
                if why:
                    hidden.append((k, why, by))
            if ledge:
                left, top, right, bottom = self.cell_box(camera, ledge, 2)
                box = (left, top + (bottom - top) / 4, right, bottom)
                why, by = self.screen.covered(box, self.covers(False)) if across(box) else ("", 0)
                if why:
                    ledge_hidden.append((k, why, by))
        where = (f"case win: {search.tool} at {search.cell[0]},{search.cell[1]}, tapped at step {search.step} and in"
                 f" time until step {search.low}")
        self.report(where, ", is", hidden)
        if ledge:
            self.report(where, f": the ledge it leads to at {ledge[0]},{ledge[1]} is", ledge_hidden)

    # --- a restart ----------------------------------------------------------------------------

    @staticmethod
    def farthest(win):
        """The step at which the win's camera is farthest from where it began; None when the win
        places no tool."""
        if not win.cameras or not win.placed():
            return None
        start = win.cameras[min(win.cameras)]
        return max(sorted(win.cameras), key=lambda k: abs(win.cameras[k][0] - start[0]) + abs(win.cameras[k][1] - start[1]))

    def restart(self, win, farthest, run):
        """Started again at the step farthest, the camera eases back to the hero, and it must be
        within a cell of the hero's framing a second before the win case's first tool is tapped
        (counted from the hero's new wait at the start)."""
        first, tool, x, y = min((step, *key) for key, step in win.placed().items())
        waits = [int(m.group(1)) for m in map(TRACE_STATE.match, run.lines)
                 if m and m.group(3) == "waiting" and int(m.group(1)) >= farthest]
        if not waits:
            self.error("the level does not start again after a restart")
            return
        settled = None
        for m in map(TRACE_CAMERA.match, run.lines):
            if m and int(m.group(1)) >= waits[0]:
                at, to = m.group(2, 3, 4), m.group(5, 6, 7) if m.group(5) else m.group(2, 3, 4)
                if max(abs(int(a) - int(b)) for a, b in zip(at, to)) <= CELL:
                    settled = int(m.group(1)) - waits[0]
                    break
        if settled is None or settled > first - self.second:
            self.error(f"case win: {tool} at {x},{y} is tapped {first} steps into the level, but after a restart the"
                       f" camera is back on the hero only after {'more' if settled is None else settled} steps: at"
                       f" least {self.second} steps between them are needed")


class Search:
    """The search for the last step at which a tool's tap still wins: from the step it was
    placed at in the win (low, which wins) up to a first bound, then on to a last one while the
    bound still wins, then halving the steps between."""

    def __init__(self, line, tool, cell, step, bound, last):
        self.line, self.tool, self.cell, self.step = line, tool, cell, step
        self.low, self.high, self.last = step, min(bound, last), last
        self.late = None  # the run of the first losing step once known
        self.bounded = False

    def done(self):
        return self.bounded and self.high - self.low <= 1

    def probe(self):
        return self.high if not self.bounded else (self.low + self.high) // 2

    def learn(self, run):
        step = self.probe()
        if not self.bounded:
            if run.met and self.high < self.last:
                self.low, self.high = self.high, self.last
                return
            self.bounded = True
            if run.met:
                self.low = self.high
                return
            self.late = run
            return
        if run.met:
            self.low = step
        else:
            self.high, self.late = step, run


def across(box):
    """Whether a box lies across the screen from left to right (a cell beyond an edge is one the
    hero has not reached yet, or has left)."""
    return box[0] >= -LEEWAY and box[2] <= SCREEN_W + LEEWAY


def below(level, cell):
    """How many rows from the top of a tool's cell the player must see: the cell and the one below
    it, or down to a trap door's lid, which is drawn in the row under the trap door."""
    return 3 if level.at(cell[0], cell[1] + 1) == "_" else 2


def hint_name(level, line):
    hint = next(h for h in level.hints if h["line"] == line)
    return f"at {hint['cell'][0]},{hint['cell'][1]} ({hint['text']})"


def check_played(level, solution, sim, paks, screen, jobs=1, settings=None):
    """All the played checks of the level against its recorded win case."""
    Check(level, solution, Player(sim, paks, level.number, jobs, settings), screen).run()
