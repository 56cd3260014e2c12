// The code-map reader: sizes first, then every item checked against the grid.
#include "game/CodeMap.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "game/GameLog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Pirrock
{

namespace
{

std::string CellText(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool ReadSizes(const Tarv::XmlIterator& root, const Tarv::NarrowString& path, CodeMap& map)
{
    const char* names[] = {"width", "height", "tile-width", "tile-height"};
    int* targets[] = {&map.width, &map.height, &map.cellWidth, &map.cellHeight};
    for (int i = 0; i < 4; ++i) {
        if (!root.GetAttributeInt(names[i], *targets[i])) {
            GameLogPrint(path + ": the code map has no number in \"" + names[i] + "\"");
            return false;
        }
    }
    if (!IsUsableGeometry(map.width, map.height, map.cellWidth, map.cellHeight)) {
        GameLogPrint(path + ": unusable grid of " + std::to_string(map.width) + " x " + std::to_string(map.height) +
                     " cells of " + std::to_string(map.cellWidth) + " x " + std::to_string(map.cellHeight) + " units");
        return false;
    }
    return true;
}

// Reads one item; false when it is to be left out (code 0 silently, others with a line).
bool ReadItem(const Tarv::XmlIterator& element, const Tarv::NarrowString& path, const CodeMap& map,
              std::vector<bool>& seen, LevelItem& item)
{
    int code = CODE_NONE;
    element.GetTextInt(code);
    if (code == CODE_NONE)
        return false;
    int x = 0, y = 0;
    if (!element.GetAttributeInt("x", x) || !element.GetAttributeInt("y", y)) {
        GameLogPrint(path + ": an item of code " + std::to_string(code) + " without \"x\" or \"y\" is left out");
        return false;
    }
    if (x < 0 || x >= map.width || y < 0 || y >= map.height) {
        GameLogPrint(path + ": the item of code " + std::to_string(code) + " at " + CellText(x, y) +
                     " lies outside the grid and is left out");
        return false;
    }
    const std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(map.width) + static_cast<std::size_t>(x);
    if (seen[index]) {
        GameLogPrint(path + ": cell " + CellText(x, y) + " is given again; code " + std::to_string(code) +
                     " replaces the earlier item");
    }
    seen[index] = true;
    item = LevelItem{code, x, y};
    return true;
}

} // namespace

bool IsUsableGeometry(int width, int height, int cellWidth, int cellHeight)
{
    return width > 0 && height > 0 && width <= MAX_GRID_SIDE && height <= MAX_GRID_SIDE &&
           std::int64_t(width) * height <= MAX_GRID_CELLS && cellWidth > 0 && cellHeight > 0 &&
           cellWidth <= MAX_CELL_SIZE && cellHeight <= MAX_CELL_SIZE;
}

bool ReadCodeMap(const Tarv::NarrowString& path, CodeMap& out)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(path);
    const Tarv::XmlIterator root(document);
    if (!root.IsValid()) {
        GameLogPrint(path + ": the code map is missing or is not well-formed XML");
        return false;
    }
    CodeMap map;
    if (!ReadSizes(root, path, map))
        return false;

    std::vector<bool> seen(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height));
    for (Tarv::XmlIterator element(root, "item"); element.IsValid(); element.Next()) {
        LevelItem item;
        if (!ReadItem(element, path, map, seen, item))
            continue;
        map.items.push_back(item);
        // The start lies one column right of the marker, past the grid for a marker in the last
        // column (the World reads no cell outside it); a later marker wins.
        if (item.code == CODE_PIRROCK)
            map.heroStart = Cell{item.x + 1, item.y};
    }
    out = std::move(map);
    return true;
}

} // namespace Pirrock
