// Path helpers: components from the end, short and full extensions, base names.
#include "engine/core/Path.h"

#include <gtest/gtest.h>

#include <ostream>

using Tarv::GetBaseName;
using Tarv::GetExtension;
using Tarv::GetPathComponent;

namespace
{

struct ComponentCase
{
    const char* path;
    int n;
    const char* component;
};

void PrintTo(const ComponentCase& c, std::ostream* os)
{
    *os << '"' << c.path << "\" " << c.n;
}

class PathComponent : public ::testing::TestWithParam<ComponentCase>
{
};

// Missing components, negative counts and the empty pieces around and between slashes are empty.
INSTANTIATE_TEST_SUITE_P(Paths, PathComponent,
    ::testing::Values(ComponentCase{"a/b/c.png", 0, "c.png"}, ComponentCase{"a/b/c.png", 1, "b"},
        ComponentCase{"a/b/c.png", 2, "a"}, ComponentCase{"a/b/c.png", 3, ""},
        ComponentCase{"music/menu_music.ogg", 1, "music"}, ComponentCase{"c.png", 0, "c.png"},
        ComponentCase{"c.png", 1, ""}, ComponentCase{"a/b", -1, ""}, ComponentCase{"", 0, ""},
        ComponentCase{"", 2, ""}, ComponentCase{"a/b/", 0, ""}, ComponentCase{"a/b/", 1, "b"},
        ComponentCase{"/a", 1, ""}, ComponentCase{"/a", 2, ""}, ComponentCase{"a//b", 1, ""},
        ComponentCase{"a//b", 2, "a"}, ComponentCase{"/", 0, ""}));

TEST_P(PathComponent, CountsFromTheEnd)
{
    EXPECT_EQ(GetPathComponent(GetParam().path, GetParam().n), GetParam().component);
}

} // namespace

namespace
{

// What each name helper gives for one path.
struct NameCase
{
    const char* path;
    const char* extension;
    const char* extensionWithDot;
    const char* baseName;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << '"' << c.path << '"';
}

class PathNames : public ::testing::TestWithParam<NameCase>
{
};

// The short extension keeps its three-character form (with the first three characters of a
// path without ".").
INSTANTIATE_TEST_SUITE_P(Paths, PathNames,
    ::testing::Values(NameCase{"sounds/x.ogg", "ogg", ".ogg", "x"},
        NameCase{"scripts/menu.lua", "lua", ".lua", "menu"},
        NameCase{"menu", "men", "", "menu"},
        NameCase{"music/menu_music.ogg", "ogg", ".ogg", "menu_music"},
        NameCase{"a.b.lua", "lua", ".lua", "a.b"},
        NameCase{"photo.JPEG", "JPE", ".JPE", "photo"},
        NameCase{"x.pngx", "png", ".png", "x"},
        NameCase{"a/x.PNG", "PNG", ".PNG", "x"},
        NameCase{"a/x.tar.gz", "gz", ".gz", "x.tar"},
        NameCase{"a.h", "h", ".h", "a"},
        NameCase{"c.", "", ".", "c"},
        NameCase{"ab", "ab", "", "ab"},
        NameCase{"dir.d/readme", "d/r", ".d/r", "readme"},
        NameCase{"a/.ogg", "ogg", ".ogg", ""},
        NameCase{"a/", "a/", "", ""},
        NameCase{"", "", "", ""}));

TEST_P(PathNames, GiveExtensionsAndBaseName)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(GetExtension(c.path), c.extension);
    EXPECT_EQ(GetExtension(c.path, true), c.extensionWithDot);
    EXPECT_EQ(GetBaseName(c.path), c.baseName);
}

} // namespace
