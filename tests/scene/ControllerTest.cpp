// Propulsions, trackers and direction sources: the key and touch sequences, the eased
// tracker's steps, and a camera following a falling sphere through one application step's
// order (managers first, then the state tree).
#include "framework/ApplicationState.h"
#include "framework/InputState.h"
#include "framework/Substatable.h"
#include "scene/Camera.h"
#include "scene/DirectionController.h"
#include "scene/Propulsion.h"
#include "scene/Sphere.h"
#include "scene/Tracker.h"
#include "tests/scene/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace Vund;
using SceneTest::PhysicsTest;
using Tarv::SmartPtr;

namespace
{

// The engine's key codes of the game's camera keys.
enum Key { A = 35, D = 38, E = 39, Q = 51, S = 53, W = 57, SHIFT = 10 };

Vector3D Held(DirectionController& source, std::initializer_list<int> keys)
{
    Quor::InputState* input = Quor::InputState::GetInstance();
    for (int key = 0; key < Quor::InputState::KEY_COUNT; ++key)
        input->OnKeyUp(key);
    for (int key : keys)
        input->OnKeyDown(key);
    return source.GetDirection();
}

struct Body : DynamicObject {
    Body() : DynamicObject(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f) { drag = false; }
};

} // namespace

TEST_F(PhysicsTest, KeysAndTouchGiveDirections)
{
    KeyboardDirectionController game(E, Q, A, D, W, S, 0), shifted(E, Q, A, D, W, S, 1);
    EXPECT_EQ(Held(game, {A, D}), Vector3D());
    EXPECT_EQ(Held(game, {Q, S}), Vector3D(0, -0.70710677f, 0.70710677f));
    EXPECT_EQ(Held(shifted, {E, SHIFT}), Vector3D(0, 1, 0));
    EXPECT_EQ(Held(shifted, {E}), Vector3D(0, 0, -1));
    EXPECT_EQ(Held(shifted, {W}), Vector3D()); // k5 and k6 were replaced by k1 and k2
    MouseDirectionController touch;
    Quor::InputState::GetInstance()->OnTouchMove(100, 100);
    Quor::InputState::GetInstance()->OnTouchMove(130, 90);
    EXPECT_EQ(touch.GetDirection(), Vector3D(0.70710677f, -0.70710677f, 0));
}

TEST_F(PhysicsTest, PropulsionsPushWithTheirGain)
{
    Body camera;
    auto* keys = new KeyboardDirectionController(E, Q, A, D, W, S, 0);
    SmartPtr<VectorController> vector(new VectorController(keys, new ConstantGainController(1500)));
    SmartPtr<LinearPropulsion> push(new LinearPropulsion(&camera, vector.Get()));
    SmartPtr<AngularPropulsion> turn(new AngularPropulsion(&camera, vector.Get()));
    Held(*keys, {D});
    push->Tick(0.1f);
    EXPECT_EQ(camera.force, Vector3D(1500, 0, 0));
    Held(*keys, {D, W});
    push->Tick(0.1f);
    turn->Tick(0.1f);
    EXPECT_FLOAT_EQ(camera.force.x - 1500, 1060.66f);
    EXPECT_FLOAT_EQ(camera.force.y, 1060.66f);
    EXPECT_EQ(camera.torque, Vector3D(camera.force.y, -camera.force.y, 0));
    // Missing parts push nothing.
    SmartPtr<LinearPropulsion> none(new LinearPropulsion(&camera, nullptr));
    none->Tick(0.1f);
    EXPECT_EQ(VectorController(nullptr, new ConstantGainController(5)).GetVector(), Vector3D());
}

// Ticks of known lengths against a step of 1/30 s: a tenth of the gap closes per whole step,
// a tick that leaves the timer short of a step moves nothing, and the remainder carries over.
TEST_F(PhysicsTest, RelaxedTrackerClosesATenthOfTheGapEveryThirtiethOfASecond)
{
    Body leader, follower;
    SmartPtr<RelaxedTracker> tracker(new RelaxedTracker(&leader, &follower));
    const struct {
        float tick;
        float x;
    } ticks[] = {
        {0.03f, 0.0f},     // the leader's 10 are collected; the timer is short of a step
        {0.03f, 1.0f},     // one step; 0.0267 s carry over
        {0.01f, 1.9f},     // only the carried time makes this step
        {0.1f, 4.0951f},   // three steps in one tick
        {0.025f, 4.0951f}, // 0.0033 carried + 0.025 is still short of a step
    };
    leader.lastDisplacement = Vector3D(10, 0, 0);
    for (const auto& t : ticks) {
        tracker->Tick(t.tick);
        leader.lastDisplacement = Vector3D();
        EXPECT_NEAR(follower.GetPosition().x, t.x, 1e-4f) << "after a tick of " << t.tick;
    }
    tracker->ResetOffset();
    const float last = follower.GetPosition().x;
    tracker->Tick(0.1f);
    EXPECT_EQ(follower.GetPosition().x, last);
    leader.lastDisplacement = Vector3D(1, 0, 0);
    tracker->Tick(1e30f); // one huge frame: a bounded catch-up that closes the gap
    EXPECT_NEAR(follower.GetPosition().x, last + 1.0f, 1e-5f);

    // A timer that reaches exactly one step is not beyond it: nothing moves until it passes.
    Body start, behind;
    SmartPtr<RelaxedTracker> fresh(new RelaxedTracker(&start, &behind));
    start.lastDisplacement = Vector3D(10, 0, 0);
    fresh->Tick(1.0f / 60.0f);
    start.lastDisplacement = Vector3D();
    fresh->Tick(1.0f / 60.0f);
    EXPECT_EQ(behind.GetPosition().x, 0.0f);
    fresh->Tick(0.001f);
    EXPECT_NEAR(behind.GetPosition().x, 1.0f, 1e-5f);
}

// One application step in order: the managers (the physics pass), then the state tree, whose
// current state's process manager runs the tracker.
TEST_F(PhysicsTest, CameraFollowsAFallingSphereThroughTheStepOrder)
{
    SmartPtr<Quor::Substatable> root(new Quor::Substatable("application"));
    auto* play = new Quor::ApplicationState("play");
    root->SetPending(play);
    root->Update(0.0f);
    physics->gravity = Vector3D(0, -800, 0);
    SmartPtr<Sphere> sphere(new Sphere(Vector3D(400, 400, 0), 1.0f));
    sphere->gravity = true;
    SmartPtr<Camera> camera(new Camera(Degree(60)));
    SmartPtr<Tracker> tracker(new Tracker(sphere.Get(), camera.Get()));
    play->GetProcessManager().AddProcess(tracker.Get());
    const Vector3D gap = tracker->GetOffset();
    for (int i = 0; i < 8; ++i) {
        Quor::System::GetInstance()->UpdateManagers(0.125f);
        root->Update(0.125f);
        EXPECT_LT((tracker->GetOffset() - gap).GetLength(), 1e-3f) << i;
    }
    EXPECT_LT(sphere->GetPosition().y, 300.0f);
    play->GetProcessManager().RemoveItem(tracker.Get());
}
