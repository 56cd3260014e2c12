// DebugOverlay commands: the built-in command lines, the registered commands and the listings of
// the registry, its callbacks, the assets and the texts.
#include "console/DebugOverlay.h"

#include "engine/core/Any.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/DiskActivity.h"
#include "framework/AssetDict.h"
#include "platform/AbstractApp.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Tarv
{

namespace
{

bool IsOneOf(const NarrowString& line, const char* number, const char* name)
{
    return line == number || line == name;
}

bool StartsWith(const NarrowString& line, const char* prefix)
{
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// strtol in base 10, clamped to the int range; no digits give 0.
int ParseInt(const NarrowString& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

NarrowString DescribeValue(const RegistryKey& key)
{
    const Any value = key.GetValue();
    bool flag = false;
    int number = 0;
    NarrowString text;
    if (value.Read(flag))
        return flag ? ": true" : ": false";
    if (value.Read(number))
        return NarrowString(": ").AppendInt(number);
    if (value.Read(text))
        return ": " + text;
    return NarrowString();
}

} // namespace

void DebugOverlay::ExecuteCommand(const NarrowString& line)
{
    if (IsOneOf(line, "1", "assets"))
        ListAssets();
    else if (IsOneOf(line, "2", "reglist"))
        ListRegistry();
    else if (IsOneOf(line, "3", "regcallbacks"))
        ListRegistryCallbacks();
    else if (StartsWith(line, "regset "))
        SetRegistryValue(line.substr(7));
    else if (IsOneOf(line, "4", "logging")) {
        m_logging = !m_logging;
        Print(m_logging ? "Logging enabled" : "Logging disabled");
    } else if (IsOneOf(line, "5", "texts"))
        ListTexts();
    else if (IsOneOf(line, "6", "plot")) {
        const bool allShown = m_plots[PLOT_FPS] && m_plots[PLOT_MEMORY] && m_plots[PLOT_VIDEO_MEMORY] &&
                              m_plots[PLOT_COUNTER];
        ShowFpsPlot(!allShown);
        ShowMemoryPlot(!allShown);
        ShowVideoMemoryPlot(!allShown);
        ShowCounterPlot(!allShown);
    } else if (IsOneOf(line, "61", "plot f"))
        TogglePlot(PLOT_FPS);
    else if (IsOneOf(line, "62", "plot m"))
        TogglePlot(PLOT_MEMORY);
    else if (IsOneOf(line, "63", "plot v"))
        TogglePlot(PLOT_VIDEO_MEMORY);
    else if (IsOneOf(line, "64", "plot b"))
        TogglePlot(PLOT_COUNTER);
    else if (IsOneOf(line, "7", "exit")) {
        if (AbstractApp::Instance != nullptr)
            AbstractApp::Instance->Quit();
    } else if (IsOneOf(line, "8", "floppy")) {
        m_diskIndicator = !m_diskIndicator;
        TakeDiskActivity();
    } else if (StartsWith(line, "9 "))
        SetTimeSkew(line.substr(2));
    else if (StartsWith(line, "timeskew "))
        SetTimeSkew(line.substr(9));
    else if (IsOneOf(line, "", "help")) {
        for (const NarrowString& help : m_helpLines)
            Print(help);
    } else
        RunRegisteredCommand(line);
}

void DebugOverlay::TogglePlot(PlotSlot slot)
{
    ShowPlot(slot, !m_plots[slot]);
}

void DebugOverlay::SetTimeSkew(const NarrowString& text)
{
    const float skew = static_cast<float>(std::strtod(text.c_str(), nullptr));
    // Negative, huge and non-numeric factors would stall or flood the game's step and the
    // mixer's speed stage: they are refused and the skew stays.
    if (!std::isfinite(skew) || skew < 0.0f || skew > MAX_TIME_SKEW) {
        Print("Time skew must be between 0 and 16");
        return;
    }
    AbstractApp::TimeSkew.store(skew);
}

void DebugOverlay::RegisterCommand(const NarrowString& name, CommandCallback callback, void* user,
                                   const NarrowString& help)
{
    m_commands.emplace(name, Command{callback, user});
    m_helpLines.push_back(help.empty() ? name : NarrowString(name + ": " + help));
}

void DebugOverlay::RunRegisteredCommand(const NarrowString& line)
{
    const std::size_t blank = line.rfind(' ');
    const NarrowString name = blank == NarrowString::npos ? line : NarrowString(line.substr(0, blank));
    const NarrowString arguments = blank == NarrowString::npos ? NarrowString() : line.substr(blank + 1);
    const auto found = m_commands.find(name);
    if (found == m_commands.end() || found->second.callback == nullptr) {
        Print("Unknown command");
        return;
    }
    found->second.callback(found->second.user, arguments);
}

void DebugOverlay::SetRegistryValue(const NarrowString& arguments)
{
    Registry* registry = Registry::Instance.Get();
    if (registry == nullptr) {
        Print("Registry not available");
        return;
    }
    const std::size_t blank = arguments.find(' ');
    if (blank == NarrowString::npos) {
        Print("Bad params");
        return;
    }
    const NarrowString value = arguments.substr(blank + 1);
    if (value.empty()) {
        Print("Empty value");
        return;
    }
    const NarrowString path = arguments.substr(0, blank);
    if (registry->FindKey(path, true) == nullptr) {
        Print("Bad registry path");
        return;
    }
    const char first = value.front();
    const char last = value.back();
    const bool stored = registry->UpdateKey(path, [&](RegistryKey& key) {
        if (value == "true" || value == "false")
            return key.SetBool(value == "true");
        if (first == last && (first == '\'' || first == '"'))
            return key.SetString(value.size() < 2 ? NarrowString() : value.substr(1, value.size() - 2));
        return key.SetInt(ParseInt(value));
    });
    if (!stored)
        Print("Setting registry value failed");
}

void DebugOverlay::ListRegistry()
{
    Registry* registry = Registry::Instance.Get();
    if (registry == nullptr) {
        Print("Registry not available");
        return;
    }
    // Listed under the registry's lock, printed after it.
    std::vector<NarrowString> lines;
    registry->VisitTree([&](const RegistryNode& root) { ListRegistryNode("root", root, 0, lines); });
    for (const NarrowString& line : lines)
        Print(line);
}

void DebugOverlay::ListRegistryNode(const NarrowString& name, const RegistryNode& node, int indent,
                                    std::vector<NarrowString>& lines)
{
    lines.push_back(NarrowString(static_cast<std::size_t>(indent), ' ') + "[" + name + "]");
    const NarrowString keyIndent(static_cast<std::size_t>(indent) + 2, ' ');
    for (const auto& key : node.GetKeys())
        lines.push_back(keyIndent + key.first + DescribeValue(*key.second));
    for (const auto& child : node.GetChildren())
        ListRegistryNode(child.first, *child.second, indent + 2, lines);
}

void DebugOverlay::ListRegistryCallbacks()
{
    Registry* registry = Registry::Instance.Get();
    if (registry == nullptr) {
        Print("Registry not available");
        return;
    }
    std::map<NarrowString, std::vector<NarrowString>> byPrefix;
    for (const Registry::CallbackInfo& info : registry->GetCallbackInfos())
        byPrefix[info.prefix].push_back(info.description);
    for (const auto& group : byPrefix) {
        Print(group.first);
        for (const NarrowString& description : group.second)
            Print("  " + description);
    }
}

void DebugOverlay::ListAssets()
{
    AssetDict* assets = AssetDict::Instance.Get();
    if (assets == nullptr) {
        Print("AssetDict not available");
        return;
    }
    Print("Assets maintained by AssetDict:");
    for (const AssetDict::EntryInfo& entry : assets->ListEntries())
        Print((entry.held ? "C " : entry.live ? "* " : "  ") + entry.key);
}

void DebugOverlay::ListTexts()
{
    TextDict* texts = TextDict::Instance.Get();
    if (texts == nullptr) {
        Print("TextDict not available");
        return;
    }
    for (const auto& entry : texts->GetEntries())
        Print(entry.first + " -> " + NarrowString(entry.second));
}

} // namespace Tarv
