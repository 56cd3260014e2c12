// The input-state service: keys within the code table, touch tracks that start afresh with
// each touch, and its registration in the service registry.
#include "framework/InputState.h"

#include "framework/System.h"

#include <gtest/gtest.h>

TEST(InputStateKeys, DownThenUpLeavesTheKeyUp)
{
    Quor::InputState input;
    input.OnKeyDown(27);
    EXPECT_TRUE(input.IsKeyDown(27));
    input.OnKeyUp(27);
    EXPECT_FALSE(input.IsKeyDown(27));
}

TEST(InputStateKeys, CodesOutsideTheTableAreIgnored)
{
    Quor::InputState input;
    for (int code : {-1, Quor::InputState::KEY_COUNT, 1000, -2147483647 - 1}) {
        input.OnKeyDown(code);
        EXPECT_FALSE(input.IsKeyDown(code));
    }
    input.OnKeyDown(0);
    input.OnKeyDown(Quor::InputState::KEY_COUNT - 1);
    EXPECT_TRUE(input.IsKeyDown(0));
    EXPECT_TRUE(input.IsKeyDown(Quor::InputState::KEY_COUNT - 1));
    EXPECT_FALSE(input.IsKeyDown(1));
}

TEST(InputStateTouch, TheFirstMoveEverOnlyRecordsThePosition)
{
    Quor::InputState input;
    input.OnTouchMove(10, 10);
    EXPECT_EQ(input.GetDelta().x, 0);
    EXPECT_EQ(input.GetDelta().y, 0);
    input.OnTouchMove(15, 12);
    EXPECT_EQ(input.GetDelta().x, 5);
    EXPECT_EQ(input.GetDelta().y, 2);
}

TEST(InputStateTouch, ANewTouchIsMeasuredFromWhereItWentDownNotWhereTheLastOneEnded)
{
    Quor::InputState input;
    input.OnTouchDown(10, 10);
    input.OnTouchMove(15, 12);
    input.OnTouchUp();
    EXPECT_FALSE(input.IsTouching());
    EXPECT_EQ(input.GetDelta().x, 0);
    EXPECT_EQ(input.GetDelta().y, 0);

    input.OnTouchDown(98, 49);
    EXPECT_TRUE(input.IsTouching());
    EXPECT_EQ(input.GetDelta().x, 0);
    input.OnTouchMove(100, 50);
    EXPECT_EQ(input.GetDelta().x, 2);
    EXPECT_EQ(input.GetDelta().y, 1);
    EXPECT_EQ(input.GetPosition().x, 100);
}

TEST(InputStateTouch, TheAccelerometerReadingIsKept)
{
    Quor::InputState input;
    input.OnAccelerometer(0.5f, -1.0f, 9.8f);
    EXPECT_FLOAT_EQ(input.GetAcceleration().z, 9.8f);
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
