#include "game/Tutorial.h"

#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace Pirrock
{

namespace
{

// Decimal as strtol reads it: blanks and a sign first, stopping at the first non-digit; no
// digits read 0, and values beyond int stay at its limits.
int ReadInt(const char* text)
{
    if (!text)
        return 0;
    const long value = std::strtol(text, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

const char* ChildText(const Tarv::XmlIterator& event, const char* name)
{
    const Tarv::XmlIterator child(event, name);
    return child.IsValid() ? child.GetText() : nullptr;
}

} // namespace

bool TutorialManager::LoadForLevel(int level)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(("tutorials/" + std::to_string(level) + ".xml").c_str());
    return document && ReadXml(document);
}

bool TutorialManager::ReadXml(const Tarv::XmlPtr& document)
{
    const Tarv::XmlIterator root(document);
    if (!root.IsValid() || std::string(root.GetName()) != "tutorial")
        return false;
    for (Tarv::XmlIterator event(root, "event"); event.IsValid(); event.Next()) {
        const char* x = event.GetAttribute("x");
        const char* y = event.GetAttribute("y");
        if (!x || !y)
            return false;
        auto hint = std::make_unique<TutorialEvent>();
        if (const char* text = ChildText(event, "text"))
            hint->text = text;
        if (hint->text.empty())
            return false;
        if (const char* icon = ChildText(event, "icon"))
            hint->icon = icon;
        const Tarv::XmlIterator arrow(event, "arrow");
        if (arrow.IsValid() && arrow.GetAttribute("x") && arrow.GetAttribute("y"))
            hint->arrow = Cell{ReadInt(arrow.GetAttribute("x")), ReadInt(arrow.GetAttribute("y"))};
        if (const char* tool = ChildText(event, "tool"))
            hint->tool = ReadInt(tool);
        m_events.emplace(std::make_pair(ReadInt(y), ReadInt(x)), std::move(hint));
    }
    m_loaded = true;
    return true;
}

TutorialEvent* TutorialManager::FindEventAt(const Cell& cell)
{
    if (!m_enabled || !m_loaded)
        return nullptr;
    const auto found = m_events.find({cell.y, cell.x});
    return found != m_events.end() ? found->second.get() : nullptr;
}

void TutorialManager::SetEventEnabled(const Cell& cell, bool enabled)
{
    const auto found = m_events.find({cell.y, cell.x});
    if (found != m_events.end())
        found->second->enabled = enabled;
}

bool TutorialManager::IsToolUsed(CellCode code) const
{
    return std::find(m_usedTools.begin(), m_usedTools.end(), code) != m_usedTools.end();
}

void TutorialManager::SetToolUsed(CellCode code)
{
    if (!IsToolUsed(code))
        m_usedTools.push_back(code);
}

void TutorialManager::Clear()
{
    m_events.clear();
    m_loaded = false;
}

} // namespace Pirrock
