// Uri: parsing (decoding first), clearing on a misplaced "//", authority and string forms.
#include "engine/core/Uri.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

namespace
{

struct UriCase
{
    const char* name;
    std::string text;
    const char* scheme;
    const char* userInfo;
    const char* host;
    const char* port;
    const char* path;
    const char* query;
    const char* fragment;
};

void PrintTo(const UriCase& c, std::ostream* os)
{
    *os << c.text;
}

class UriParse : public ::testing::TestWithParam<UriCase>
{
};

INSTANTIATE_TEST_SUITE_P(Texts, UriParse,
    ::testing::Values(
        UriCase{"full", "x://u@h:80/a/b?q=1#f", "x", "u", "h", "80", "/a/b", "q=1", "f"},
        UriCase{"noColon", "a/b?c#d", "", "", "", "", "", "", ""},
        UriCase{"empty", "", "", "", "", "", "", "", ""},
        UriCase{"schemeAndPath", "x:y", "x", "", "", "", "y", "", ""},
        UriCase{"encodedLetter", "a%41b:c", "aAb", "", "", "", "c", "", ""},
        UriCase{"encodedColon", "file%3Adata/a.png", "file", "", "", "", "data/a.png", "", ""},
        UriCase{"encodedSlashes", "x:%2F%2fh/p", "x", "", "h", "", "/p", "", ""},
        UriCase{"slashesNotAtStart", "x:a//b", "", "", "", "", "", "", ""},
        UriCase{"encodedSlashesNotAtStart", "x:a%2f%2Fb", "", "", "", "", "", "", ""},
        UriCase{"slashesInQueryOnly", "x:a?b//c", "x", "", "", "", "a", "b//c", ""},
        UriCase{"slashesInFragmentOnly", "x:a#//c", "x", "", "", "", "a", "", "//c"},
        UriCase{"strayPercent", "x:a%zzb%", "x", "", "", "", "a%zzb%", "", ""},
        UriCase{"percentOneDigitAtEnd", "x:a%4", "x", "", "", "", "a%4", "", ""},
        UriCase{"encodedPercent", "x:%2541", "x", "", "", "", "%41", "", ""},
        UriCase{"emptyPathAfterHost", "x://h/", "x", "", "h", "", "", "", ""},
        UriCase{"slashBeforeQuery", "x://h/?q", "x", "", "h", "", "/", "q", ""},
        UriCase{"onlySlashes", "x://", "x", "", "", "", "", "", ""},
        UriCase{"hostOnly", "x://h", "x", "", "h", "", "", "", ""},
        UriCase{"emptyPort", "x://h:/p", "x", "", "h", "", "/p", "", ""},
        UriCase{"emptyUserInfo", "x://@h", "x", "", "h", "", "", "", ""},
        UriCase{"atInPathIsUserInfo", "x://h/a@b", "x", "h/a", "b", "", "", "", ""},
        UriCase{"colonInPath", "x://h/a:b", "x", "", "h", "", "/a:b", "", ""},
        UriCase{"trailingSeparators", "x:?#", "x", "", "", "", "", "", ""},
        UriCase{"fragmentBeforeQuery", "x:a#f?q", "x", "", "", "", "a", "", "f?q"},
        UriCase{"emptyScheme", ":p", "", "", "", "", "p", "", ""}),
    [](const ::testing::TestParamInfo<UriCase>& info) { return std::string(info.param.name); });

TEST_P(UriParse, SplitsIntoSevenParts)
{
    const UriCase& c = GetParam();
    const Tarv::Uri uri(c.text);
    EXPECT_EQ(uri.scheme, c.scheme);
    EXPECT_EQ(uri.userInfo, c.userInfo);
    EXPECT_EQ(uri.host, c.host);
    EXPECT_EQ(uri.port, c.port);
    EXPECT_EQ(uri.path, c.path);
    EXPECT_EQ(uri.query, c.query);
    EXPECT_EQ(uri.fragment, c.fragment);
}

TEST(Uri, ParseReportsWhetherAnythingWasRead)
{
    Tarv::Uri uri("x://u@h:1/p?q#f");
    EXPECT_FALSE(uri.Parse("no colon"));
    EXPECT_EQ(uri.ToFullString(), ":");
    EXPECT_TRUE(uri.Parse("x:y"));
    EXPECT_FALSE(uri.Parse("x:y//z"));
    EXPECT_TRUE(uri.scheme.empty());
}

TEST(Uri, DecodedNulKeepsTheBytesAfterIt)
{
    const Tarv::Uri uri("x:a%00b");
    EXPECT_EQ(uri.path, std::string("a\0b", 3));
}

TEST(Uri, ClearEmptiesEveryPart)
{
    Tarv::Uri uri("x://u@h:80/a?q#f");
    uri.Clear();
    EXPECT_EQ(uri.ToFullString(), ":");
    EXPECT_EQ(uri.GetAuthority(), "");
    EXPECT_EQ(uri.ToString(), "");
}

TEST(Uri, AuthorityNeedsAHost)
{
    Tarv::Uri uri;
    uri.userInfo = "u";
    uri.port = "80";
    EXPECT_EQ(uri.GetAuthority(), "");
    uri.host = "h";
    EXPECT_EQ(uri.GetAuthority(), "u@h:80");
    uri.userInfo.clear();
    EXPECT_EQ(uri.GetAuthority(), "h:80");
    uri.port.clear();
    EXPECT_EQ(uri.GetAuthority(), "h");
}

TEST(UriEncode, KeepsUnreservedAndChosenBytesAndStopsAtNul)
{
    const struct {
        std::string text;
        const char* keep;
        const char* encoded;
    } cases[] = {{"a b/c", "", "a%20b%2fc"}, {"a b/c", "/", "a%20b/c"}, {"AZaz09-_.~", "", "AZaz09-_.~"},
                 {"\xc3\xa9%", nullptr, "%c3%a9%25"}, {"", "x", ""}, {std::string("a\0b", 3), "", "a"}};
    for (const auto& c : cases)
        EXPECT_EQ(Tarv::Uri::Encode(c.text, c.keep), c.encoded) << c.text;
}

// The string forms encode the query and fragment; without an authority there are no slashes.
TEST(Uri, StringForms)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"x://u@h:80/a/b?q=1&r=a/b:c#f g", "/a/b?q=1&r=a/b:c#f%20g", "x://u@h:80/a/b?q=1&r=a%2fb%3ac#f%20g"},
        {"x:y", "y", "x:y"},
        {"x:y?a b", "y?a%20b", "x:y?a%20b"}};
    for (const auto& [text, path, full] : cases) {
        EXPECT_EQ(Tarv::Uri(text).ToString(), path);
        EXPECT_EQ(Tarv::Uri(text).ToFullString(), full);
    }
}

TEST(Uri, FullStringParsesBackToTheSameParts)
{
    const Tarv::Uri uri("x://u@h:80/a?q=%26#f");
    const Tarv::Uri again(uri.ToFullString());
    EXPECT_EQ(again.ToFullString(), uri.ToFullString());
    EXPECT_EQ(again.host, "h");
    EXPECT_EQ(again.port, "80");
    EXPECT_EQ(again.userInfo, "u");
}

TEST(Uri, AddQueryParameterJoinsWithAmpersand)
{
    Tarv::Uri uri("x:p");
    uri.AddQueryParameter("a b", "c&d");
    EXPECT_EQ(uri.query, "a%20b=c%26d");
    uri.AddQueryParameter("e", "");
    EXPECT_EQ(uri.query, "a%20b=c%26d&e=");
    EXPECT_EQ(uri.ToString(), "p?a%20b=c%26d&e=");
}

} // namespace
