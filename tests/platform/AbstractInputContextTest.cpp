// The typed-text buffer of the input context: Backspace, composing and committing.
#include "platform/AbstractInputContext.h"

#include "engine/core/KeyCodes.h"
#include "tests/platform/PlatformTestDoubles.h"

#include <gtest/gtest.h>

namespace
{

using App = PlatformTest::Recording<Tarv::AbstractApp>;
using Lines = std::vector<std::string>;

class InputContextText : public ::testing::Test
{
protected:
    void SetUp() override { m_context->Attach(m_app.Get()); }

    Tarv::SmartPtr<App> m_app{new App};
    Tarv::SmartPtr<Tarv::AbstractInputContext> m_context{new Tarv::AbstractInputContext};
};

TEST_F(InputContextText, BackspaceRemovesLastCommittedCharacter)
{
    m_context->SetComposing(Tarv::WideString(U"ab"));
    m_context->Commit(Tarv::WideString(U"ab"));
    m_context->OnKeyDown(Tarv::KEY_BACK);
    EXPECT_EQ(m_context->GetCommitted(), Tarv::WideString(U"a"));
    EXPECT_EQ(m_app->lastCommitted, Tarv::WideString(U"a"));
    EXPECT_EQ(m_app->log.Lines(), (Lines{"text", "down 9", "text"}));
}

TEST_F(InputContextText, BackspaceWithNothingCommittedChangesNothing)
{
    m_context->SetComposing(Tarv::WideString(U"x"));
    m_context->OnKeyDown(Tarv::KEY_BACK);
    EXPECT_EQ(m_context->GetComposing(), Tarv::WideString(U"x"));
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 9"}));
}

TEST_F(InputContextText, BackspaceDropsComposingBeforeCommitted)
{
    m_context->SetComposing(Tarv::WideString(U"ab"));
    m_context->Commit(Tarv::WideString(U"ab"));
    m_context->SetComposing(Tarv::WideString(U"cd"));
    EXPECT_EQ(m_context->GetText(), Tarv::WideString(U"abcd"));
    m_context->OnKeyDown(Tarv::KEY_BACK);
    EXPECT_EQ(m_context->GetComposing(), Tarv::WideString());
    EXPECT_EQ(m_context->GetCommitted(), Tarv::WideString(U"ab"));
}

TEST_F(InputContextText, OtherKeysLeaveTheTextAlone)
{
    m_context->SetComposing(Tarv::WideString(U"ab"));
    m_context->Commit(Tarv::WideString(U"ab"));
    m_context->OnKeyDown(Tarv::KEY_A);
    m_context->OnKeyUp(Tarv::KEY_A);
    EXPECT_EQ(m_context->GetText(), Tarv::WideString(U"ab"));
    EXPECT_EQ(m_app->log.Only({"down ", "up "}), (Lines{"down 35", "up 35"}));
}

TEST_F(InputContextText, DetachedContextStillKeepsText)
{
    m_context->Attach(nullptr);
    m_context->SetComposing(Tarv::WideString(U"z"));
    m_context->Commit(Tarv::WideString(U"z"));
    m_context->ClearComposing();
    m_context->OnKeyDown(Tarv::KEY_BACK);
    EXPECT_EQ(m_context->GetText(), Tarv::WideString());
    EXPECT_TRUE(m_app->log.Lines().empty());
}

} // namespace
