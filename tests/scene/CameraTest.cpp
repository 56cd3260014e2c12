// The camera's projection from the resolution keys, its conversions between world points and
// pixels, and the active-camera slot.
#include "scene/Camera.h"

#include "tests/scene/SceneWorld.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Vund;

namespace
{

class CameraTest : public ::testing::Test
{
protected:
    SceneTest::SceneWorld world;
};

constexpr float F60 = 415.6922f; // 240 / tan(30 degrees)

struct Projected {
    Vector3D world;
    int x;
    int y;
};

} // namespace

TEST_F(CameraTest, SixtyDegreesAt800x480)
{
    const Camera camera{Degree(60)};
    EXPECT_EQ(camera.GetProjection().x, 400.0f);
    EXPECT_EQ(camera.GetProjection().y, 240.0f);
    EXPECT_FLOAT_EQ(camera.GetProjection().z, F60);
    EXPECT_EQ(camera.GetPosition(), camera.GetProjection());
    const Projected cases[] = {{Vector3D(0, 0, 0), 0, 480},
                               {Vector3D(400, 240, 0), 400, 240},
                               {Vector3D(100, 50, 0), 100, 430},
                               {Vector3D(101, 240, -415.69f), 250, 240}};
    for (const Projected& c : cases) {
        const ScreenPoint p = camera.WorldToScreen(c.world);
        EXPECT_EQ(p.x, c.x) << c.world.x;
        EXPECT_EQ(p.y, c.y) << c.world.x;
    }
    EXPECT_EQ(camera.ScreenToWorld(ScreenPoint{100, 430}, 0.0f), Vector3D(100, 50, 0));
}

TEST_F(CameraTest, PointsAtTheCameraDepthLieOffEveryScreen)
{
    const Camera camera{Degree(60)};
    const ScreenPoint atDepth = camera.WorldToScreen(Vector3D(10, 10, camera.GetPosition().z));
    EXPECT_EQ(atDepth.x, INT_MIN);
    EXPECT_EQ(atDepth.y, INT_MIN);
    const ScreenPoint nearly = camera.WorldToScreen(Vector3D(1e30f, -1e30f, camera.GetPosition().z - 1e-3f));
    EXPECT_EQ(nearly.x, INT_MAX);
    EXPECT_EQ(nearly.y, INT_MAX);
    const Vector3D back = camera.ScreenToWorld(ScreenPoint{INT_MIN, INT_MIN}, 0.0f);
    EXPECT_LT(back.x, -1e9f);
}

TEST_F(CameraTest, FieldOfViewAndResolutionChangeTheNextProjection)
{
    Camera camera{Degree(60)};
    camera.SetFieldOfView(Degree(90));
    EXPECT_FLOAT_EQ(camera.GetProjection().z, 240.0f);
    EXPECT_FLOAT_EQ(camera.GetPosition().z, F60);
    camera.ResetPosition();
    EXPECT_FLOAT_EQ(camera.GetPosition().z, 240.0f);

    world.machine.width = 1024;
    world.machine.height = 600;
    // The screen height is read on every conversion; the projection only when updated.
    EXPECT_EQ(camera.WorldToScreen(Vector3D(400, 240, 0)).y, 600 - 240);
    camera.UpdateProjection();
    EXPECT_EQ(camera.GetProjection().x, 512.0f);
    EXPECT_EQ(camera.GetProjection().y, 300.0f);
}

TEST_F(CameraTest, MissingResolutionKeysFallBackToTheDeviceScreen)
{
    world.machine.width = 0;
    const Camera zero{Degree(60)};
    EXPECT_EQ(zero.GetProjection().x, 400.0f);
    Tarv::Registry::Instance.Reset();
    const Camera none{Degree(60)};
    EXPECT_EQ(none.GetProjection().y, 240.0f);
    EXPECT_EQ(none.WorldToScreen(Vector3D(0, 0, 0)).y, 480);
}

TEST_F(CameraTest, InstallingCamerasKeepsTheSlotsReferencesAndFlags)
{
    Camera* automatic = Camera::GetActive();
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(Camera::GetActive(), automatic);
    EXPECT_FLOAT_EQ(automatic->GetFieldOfView().value, 60.0f);

    Tarv::SmartPtr<Camera> first(new Camera(Degree(60)));
    Camera::Install(first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    Camera::Install(first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_FALSE(first->registered);

    Tarv::SmartPtr<Camera> second(new Camera(Degree(45)));
    Camera::Install(second.Get());
    EXPECT_TRUE(first->registered);
    EXPECT_FALSE(second->registered);
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(Camera::GetActive(), second.Get());
}
