// Path helpers: components from the end, short and full extensions, base names.
#include "engine/core/Path.h"

#include <gtest/gtest.h>

using Tarv::GetBaseName;
using Tarv::GetExtension;
using Tarv::GetFullExtension;
using Tarv::GetPathComponent;

TEST(GetPathComponent, CountsComponentsFromTheEnd)
{
    EXPECT_EQ(GetPathComponent("a/b/c.png", 0), "c.png");
    EXPECT_EQ(GetPathComponent("a/b/c.png", 1), "b");
    EXPECT_EQ(GetPathComponent("a/b/c.png", 2), "a");
    EXPECT_EQ(GetPathComponent("music/menu_music.ogg", 1), "music");
    EXPECT_EQ(GetPathComponent("c.png", 0), "c.png");
}

TEST(GetPathComponent, MissingComponentsAreEmpty)
{
    EXPECT_EQ(GetPathComponent("a/b/c.png", 3), "");
    EXPECT_EQ(GetPathComponent("c.png", 1), "");
    EXPECT_EQ(GetPathComponent("a/b", -1), "");
    EXPECT_EQ(GetPathComponent("", 0), "");
    EXPECT_EQ(GetPathComponent("", 2), "");
}

TEST(GetPathComponent, EmptyComponentsAtTheEdgesAndBetweenSlashes)
{
    EXPECT_EQ(GetPathComponent("a/b/", 0), "");
    EXPECT_EQ(GetPathComponent("a/b/", 1), "b");
    EXPECT_EQ(GetPathComponent("/a", 1), "");
    EXPECT_EQ(GetPathComponent("/a", 2), "");
    EXPECT_EQ(GetPathComponent("a//b", 1), "");
    EXPECT_EQ(GetPathComponent("a//b", 2), "a");
    EXPECT_EQ(GetPathComponent("/", 0), "");
}

TEST(GetExtension, GivesThreeCharactersAfterTheLastDot)
{
    EXPECT_EQ(GetExtension("sounds/x.ogg"), "ogg");
    EXPECT_EQ(GetExtension("sounds/x.ogg", true), ".ogg");
    EXPECT_EQ(GetExtension("a.b.lua"), "lua");
    EXPECT_EQ(GetExtension("photo.jpeg"), "jpe");
    EXPECT_EQ(GetExtension("photo.jpeg", true), ".jpe");
    EXPECT_EQ(GetExtension("x.pngx"), "png");
}

TEST(GetExtension, ShorterWhenThePathEndsSooner)
{
    EXPECT_EQ(GetExtension("a.h"), "h");
    EXPECT_EQ(GetExtension("a."), "");
    EXPECT_EQ(GetExtension("a.", true), ".");
    EXPECT_EQ(GetExtension(""), "");
    EXPECT_EQ(GetExtension("", true), "");
}

TEST(GetExtension, WithoutADotTakesTheFirstThreeCharacters)
{
    EXPECT_EQ(GetExtension("readme"), "rea");
    EXPECT_EQ(GetExtension("ab"), "ab");
    EXPECT_EQ(GetExtension("readme", true), "");
}

TEST(GetFullExtension, TakesTheWholeLowerCasedExtensionOfTheLastComponent)
{
    EXPECT_EQ(GetFullExtension("a/x.PNG"), "png");
    EXPECT_EQ(GetFullExtension("x.pngx"), "pngx");
    EXPECT_EQ(GetFullExtension("photo.JPEG"), "jpeg");
    EXPECT_EQ(GetFullExtension("a.tar.gz"), "gz");
    EXPECT_EQ(GetFullExtension("sounds/x.ogg"), "ogg");
}

TEST(GetFullExtension, EmptyWhenTheLastComponentHasNoExtension)
{
    EXPECT_EQ(GetFullExtension("readme"), "");
    EXPECT_EQ(GetFullExtension("dir.d/readme"), "");
    EXPECT_EQ(GetFullExtension("c."), "");
    EXPECT_EQ(GetFullExtension(""), "");
    EXPECT_EQ(GetFullExtension("a/"), "");
}

TEST(GetBaseName, StripsDirectoryAndExtension)
{
    EXPECT_EQ(GetBaseName("scripts/menu.lua"), "menu");
    EXPECT_EQ(GetBaseName("menu"), "menu");
    EXPECT_EQ(GetBaseName("music/menu_music.ogg"), "menu_music");
    EXPECT_EQ(GetBaseName("a/b.c/d"), "d");
    EXPECT_EQ(GetBaseName("a/x.tar.gz"), "x.tar");
    EXPECT_EQ(GetBaseName("a/.ogg"), "");
    EXPECT_EQ(GetBaseName("a/"), "");
    EXPECT_EQ(GetBaseName(""), "");
}
