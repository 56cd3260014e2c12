// Rich string tests: runs keep their text verbatim and their own format copies.
#include "graphics/text/RichString.h"

#include <gtest/gtest.h>

using Tarv::RichString;
using Tarv::WideString;
using Tarv::Text::Format;

TEST(RichString, AnEmptyTextMakesARunAndMarkupStaysOrdinaryText)
{
    for (const WideString& text : {WideString(), WideString(U"<b>{x}\\%s</b>")}) {
        const RichString rich(text, Format());
        ASSERT_EQ(rich.GetRuns().size(), 1u);
        EXPECT_EQ(rich.GetRuns().front().text, text);
    }
}

TEST(RichString, RunsOwnTheirFormatCopiesInAppendOrder)
{
    Format format;
    format.SetLetterSpacing(1);
    RichString rich(WideString(U"a"), format);
    format.SetLetterSpacing(2);
    rich.Append(WideString(U"b"), format);
    format.SetLetterSpacing(3);
    ASSERT_EQ(rich.GetRuns().size(), 2u);
    EXPECT_EQ(rich.GetRuns().front().format.GetLetterSpacing(), 1);
    EXPECT_EQ(rich.GetRuns().back().text, WideString(U"b"));
    EXPECT_EQ(rich.GetRuns().back().format.GetLetterSpacing(), 2);
}
