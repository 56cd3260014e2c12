// pirrock-sim's command line.
#include "tools/sim/SimProgram.h"

#include "tools/HelpOption.h"
#include "tools/sim/HeadlessGame.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace Pirrock
{

namespace
{

constexpr const char* USAGE =
    "usage: pirrock-sim [--paks DIR] [--level N] [--solution FILE | --replay FILE] [--case NAME]...\n"
    "                   [--auto] [--tutorial] [--set KEY=VALUE]... [--seed N] [--time S] [--camera N]\n"
    "                   [--trace FILE]\n"
    "  Plays level N headless: no window, GL or sound device, a fixed logic step.\n"
    "  --paks DIR       the folder of platform.pak, common.pak and atlas.pak (default: the program's)\n"
    "  --level N        the level (default: the number of an NN.sol file name)\n"
    "  --solution FILE  the level's recorded cases, each with its expect line; --case picks some\n"
    "                   by name (default: all)\n"
    "  --replay FILE    a replay in the same form; lines before any \"case\" make one case\n"
    "  --auto           the auto-test run: every tool placed as the hero passes; expects a win\n"
    "  --tutorial       hints shown (off by default), each closed a second after it shows\n"
    "  --set KEY=VALUE  a setting after the defaults (\"dev/infinite_lives=true\")\n"
    "  --time S         the level's time allowance in seconds instead of its own\n"
    "  --seed N         the seed of play's random numbers (default: the level number)\n"
    "  --camera N       the camera's line also every N steps (default: when its mode changes)\n"
    "  --trace FILE     the trace to FILE instead of standard output\n"
    "Status: 0 every case met its expectation, 1 one did not, 2 bad input or a trace not written.\n";

struct Arguments
{
    SimOptions options;
    std::string script;
    std::vector<std::string> cases;
    std::string tracePath;
    bool levelGiven = false;
    bool recorded = false; // --solution: the cases must say how they end
};

bool ReadNumber(const std::string& text, long low, long high, long& out)
{
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && out >= low && out <= high;
}

std::string ProgramFolder(const char* argv0)
{
    const std::string path = argv0 != nullptr ? argv0 : "";
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The level of a file named NN.sol, or 0.
int LevelOfFile(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    long level = 0;
    const std::size_t dot = name.find('.');
    return dot != std::string::npos && ReadNumber(name.substr(0, dot), 1, 999, level) ? static_cast<int>(level) : 0;
}

bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error)
{
    args.options.paks = ProgramFolder(argc > 0 ? argv[0] : nullptr);
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--auto" || option == "--tutorial") {
            (option == "--auto" ? args.options.autoTest : args.options.tutorial) = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "unknown option or missing value: " + option;
            return false;
        }
        const std::string value = argv[++i];
        long number = 0;
        if (option == "--paks") {
            args.options.paks = value;
        } else if (option == "--level" && ReadNumber(value, 1, 999, number)) {
            args.options.level = static_cast<int>(number);
            args.levelGiven = true;
        } else if (option == "--seed" && ReadNumber(value, 1, 0x7FFFFFFF, number)) {
            args.options.seed = static_cast<std::uint32_t>(number);
        } else if (option == "--time" && ReadNumber(value, 1, 3600, number)) {
            args.options.time = static_cast<int>(number);
        } else if (option == "--camera" && ReadNumber(value, 1, 0x7FFFFFFF, number)) {
            args.options.cameraEvery = static_cast<int>(number);
        } else if (option == "--solution" || option == "--replay") {
            args.script = value;
            args.recorded = option == "--solution";
        } else if (option == "--case") {
            args.cases.push_back(value);
        } else if (option == "--trace") {
            args.tracePath = value;
        } else if (option == "--set" && value.find('=') != std::string::npos && value.find('=') > 0) {
            args.options.settings.emplace_back(value.substr(0, value.find('=')), value.substr(value.find('=') + 1));
        } else {
            error = "bad option or value: " + option + " " + value;
            return false;
        }
    }
    if (!args.levelGiven && !args.script.empty())
        args.options.level = LevelOfFile(args.script);
    if (args.options.level < 1) {
        error = "no level: give --level N";
        return false;
    }
    return true;
}

bool LoadCases(const Arguments& args, std::vector<SimCase>& cases, std::string& error)
{
    if (args.script.empty()) {
        SimCase run{args.options.autoTest ? "auto" : "empty", {}, {}, 0};
        if (args.options.autoTest)
            run.expect.outcome = SimExpectation::WIN;
        cases.push_back(run);
        return true;
    }
    std::ifstream file(args.script, std::ios::binary);
    if (!file) {
        error = args.script + ": cannot read the file";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<SimCase> all;
    if (!ParseSimScript(text.str(), all, error)) {
        error = args.script + ": " + error;
        return false;
    }
    // A recorded file that lost its cases or an expect line would otherwise pass with nothing
    // checked.
    if (args.recorded && all.empty()) {
        error = args.script + ": no case in the file";
        return false;
    }
    for (const SimCase& simCase : all) {
        if (args.recorded && !simCase.expected) {
            error = args.script + ": case " + simCase.name + " has no expect line";
            return false;
        }
    }
    for (const SimCase& simCase : all) {
        bool chosen = args.cases.empty();
        for (const std::string& name : args.cases)
            chosen = chosen || name == simCase.name;
        if (chosen)
            cases.push_back(simCase);
    }
    for (const std::string& name : args.cases) {
        bool found = false;
        for (const SimCase& simCase : cases)
            found = found || simCase.name == name;
        if (!found) {
            error = args.script + ": no case " + name;
            return false;
        }
    }
    return true;
}

} // namespace

int RunSimProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        out << USAGE;
        return 0;
    }
    Arguments args;
    std::string error;
    std::vector<SimCase> cases;
    if (!ParseArguments(argc, argv, args, error) || !LoadCases(args, cases, error)) {
        err << "pirrock-sim: " << error << '\n' << USAGE;
        return 2;
    }
    std::ofstream traceFile;
    if (!args.tracePath.empty()) {
        traceFile.open(args.tracePath, std::ios::binary | std::ios::trunc);
        if (!traceFile) {
            err << "pirrock-sim: " << args.tracePath << ": cannot write the trace\n";
            return 2;
        }
    }
    std::ostream& trace = args.tracePath.empty() ? out : traceFile;
    int status = 0;
    for (const SimCase& simCase : cases) {
        SimResult result;
        if (!RunSimCase(args.options, simCase, trace, result, error)) {
            err << "pirrock-sim: " << error << '\n';
            return 2;
        }
        // A trace that was not written (a full disk) is no record of the run.
        if (!trace.flush()) {
            err << "pirrock-sim: " << (args.tracePath.empty() ? "standard output" : args.tracePath)
                << ": cannot write the trace\n";
            return 2;
        }
        err << "level " << args.options.level << " case " << simCase.name << ": "
            << (result.met ? "met" : "FAILED, " + result.failure) << " (" << result.steps << " steps, " << result.timeLeft
            << " s left, fruit " << result.fruit << "/" << result.fruitMax << ")\n";
        if (!result.met)
            status = 1;
    }
    return status;
}

} // namespace Pirrock
