// Reading registry files: merging, typed values, and damaged entries.
#include "engine/registry/RegistryXmlReader.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "tests/engine/registry/FakeMachine.h"

#include <gtest/gtest.h>

#include <vector>

using Tarv::NarrowString;
using Tarv::Registry;
using Tarv::RegistryKey;

namespace
{

NarrowString File(const NarrowString& body, const char* name = "/quor")
{
    return NarrowString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry>\n<node name=\"") + name + "\">\n" +
           body + "</node>\n</registry>\n";
}

NarrowString Key(const char* name, const char* type, const char* text)
{
    return NarrowString("<key name=\"") + name + "\" type=\"" + type + "\">" + text + "</key>\n";
}

void Record(void* user, const NarrowString& path, RegistryKey*)
{
    static_cast<std::vector<NarrowString>*>(user)->push_back(path);
}

} // namespace

TEST(RegistryXmlReader, LoadingMergesAndRetypes)
{
    Registry registry;
    registry.SetInt("/quor/keep", 1);
    registry.SetInt("/quor/retype", 2);
    registry.SetInt("/quor/over", 3);
    // Int texts take scanf's %i forms.
    ASSERT_TRUE(registry.LoadString(File(Key("retype", "string", "two") + Key("over", "int", "0x1F") +
                                         "<node name=\"sub\">" + Key("b", "bool", "true") + "</node>"),
                                    false, "/quor"));
    int value = 0;
    NarrowString text;
    bool flag = false;
    EXPECT_TRUE(registry.GetInt("/quor/keep", value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(registry.GetString("/quor/retype", text));
    EXPECT_EQ(text, "two");
    EXPECT_TRUE(registry.GetInt("/quor/over", value));
    EXPECT_EQ(value, 31);
    EXPECT_TRUE(registry.GetBool("/quor/sub/b", flag));
    EXPECT_TRUE(flag);
}

TEST(RegistryXmlReader, BasePathOverridesTheNameAttribute)
{
    Registry registry;
    ASSERT_TRUE(registry.LoadString(File(Key("k", "int", "1"), "/elsewhere"), false, "/quor"));
    EXPECT_NE(registry.FindKey("/quor/k", false), nullptr);
    EXPECT_EQ(registry.FindNode("/elsewhere", false, false), nullptr);
    ASSERT_TRUE(registry.LoadString(File(Key("k", "int", "1"), "/elsewhere"), false, ""));
    EXPECT_NE(registry.FindKey("/elsewhere/k", false), nullptr);
    // Only the first top-level node is read.
    ASSERT_TRUE(registry.LoadString("<registry><node name=\"/a\">" + Key("k", "int", "1") +
                                    "</node><node name=\"/b\">" + Key("k", "int", "2") + "</node></registry>",
                                    false, ""));
    EXPECT_NE(registry.FindKey("/a/k", false), nullptr);
    EXPECT_EQ(registry.FindNode("/b", false, false), nullptr);
}

TEST(RegistryXmlReader, DocumentsThatAreNotRegistryFilesChangeNothing)
{
    Registry registry;
    registry.SetInt("/quor/k", 1);
    const NarrowString before = registry.ToXml("/");
    for (const NarrowString& text : {NarrowString("<settings><node name=\"/quor\">" + Key("k", "int", "2") + "</node></settings>"),
                                     NarrowString("<registry><key name=\"k\" type=\"int\">2</key></registry>"),
                                     NarrowString("<registry><node>" + Key("k", "int", "2") + "</node></registry>"),
                                     NarrowString("<registry><node name=\"rel\">" + Key("k", "int", "2") + "</node></registry>"),
                                     NarrowString(""), NarrowString("   "), NarrowString("<registry>"),
                                     NarrowString("<registry/><registry/>")}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(registry.LoadString(text, false, ""));
    }
    EXPECT_EQ(registry.ToXml("/"), before);
}

// Texts that don't read as their type still run the setter: a key keeps a value of that type it
// already has, a new or retyped one gets false or 0; the load names them all.
TEST(RegistryXmlReader, DamagedEntriesKeepOrZeroTheValue)
{
    Registry registry;
    registry.SetBool("/quor/flag", true);
    registry.SetInt("/quor/number", 7);
    registry.SetString("/quor/word", "w");
    std::vector<NarrowString> unreadable;
    ASSERT_TRUE(registry.LoadXml(Tarv::XmlIterator(Tarv::Xml::CreateFromString(File(
                                     "<key type=\"int\">1</key>\n<key name=\"notype\">1</key>\n" +
                                     Key("flag", "bool", "yes") + Key("number", "int", "abc") +
                                     Key("big", "int", "99999999999") + Key("word", "bool", "no") +
                                     Key("f", "float", "1.5") + Key("e", "string", "a &nbsp; &lt;") +
                                     "<node>" + Key("lost", "int", "1") + "</node>"))),
                                 false, "/quor", &unreadable));
    EXPECT_EQ(unreadable, (std::vector<NarrowString>{"/quor/flag", "/quor/number", "/quor/big", "/quor/word",
                                                     "/quor/f"}));
    bool flag = false, word = true;
    int number = 0, big = 1;
    EXPECT_TRUE(registry.GetBool("/quor/flag", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(registry.GetInt("/quor/number", number));
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(registry.GetInt("/quor/big", big));
    EXPECT_EQ(big, 0);
    EXPECT_TRUE(registry.GetBool("/quor/word", word));
    EXPECT_FALSE(word);
    EXPECT_EQ(registry.FindKey("/quor/notype", false), nullptr);
    ASSERT_NE(registry.FindKey("/quor/f", false), nullptr);
    EXPECT_TRUE(registry.FindKey("/quor/f", false)->GetValue().IsEmpty());
    NarrowString text;
    EXPECT_TRUE(registry.GetString("/quor/e", text));
    EXPECT_EQ(text, "a &nbsp; <");
    EXPECT_EQ(registry.FindKey("/quor/lost", false), nullptr);
    // The unset keys stay out of the next save, so it loads again.
    Registry again;
    EXPECT_TRUE(again.LoadString(registry.ToXml("/quor"), false, ""));
}

TEST(RegistryXmlReader, NotifyRunsCallbacksForEveryKeyRead)
{
    Registry registry;
    std::vector<NarrowString> seen;
    registry.RegisterCallback("/quor", Record, &seen, "f", "F", 1);
    ASSERT_TRUE(registry.LoadString(File(Key("a", "int", "1") + Key("b", "float", "1") +
                                         "<node name=\"c\">" + Key("d", "bool", "x") + "</node>"),
                                    true, "/quor"));
    EXPECT_EQ(seen, (std::vector<NarrowString>{"/quor/a", "/quor/b", "/quor/c/d"}));
    seen.clear();
    ASSERT_TRUE(registry.LoadString(File(Key("a", "int", "1")), false, "/quor"));
    EXPECT_TRUE(seen.empty());
}

TEST(RegistryXmlReader, RootTargetUsesTheRootsKeyPaths)
{
    Registry registry;
    std::vector<NarrowString> seen;
    registry.RegisterCallback("", Record, &seen, "f", "F", 1);
    ASSERT_TRUE(registry.LoadString(File(Key("r", "int", "1") + "<node name=\"n\">" + Key("k", "int", "2") + "</node>", "/"),
                                    true, ""));
    EXPECT_EQ(seen, (std::vector<NarrowString>{"//r", "/n/k"}));
    int value = 0;
    EXPECT_TRUE(registry.GetInt("//r", value));
    EXPECT_TRUE(registry.GetInt("/n/k", value));
    EXPECT_EQ(value, 2);
}

// The machine keys keep their live values; other nodes and keys are read in below "/machine"
// like anywhere else.
TEST(RegistryXmlReader, MachineKeysKeepTheirValuesWhileNewEntriesAreRead)
{
    FakeMachine screen;
    Registry registry(&screen);
    ASSERT_TRUE(registry.LoadString(File("<node name=\"resolution\">" + Key("x", "int", "5") + Key("new", "int", "1") +
                                         "</node><node name=\"extra\">" + Key("k", "int", "2") + "</node>",
                                         "/machine"),
                                    false, ""));
    int x = 0, added = 0, extra = 0;
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_EQ(x, 800);
    EXPECT_TRUE(registry.GetInt("/machine/resolution/new", added));
    EXPECT_EQ(added, 1);
    EXPECT_TRUE(registry.GetInt("/machine/extra/k", extra));
    EXPECT_EQ(extra, 2);
}

// A node named "machine" below empty-named nodes is not the machine subtree, even though its
// path text reads like one ("/" + "" + "/machine"); a saved tree with it must load back whole.
TEST(RegistryXmlReader, MachineBelowEmptyNamedNodesIsAnOrdinaryNode)
{
    Registry registry;
    ASSERT_TRUE(registry.LoadString(File("<node name=\"\"><node name=\"machine\">" + Key("k", "int", "3") +
                                         "</node></node>", "/"),
                                    false, ""));
    const NarrowString saved = registry.ToXml("/");
    Registry reloaded;
    ASSERT_TRUE(reloaded.LoadString(saved, false, "/"));
    EXPECT_EQ(reloaded.ToXml("/"), saved);
    EXPECT_NE(saved.find("type=\"int\">3<"), NarrowString::npos);
}

TEST(RegistryXmlReader, DeepFilesStopAtTheDepthLimit)
{
    NarrowString body;
    const int depth = 5000;
    for (int i = 0; i < depth; ++i)
        body += "<node name=\"n\">";
    body += Key("k", "int", "1");
    for (int i = 0; i < depth; ++i)
        body += "</node>";
    Registry registry;
    ASSERT_TRUE(registry.LoadString(File(body, "/d"), false, ""));
    NarrowString path = "/d";
    int levels = 0;
    while (registry.FindNode(path + "/n", false, false) != nullptr) {
        path += "/n";
        ++levels;
    }
    EXPECT_EQ(levels, Registry::MAX_DEPTH - 1);
}
