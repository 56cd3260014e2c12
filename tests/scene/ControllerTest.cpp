// Propulsions, trackers and the direction sources: the key and touch sequences, the eased
// tracker's steps, and a camera following a falling sphere through one application step's
// order (managers first, then the state tree).
#include "framework/ApplicationState.h"
#include "framework/InputState.h"
#include "framework/Substatable.h"
#include "framework/System.h"
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

class ControllerTest : public PhysicsTest
{
protected:
    void Hold(std::initializer_list<int> keys)
    {
        Quor::InputState* input = Quor::InputState::GetInstance();
        for (int key = 0; key < Quor::InputState::KEY_COUNT; ++key)
            input->OnKeyUp(key);
        for (int key : keys)
            input->OnKeyDown(key);
    }

    Vector3D Direction(KeyboardDirectionController& keys, std::initializer_list<int> held)
    {
        Hold(held);
        return keys.GetDirection();
    }
};

struct Ticking : DynamicObject {
    Ticking() : DynamicObject(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f) { drag = false; }
};

} // namespace

TEST_F(ControllerTest, GameCameraKeysPushWithTheirGain)
{
    Ticking camera;
    SmartPtr<VectorController> vector(
        new VectorController(new KeyboardDirectionController(E, Q, A, D, W, S, 0), new ConstantGainController(1500)));
    SmartPtr<LinearPropulsion> push(new LinearPropulsion(&camera, vector.Get()));
    Hold({D});
    push->Tick(0.1f);
    EXPECT_EQ(camera.force, Vector3D(1500, 0, 0));
    camera.force = Vector3D();
    Hold({D, W});
    push->Tick(0.1f);
    EXPECT_FLOAT_EQ(camera.force.x, 1060.66f);
    EXPECT_FLOAT_EQ(camera.force.y, 1060.66f);
    EXPECT_FLOAT_EQ(camera.force.GetLength(), 1500.0f);
}

TEST_F(ControllerTest, KeyboardAxesAndTheShiftMode)
{
    KeyboardDirectionController game(E, Q, A, D, W, S, 0);
    EXPECT_EQ(Direction(game, {A, D}), Vector3D());
    EXPECT_EQ(Direction(game, {Q, S}), Vector3D(0, -0.70710677f, 0.70710677f));
    EXPECT_EQ(Direction(game, {}), Vector3D());
    KeyboardDirectionController shifted(E, Q, A, D, W, S, 1);
    EXPECT_EQ(Direction(shifted, {E, SHIFT}), Vector3D(0, 1, 0));
    EXPECT_EQ(Direction(shifted, {E}), Vector3D(0, 0, -1));
    EXPECT_EQ(Direction(shifted, {W}), Vector3D()); // k5 and k6 were replaced by k1 and k2
}

TEST_F(ControllerTest, TouchMovesGiveTheSignOfTheDelta)
{
    MouseDirectionController touch;
    Quor::InputState* input = Quor::InputState::GetInstance();
    input->OnTouchDown(100, 100);
    input->OnTouchMove(130, 90);
    EXPECT_EQ(touch.GetDirection(), Vector3D(0.70710677f, -0.70710677f, 0));
}

TEST_F(ControllerTest, AngularPropulsionAndMissingParts)
{
    Ticking object;
    SmartPtr<VectorController> vector(
        new VectorController(new KeyboardDirectionController(E, Q, A, D, W, S, 0), new ConstantGainController(2)));
    Hold({D, W});
    SmartPtr<AngularPropulsion> turn(new AngularPropulsion(&object, vector.Get()));
    turn->Tick(0.1f);
    EXPECT_FLOAT_EQ(object.torque.x, 1.4142135f);
    EXPECT_FLOAT_EQ(object.torque.y, -1.4142135f);
    SmartPtr<LinearPropulsion> none(new LinearPropulsion(&object, nullptr));
    none->Tick(0.1f);
    SmartPtr<VectorController> halfMade(new VectorController(nullptr, new ConstantGainController(5)));
    EXPECT_EQ(halfMade->GetVector(), Vector3D());
    EXPECT_EQ(object.force, Vector3D());
}

TEST_F(ControllerTest, RelaxedTrackerEasesATenthPerStep)
{
    Ticking leader, follower;
    SmartPtr<RelaxedTracker> tracker(new RelaxedTracker(&leader, &follower));
    const float step = 1.0f / 30.0f;
    leader.lastDisplacement = Vector3D(10, 0, 0);
    tracker->Tick(step / 2);
    leader.lastDisplacement = Vector3D();
    tracker->Tick(step / 2);
    EXPECT_EQ(follower.GetPosition().x, 0.0f); // the timer equals the step, not more
    tracker->Tick(step / 4);                    // the carried time now exceeds it
    float last = 0.0f;
    for (float want : {1.0f, 0.9f, 0.81f, 0.729f}) {
        EXPECT_NEAR(follower.GetPosition().x - last, want, 1e-5f);
        last = follower.GetPosition().x;
        tracker->Tick(step);
    }
    tracker->ResetOffset();
    last = follower.GetPosition().x;
    for (int i = 0; i < 5; ++i)
        tracker->Tick(step);
    EXPECT_EQ(follower.GetPosition().x, last);
    leader.lastDisplacement = Vector3D(1, 0, 0);
    tracker->Tick(1e30f); // one huge frame: a bounded catch-up that closes the gap
    leader.lastDisplacement = Vector3D();
    EXPECT_NEAR(follower.GetPosition().x, last + 1.0f, 1e-5f);
    last = follower.GetPosition().x;
    tracker->SetStepLength(0.0f);
    leader.lastDisplacement = Vector3D(1, 0, 0);
    tracker->Tick(step); // no easing step at all, and no endless loop
    EXPECT_EQ(follower.GetPosition().x, last);
    EXPECT_EQ(tracker->GetOffset(), Vector3D(-last, 0, 0));
}

// One application step in order: the managers (the physics pass), then the state tree, whose
// current state's process manager runs the tracker.
TEST_F(ControllerTest, CameraFollowsAFallingSphereThroughTheStepOrder)
{
    SmartPtr<Quor::Substatable> root(new Quor::Substatable("application"));
    auto* play = new Quor::ApplicationState("play");
    root->SetPending(play);
    root->Update(0.0f);
    physics->gravity = Vector3D(0, -800, 0);
    SmartPtr<Sphere> sphere(new Sphere(Vector3D(400, 400, 0), 1.0f));
    sphere->gravity = true;
    sphere->drag = false;
    SmartPtr<Camera> camera(new Camera(Degree(60)));
    camera->drag = false;
    SmartPtr<Tracker> tracker(new Tracker(sphere.Get(), camera.Get()));
    play->GetProcessManager().AddProcess(tracker.Get());
    const Vector3D gap = tracker->GetOffset();
    for (int i = 0; i < 8; ++i) {
        Quor::System::GetInstance()->UpdateManagers(0.125f);
        root->Update(0.125f);
        EXPECT_EQ(tracker->GetOffset(), gap) << i;
    }
    EXPECT_LT(sphere->GetPosition().y, 300.0f);
    play->GetProcessManager().RemoveItem(tracker.Get());
    root.Reset();
}
