// Pirrock::SimScript: the cases a headless run replays. One text form serves both the level's
// recorded cases (NN.sol beside the level source) and hand-written replays: "case NAME" starts a
// case (a file without one is a single case named "replay"), "on TRIGGER ACTION" lines say what
// to do and when ("+N" after the trigger: N steps later), and one "expect" line says how the case
// must end.
#pragma once

#include <string>
#include <vector>

namespace Pirrock
{

struct SimTrigger
{
    enum Kind { STEP, TIME, HERO };
    Kind kind = STEP;
    int step = 0;       // STEP: logic steps since the play state entered
    float seconds = 0;  // TIME: seconds since the hero started running
    int x = 0, y = 0;   // HERO: the hero's cell...
    int visit = 1;      // ...the visit-th time it becomes the hero's cell
    int delay = 0;      // the action comes this many steps after the trigger ("+N")
};

struct SimAction
{
    enum Kind { USE, TAP, TOUCH, SELECT, TILT, KEY, HUD };
    Kind kind = TAP;
    std::string name; // USE, SELECT: the tool; KEY: the key's name or code; HUD: the command
    int x = 0, y = 0;  // USE, TAP: a cell; TOUCH: a screen point
    float value = 0;   // TILT: the sideways tilt
};

struct SimStep
{
    SimTrigger trigger;
    SimAction action;
    bool optional = false;
    int line = 0;
};

// How the case must end, and what must hold then.
struct SimExpectation
{
    enum Outcome { NONE, WIN, NOT_WIN, LATE, LOSE };
    Outcome outcome = NONE;
    int trap = -1;                // LOSE: the "runtime/trap" code, -1 for any
    int atX = -1, atY = -1;       // LOSE: the hero's cell (a coordinate of -1 matches any)
    int fruit = -1;               // the fruit taken; -1 no check
    enum FruitRule { ANY, ALL, FEWER_THAN_ALL, EXACTLY } fruitRule = ANY;
    int timeLeftMin = -1, timeLeftMax = -1;
    int scoreMin = -1;
    bool placedNone = false;
    std::vector<std::pair<std::string, int>> placed; // tool, count
    std::vector<std::string> sounds;                 // names; a trailing '*' matches a prefix
};

struct SimCase
{
    std::string name;
    std::vector<SimStep> steps;
    SimExpectation expect;
    int line = 0;
    bool expected = false; // the case has its expect line
};

// Reads the text; false with error set ("line N: ...") on the first line it cannot read, or on
// a case with two expect lines or two outcomes. A case without an expect line is only traced
// (a replay's); recorded cases must have one (see RunSimProgram).
bool ParseSimScript(const std::string& text, std::vector<SimCase>& cases, std::string& error);

// The outcome as the files write it ("win", "lose trap 16 at 12,*").
std::string DescribeOutcome(const SimExpectation& expect);

} // namespace Pirrock
