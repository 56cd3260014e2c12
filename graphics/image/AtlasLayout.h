// Tarv::AtlasLayout: reads an atlas XML document into its named regions of the page image, and
// derives the page's image name from the document's path. Data only: the atlas surfaces that
// draw these regions are built from it.
#pragma once

#include "engine/core/NarrowString.h"

#include <vector>

namespace Tarv
{

class XmlPtr;

struct AtlasRegion
{
    NarrowString name; // the "id", followed by "@" and the atlas option when there is one
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class AtlasLayout
{
public:
    // The "rect" children of the root, in document order. A missing "x", "y", "width" or
    // "height" keeps the previous rect's value; rects before the first one that gives all four
    // are skipped. A negative size makes a region that draws nothing. A name already taken
    // keeps its first rect. False (regions empty) for a null document or one without root.
    static bool Parse(const XmlPtr& document, const NarrowString& option,
                      std::vector<AtlasRegion>& regions);
    // Parse of the virtual file at path; false when it cannot be opened or parsed.
    static bool ParseFile(const NarrowString& path, const NarrowString& option,
                          std::vector<AtlasRegion>& regions);
    // The path with its last three characters replaced by "png" ("menu.xml" -> "menu.png",
    // "menu.txt" -> "menu.png"); empty for a path shorter than three characters.
    static NarrowString GetPageImageName(const NarrowString& xmlPath);
};

} // namespace Tarv
