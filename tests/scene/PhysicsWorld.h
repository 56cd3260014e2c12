// Shared by the physics tests: a service registry for the test's length (so the physics
// manager and the input state exist), torn down before the next test.
#pragma once

#include "framework/System.h"
#include "scene/Physics.h"
#include "tests/scene/VectorPrinter.h"

#include <gtest/gtest.h>

namespace SceneTest
{

class PhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Quor::System::Create(nullptr);
        physics = Vund::Physics::GetInstance();
        ASSERT_NE(physics, nullptr);
    }
    void TearDown() override { Quor::System::Destroy(); }

    void Tick(float dt) { Quor::System::GetInstance()->UpdateManagers(dt); }

    Vund::Physics* physics = nullptr;
};

} // namespace SceneTest
