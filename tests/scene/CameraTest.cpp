// The camera's projection from the resolution keys, its conversions between world points and
// pixels, and the active-camera slot.
#include "scene/Camera.h"

#include "tests/scene/SceneWorld.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace Vund;

namespace
{

class CameraTest : public ::testing::Test
{
protected:
    SceneTest::SceneWorld world;
};

constexpr float F60 = 415.6922f; // 240 / tan(30 degrees)

} // namespace

TEST_F(CameraTest, SixtyDegreesAt800x480)
{
    const Camera camera{Degree(60)};
    EXPECT_EQ(Vector3D(camera.GetProjection().x, camera.GetProjection().y, 0), Vector3D(400, 240, 0));
    EXPECT_FLOAT_EQ(camera.GetProjection().z, F60);
    EXPECT_EQ(camera.GetPosition(), camera.GetProjection());
    const struct {
        Vector3D world;
        int x, y;
    } cases[] = {{{0, 0, 0}, 0, 480}, {{400, 240, 0}, 400, 240}, {{100, 50, 0}, 100, 430}, {{101, 240, -415.69f}, 250, 240}};
    for (const auto& c : cases) {
        const ScreenPoint p = camera.WorldToScreen(c.world);
        EXPECT_EQ(p.x, c.x) << c.world.x;
        EXPECT_EQ(p.y, c.y) << c.world.x;
    }
    EXPECT_EQ(camera.ScreenToWorld(ScreenPoint{100, 430}, 0.0f), Vector3D(100, 50, 0));
    // A point at the camera's depth lies off every screen; huge pixels are clamped.
    EXPECT_EQ(camera.WorldToScreen(Vector3D(10, 10, F60)).x, INT_MIN);
    EXPECT_EQ(camera.WorldToScreen(Vector3D(1e30f, -1e30f, F60 - 1e-3f)).y, INT_MAX);
    EXPECT_LT(camera.ScreenToWorld(ScreenPoint{INT_MIN, INT_MIN}, 0.0f).x, -1e9f);
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
    // Keys that read 0 are used: no focal length, so every point of the layer z = 0 lies at the
    // camera's depth (off every screen) and a tap has no world point.
    world.machine.width = 0;
    world.machine.height = 0;
    const Camera flat{Degree(60)};
    EXPECT_EQ(flat.GetProjection(), Vector3D(0, 0, 0));
    EXPECT_EQ(flat.WorldToScreen(Vector3D(5, 5, 0)).x, INT_MIN);
    EXPECT_TRUE(std::isnan(flat.ScreenToWorld(ScreenPoint{10, 10}, 0.0f).y));
    // Without a registry: the device's 800 x 480.
    Tarv::Registry::Instance.Reset();
    EXPECT_EQ(Camera(Degree(60)).WorldToScreen(Vector3D(0, 0, 0)).y, 480);
}

TEST_F(CameraTest, InstallingCamerasKeepsTheSlotsReferencesAndFlags)
{
    Camera* automatic = Camera::GetActive();
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(Camera::GetActive(), automatic);
    Tarv::SmartPtr<Camera> first(new Camera(Degree(60)));
    Camera::Install(first.Get());
    Camera::Install(first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_FALSE(first->registered);
    Tarv::SmartPtr<Camera> second(new Camera(Degree(45)));
    Camera::Install(second.Get());
    EXPECT_TRUE(first->registered);
    EXPECT_FALSE(second->registered);
    EXPECT_EQ(first->GetRefCount(), 1);
}
