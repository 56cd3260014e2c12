// Pirrock::TutorialManager: the hints of a level's tutorial file ("tutorials/" + level + ".xml"),
// kept by the cell where play stops to show them, with the tools the player has used.
//
// File: a root "tutorial" with "event" children, each with attributes "x" and "y" (its cell) and
// the children "text" (required), "icon", "arrow" (attributes "x" and "y") and "tool" (a code).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/Xml.h"
#include "game/Cell.h"
#include "game/CellCode.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace Pirrock
{

struct TutorialEvent
{
    bool enabled = true;
    Tarv::NarrowString text;
    Tarv::NarrowString icon;
    Cell arrow = NO_CELL;  // no arrow while either coordinate is negative
    CellCode tool = CODE_NONE;
};

class TutorialManager : public Tarv::RefCounter
{
public:
    // Reads the level's file; false when it is missing, not XML or not a complete tutorial.
    bool LoadForLevel(int level);
    // Adds the document's hints (the first for a cell stays); false, and not loaded, for a root
    // other than "tutorial", an event without "x" or "y" or one without text. Hints read before
    // the failure are kept but never found.
    bool ReadXml(const Tarv::XmlPtr& document);
    // The hint of cell while the tutorial is enabled and loaded, else null; valid until Clear.
    TutorialEvent* FindEventAt(const Cell& cell);
    void SetEventEnabled(const Cell& cell, bool enabled);
    bool IsToolUsed(CellCode code) const;
    void SetToolUsed(CellCode code);
    // Drops every hint and the loaded mark; the used tools stay.
    void Clear();

    bool IsLoaded() const { return m_loaded; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    // Ordered by row, then column.
    std::map<std::pair<int, int>, std::unique_ptr<TutorialEvent>> m_events;
    std::vector<CellCode> m_usedTools;
    bool m_loaded = false;
    bool m_enabled = true;
};

} // namespace Pirrock
