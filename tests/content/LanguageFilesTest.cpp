// The language files: each parses as the text dictionary reads it, every language has exactly
// the ids of English, and every text id the code names exists.
#include "engine/core/Xml.h"
#include "engine/registry/TextDict.h"
#include "tests/content/SourceScan.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

const std::string L10N = std::string(BRASHWICK_SOURCE_DIR) + "/content/platform/l10n/";

Tarv::TextDict::EntryMap Load(const std::string& file)
{
    Tarv::TextDict texts;
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromString(ContentTest::ReadText(L10N + file));
    EXPECT_TRUE(texts.LoadDocument(document)) << file;
    return texts.GetEntries();
}

} // namespace

TEST(LanguageFiles, EveryLanguageHasTheIdsOfEnglish)
{
    const auto english = Load("en.xml");
    ASSERT_FALSE(english.empty());
    std::size_t languages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(L10N)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".xml")
            continue;
        ++languages;
        const auto other = Load(name);
        for (const auto& text : english)
            EXPECT_EQ(other.count(text.first), 1u) << name << " lacks " << text.first;
        for (const auto& text : other) {
            EXPECT_EQ(english.count(text.first), 1u) << name << " has an id English lacks: " << text.first;
            EXPECT_FALSE(text.second.empty()) << name << ": " << text.first;
        }
    }
    EXPECT_GE(languages, 2u);
}

TEST(LanguageFiles, EveryTextIdTheCodeNamesExists)
{
    const auto english = Load("en.xml");
    std::size_t found = 0;
    for (const std::string& file : ContentTest::ListSourceFiles()) {
        for (const std::string& id : ContentTest::FindTextIds(ContentTest::ReadText(file))) {
            ++found;
            EXPECT_EQ(english.count(id), 1u) << id << " (named in " << file << ")";
        }
    }
    EXPECT_GE(found, 1u);
}
