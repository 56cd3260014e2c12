// The input-state service: keys within the code table, one touch track for the whole run,
// and its registration in the service registry.
#include "framework/InputState.h"

#include "framework/System.h"

#include <gtest/gtest.h>

#include <utility>

TEST(InputStateKeys, CodesOutsideTheTableAreIgnoredAndUpUndoesDown)
{
    Quor::InputState input;
    for (int code : {-1, Quor::InputState::KEY_COUNT, 1000, -2147483647 - 1}) {
        input.OnKeyDown(code);
        EXPECT_FALSE(input.IsKeyDown(code));
    }
    input.OnKeyDown(0);
    input.OnKeyDown(Quor::InputState::KEY_COUNT - 1);
    EXPECT_TRUE(input.IsKeyDown(0) && input.IsKeyDown(Quor::InputState::KEY_COUNT - 1));
    EXPECT_FALSE(input.IsKeyDown(1));
    input.OnKeyUp(0);
    EXPECT_FALSE(input.IsKeyDown(0));
}

// The first move ever only records the position; a later touch is measured from where the
// previous one last was, and the delta outlives the touch.
TEST(InputStateTouch, OneTrackRunsAcrossTouches)
{
    Quor::InputState input;
    auto delta = [&input] { return std::make_pair(input.GetDelta().x, input.GetDelta().y); };
    input.OnTouchMove(10, 10);
    EXPECT_EQ(delta(), std::make_pair(0, 0));
    input.OnTouchMove(15, 12);
    EXPECT_EQ(delta(), std::make_pair(5, 2));
    input.OnTouchUp();
    EXPECT_FALSE(input.IsTouching());
    EXPECT_EQ(delta(), std::make_pair(5, 2));
    input.OnTouchDown();
    EXPECT_TRUE(input.IsTouching());
    EXPECT_EQ(delta(), std::make_pair(5, 2));
    EXPECT_EQ(input.GetPosition().x, 15);
    input.OnTouchMove(100, 50);
    EXPECT_EQ(delta(), std::make_pair(85, 38));
}

TEST(InputStateService, IsRegisteredOnceUnderItsName)
{
    EXPECT_EQ(Quor::InputState::GetInstance(), nullptr);
    Quor::System::Create(nullptr);
    Quor::InputState* input = Quor::InputState::GetInstance();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(Quor::InputState::GetInstance(), input);
    EXPECT_EQ(Quor::System::GetInstance()->GetService("InputState"), input);
    Quor::System::Destroy();
}
