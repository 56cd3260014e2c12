// Reading the cases of a headless run.
#include "tools/sim/SimScript.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace Pirrock
{

namespace
{

bool ReadInt(const std::string& word, int& out)
{
    if (word.empty() || word.size() > 9)
        return false;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    out = std::atoi(word.c_str());
    return true;
}

bool ReadFloat(const std::string& word, float& out)
{
    char* end = nullptr;
    const float value = std::strtof(word.c_str(), &end);
    if (word.empty() || end == nullptr || *end != '\0' || !(value == value) || value > 1e6f || value < -1e6f)
        return false;
    out = value;
    return true;
}

// "X,Y"; with allowAny a '*' stands for any value (-1).
bool ReadCell(const std::string& word, int& x, int& y, bool allowAny = false)
{
    const std::size_t comma = word.find(',');
    if (comma == std::string::npos)
        return false;
    const std::string second = word.substr(comma + 1);
    if (allowAny && second == "*") {
        y = -1;
        return ReadInt(word.substr(0, comma), x);
    }
    return ReadInt(word.substr(0, comma), x) && ReadInt(second, y);
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Expect items are separated by commas; the comma of a cell ("12,6", "12,*") is not one.
std::vector<std::string> Items(const std::string& text)
{
    std::vector<std::string> items(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool inCell = i > 0 && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
                            (std::isdigit(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '*');
        if (text[i] == ',' && !inCell)
            items.emplace_back();
        else
            items.back() += text[i];
    }
    return items;
}

bool ParseWhen(const std::vector<std::string>& w, std::size_t& i, SimTrigger& trigger)
{
    if (i + 1 >= w.size())
        return false;
    const std::string& kind = w[i++];
    if (kind == "step") {
        trigger.kind = SimTrigger::STEP;
        return ReadInt(w[i++], trigger.step);
    }
    if (kind == "time") {
        trigger.kind = SimTrigger::TIME;
        return ReadFloat(w[i++], trigger.seconds) && trigger.seconds >= 0;
    }
    if (kind != "hero" || !ReadCell(w[i++], trigger.x, trigger.y))
        return false;
    trigger.kind = SimTrigger::HERO;
    if (i < w.size() && w[i].size() > 1 && w[i][0] == '#')
        return ReadInt(w[i++].substr(1), trigger.visit) && trigger.visit >= 1;
    return true;
}

bool ParseTrigger(const std::vector<std::string>& w, std::size_t& i, SimTrigger& trigger)
{
    if (!ParseWhen(w, i, trigger))
        return false;
    if (i < w.size() && w[i].size() > 1 && w[i][0] == '+')
        return ReadInt(w[i++].substr(1), trigger.delay);
    return true;
}

bool ParseAction(const std::vector<std::string>& w, std::size_t& i, SimAction& action)
{
    if (i + 1 >= w.size())
        return false;
    const std::string& kind = w[i++];
    if (kind == "use") {
        action.kind = SimAction::USE;
        action.name = w[i++];
        return i + 1 < w.size() && w[i++] == "at" && ReadCell(w[i++], action.x, action.y);
    }
    if (kind == "tap") {
        action.kind = SimAction::TAP;
        return ReadCell(w[i++], action.x, action.y);
    }
    if (kind == "touch") {
        action.kind = SimAction::TOUCH;
        return ReadCell(w[i++], action.x, action.y);
    }
    if (kind == "tilt") {
        action.kind = SimAction::TILT;
        return ReadFloat(w[i++], action.value);
    }
    static const std::pair<const char*, SimAction::Kind> NAMED[] = {
        {"select", SimAction::SELECT}, {"key", SimAction::KEY}, {"hud", SimAction::HUD}};
    for (const auto& [word, named] : NAMED) {
        if (kind == word) {
            action.kind = named;
            action.name = w[i++];
            return true;
        }
    }
    return false;
}

bool ParseOutcome(const std::vector<std::string>& w, SimExpectation& expect)
{
    std::size_t i = 1;
    if (w[0] == "win" || w[0] == "late") {
        expect.outcome = w[0] == "win" ? SimExpectation::WIN : SimExpectation::LATE;
        return w.size() == 1;
    }
    if (w[0] == "not") {
        expect.outcome = SimExpectation::NOT_WIN;
        return w.size() == 2 && w[1] == "win";
    }
    expect.outcome = SimExpectation::LOSE;
    if (i + 1 < w.size() && w[i] == "trap" && ReadInt(w[i + 1], expect.trap))
        i += 2;
    if (i + 1 < w.size() && w[i] == "at" && ReadCell(w[i + 1], expect.atX, expect.atY, true))
        i += 2;
    return i == w.size();
}

bool ParseClause(const std::vector<std::string>& w, SimExpectation& expect)
{
    const std::string& first = w[0];
    if (first == "fruit" && w.size() == 2 && w[1] == "all") {
        expect.fruitRule = SimExpectation::ALL;
        return true;
    }
    if (first == "fruit" && w.size() == 3 && w[1] == "<" && w[2] == "all") {
        expect.fruitRule = SimExpectation::FEWER_THAN_ALL;
        return true;
    }
    if (first == "fruit" && w.size() == 2) {
        expect.fruitRule = SimExpectation::EXACTLY;
        return ReadInt(w[1], expect.fruit);
    }
    if (first == "time-left" && w.size() == 3 && (w[1] == ">=" || w[1] == "<="))
        return ReadInt(w[2], w[1] == ">=" ? expect.timeLeftMin : expect.timeLeftMax);
    if (first == "score" && w.size() == 3 && w[1] == ">=")
        return ReadInt(w[2], expect.scoreMin);
    if (first == "sound" && w.size() == 2) {
        expect.sounds.push_back(w[1]);
        return true;
    }
    if (first == "placed" && w.size() == 2 && w[1] == "none") {
        expect.placedNone = true;
        return true;
    }
    int count = 0;
    if (first == "placed" && w.size() == 3 && ReadInt(w[2], count)) {
        expect.placed.emplace_back(w[1], count);
        return true;
    }
    return false;
}

bool ParseExpect(const std::string& text, SimExpectation& expect, std::string& why)
{
    for (const std::string& item : Items(text)) {
        const std::vector<std::string> w = Words(item);
        if (w.empty()) {
            why = "an empty expectation";
            return false;
        }
        const bool outcome = w[0] == "win" || w[0] == "not" || w[0] == "late" || w[0] == "lose";
        if (outcome && expect.outcome != SimExpectation::NONE) {
            why = "a second outcome";
            return false;
        }
        if (!(outcome ? ParseOutcome(w, expect) : ParseClause(w, expect))) {
            why = "cannot read '" + item + "'";
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseSimScript(const std::string& text, std::vector<SimCase>& cases, std::string& error)
{
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find(';'));
        const std::vector<std::string> w = Words(line);
        if (w.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (w[0] == "case" && w.size() == 2) {
            cases.push_back({w[1], {}, {}, number});
            continue;
        }
        if (cases.empty())
            cases.push_back({"replay", {}, {}, number});
        SimCase& current = cases.back();
        if (w[0] == "expect") {
            if (current.expected) {
                error = where + "case " + current.name + " has a second expect line";
                return false;
            }
            std::string why;
            if (!ParseExpect(line.substr(line.find("expect") + 6), current.expect, why)) {
                error = where + why;
                return false;
            }
            current.expected = true;
            continue;
        }
        SimStep step;
        step.line = number;
        std::size_t i = 1;
        if (w[0] != "on" || !ParseTrigger(w, i, step.trigger) || !ParseAction(w, i, step.action)) {
            error = where + "cannot read '" + line + "'";
            return false;
        }
        step.optional = i < w.size() && w[i] == "optional";
        if (i + (step.optional ? 1 : 0) != w.size()) {
            error = where + "cannot read '" + line + "'";
            return false;
        }
        current.steps.push_back(step);
    }
    return true;
}

std::string DescribeOutcome(const SimExpectation& expect)
{
    switch (expect.outcome) {
    case SimExpectation::WIN:
        return "win";
    case SimExpectation::NOT_WIN:
        return "not win";
    case SimExpectation::LATE:
        return "late";
    case SimExpectation::LOSE: {
        std::string text = "lose";
        if (expect.trap >= 0)
            text += " trap " + std::to_string(expect.trap);
        if (expect.atX >= 0)
            text += " at " + std::to_string(expect.atX) + "," + (expect.atY >= 0 ? std::to_string(expect.atY) : "*");
        return text;
    }
    default:
        return "none";
    }
}

} // namespace Pirrock
