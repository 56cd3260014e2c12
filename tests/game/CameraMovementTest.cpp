// The camera movement on a headless camera: framing, the tracker's pause, easing and the limits.
#include "game/CameraMovement.h"

#include "GameWorld.h"

namespace
{

using Vund::Vector3D;

class CameraMovementTest : public ::testing::Test
{
protected:
    // A level of columns x 10 cells of 32 units, the hero at (100, 64), the camera at height 500.
    std::unique_ptr<Pirrock::CameraMovement> Make(int columns)
    {
        for (const auto& [key, value] : std::vector<std::pair<const char*, int>>{
                 {"constants/tracker_activation_distance", 100},
                 {"constants/pirrock_ideal_position_cells/y", 2},
                 {"constants/ideal_vertical_span", 320}})
            files.Settings().SetInt(key, value);
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        hero = Pirrock::Pirrock::GetInstance().Get();
        hero->SetPosition({100, 64, 0}, false);
        Pirrock::World::Instance = GameTest::MakeWorld(std::vector<std::string>(10, std::string(columns, '.')));
        camera->SetPosition({300, 300, 500}, false);
        return std::make_unique<Pirrock::CameraMovement>(camera.Get());
    }
    float HalfWidth() const { return camera->GetPosition().z / camera->GetProjection().z * camera->GetProjection().x; }
    float HalfHeight() const { return camera->GetPosition().z / camera->GetProjection().z * camera->GetProjection().y; }

    GameTest::GameFiles files;
    Tarv::SmartPtr<Vund::Camera> camera{new Vund::Camera(Vund::Degree(60))};
    Pirrock::Pirrock* hero = nullptr;
};

TEST_F(CameraMovementTest, InstantFocusFramesTheHeroAheadAndAboveTheViewsBottom)
{
    const auto movement = Make(100);
    movement->Focus(1.0f);
    EXPECT_NEAR(HalfHeight(), 160.0f, 1e-3f);  // the ideal span of 320
    EXPECT_NEAR(camera->GetPosition().x, HalfWidth(), 1e-3f);  // 200 would show x < 0: held at the edge
    EXPECT_NEAR(camera->GetPosition().y - HalfHeight(), 64.0f - 64.0f, 1e-3f);  // hero 2 cells up

    hero->SetPosition({1000, 64, 0}, false);
    files.Settings().SetBool("runtime/running_left", true);
    movement->Focus(1.0f);
    EXPECT_NEAR(camera->GetPosition().x, 900.0f, 1e-3f);
}

// Only the horizontal part of the hero's offset from the camera counts against the activation
// distance (100); the vertical part only through the hero's vertical velocity.
TEST_F(CameraMovementTest, TheTrackerWaitsForTheHeroUnlessItIsHorizontallyCloseOrMovesVertically)
{
    const auto movement = Make(100);
    const struct { float dx, dy, vy; bool paused; } cases[] = {
        {100, -236, 0, true}, {100, -236, 1e-6f, false}, {99, -236, 0, false}, {-99, 400, 0, false},
        {-100, 0, 0, true}, {150, 5, 0, true}, {150, 5, -3, false}};
    for (const auto& c : cases) {
        camera->SetPosition({900, 300, 500}, false);
        hero->SetPosition({900 + c.dx, 300 + c.dy, 0}, false);
        hero->SetVelocity({100, c.vy, 0});
        movement->Tick(0.01f);
        EXPECT_EQ(movement->GetTracker().IsPaused(), c.paused) << c.dx << ", " << c.dy << ", " << c.vy;
    }
}

TEST_F(CameraMovementTest, EasedFocusMovesOnlyOncePerThirtiethAndNarrowLevelsFillTheScreen)
{
    const auto movement = Make(100);
    camera->SetPosition({1000, 500, 1000}, false);
    movement->Focus(0.5f);
    movement->Tick(0.02f);
    EXPECT_EQ(camera->GetPosition().z, 1000.0f);
    movement->Tick(0.02f);
    const float z = camera->GetPosition().z;
    EXPECT_LT(z, 1000.0f);
    for (int i = 0; i < 200; ++i)
        movement->Tick(1.0f / 30.0f + 1e-4f);
    EXPECT_NEAR(HalfHeight(), 160.0f, 0.5f);

    const auto narrow = Make(2);
    camera->SetVelocity({5, 5, 5});
    camera->SetPosition({300, -50, 900}, false);
    narrow->Tick(0.01f);
    EXPECT_NEAR(camera->GetPosition().x, 32.0f, 1e-3f);
    EXPECT_NEAR(HalfWidth(), 32.0f, 1e-3f);
    EXPECT_GE(camera->GetPosition().y, 0.0f);
    EXPECT_EQ(camera->GetVelocity().x, 0.0f);
}

} // namespace
