// Pirrock::RunSimCase: one case of a level played headless, start to end, with the same game code
// as the real program (the game machine, the play state with its HUD script, the director, the
// World, the physics and process managers in their order). Only the edges differ: GL calls are
// counted and never made, the mixer has no device, the loads run inline, time is the fixed logic
// step, the random numbers are seeded, and input comes from the case. Every event goes to the
// trace as "STEP EVENT"; the same archives and case give the same trace byte for byte.
#pragma once

#include "tools/sim/SimScript.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace Pirrock
{

struct SimOptions
{
    std::string paks;       // the folder of platform.pak, common.pak and atlas.pak
    int level = 1;
    // Hints on (off by default, as for a player who has seen them); each one is closed a second
    // after it shows, as a player who reads it and taps "Got it".
    bool tutorial = false;
    bool autoTest = false;  // "dev/enable_auto_test": every tool placed where the hero passes
    // Settings written after the defaults and again once the level has loaded, so that they
    // also override what the load sets (relative to the settings root, or "/..." absolute).
    std::vector<std::pair<std::string, std::string>> settings;
    // The seed of play's random numbers; the level number when 0.
    std::uint32_t seed = 0;
    // The level's time in seconds instead of its own when above 0 (a run out of time).
    int time = 0;
    // Extra seconds beyond the level's time before a run that neither won nor lost stops.
    int graceSeconds = 10;
    // The camera's line also every this many steps (0: only when its mode changes).
    int cameraEvery = 0;
};

struct SimResult
{
    enum Outcome { NONE, WIN, LOSE, LATE };
    Outcome outcome = NONE;  // NONE: the budget ran out, or play was left
    int steps = 0;
    int trap = 0;
    int heroX = 0, heroY = 0;
    int fruit = 0, fruitMax = 0;
    int score = 0, lives = 0, timeLeft = 0;
    std::vector<std::pair<std::string, int>> placed;  // tool, times placed
    std::vector<std::string> sounds;                  // every sound played, in order
    bool met = false;         // the case's expectation held
    std::string failure;      // why not, when not
};

// False with error when the run could not start (archives, settings or level missing).
bool RunSimCase(const SimOptions& options, const SimCase& simCase, std::ostream& trace, SimResult& result,
                std::string& error);

// Whether the result meets the expectation; failure says why not.
bool CheckExpectation(const SimExpectation& expect, const SimResult& result, std::string& failure);

} // namespace Pirrock
