// Dynamic objects stepped by the physics manager: integration, gravity, drag and torque
// examples, the order of a pass while objects come and go, damaged values, lifetimes, and a
// loader thread making objects during passes.
#include "scene/DynamicObject.h"
#include "scene/Physics.h"
#include "scene/Sphere.h"
#include "tests/scene/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace Vund;
using SceneTest::PhysicsTest;

namespace
{

struct Body : DynamicObject {
    explicit Body(const Vector3D& velocity = Vector3D(), float mass = 1.0f)
        : DynamicObject(Vector3D(), velocity, mass, Rotation(), Rotation(), 1.0f)
    {
    }
};

// Logs its name whenever the physics moves it, and may act then.
struct Probe : Body {
    Probe(std::string& log_, char name_) : Body(Vector3D(1, 0, 0)), log(log_), name(name_) { drag = false; }
    void SetPosition(const Vector3D& p, bool accumulate) override
    {
        log += name;
        DynamicObject::SetPosition(p, accumulate);
        if (onMove)
            onMove();
    }
    std::string& log;
    char name;
    std::function<void()> onMove;
};

struct Step {
    const char* name;
    Vector3D velocity, force;
    float mass, dt;
    bool gravity, drag, frozen;
    Vector3D wantVelocity, wantDisplacement;
};

void PrintTo(const Step& c, std::ostream* out)
{
    *out << c.name;
}

class Integration : public PhysicsTest, public ::testing::WithParamInterface<Step>
{
};

} // namespace

// Through the manager's tick, with the game's tuning: gravity (0, -800, 0), drag 8.
TEST_P(Integration, OneTickMovesByHalfTheVelocityTimesTheStep)
{
    const Step& s = GetParam();
    physics->gravity = Vector3D(0, -800, 0);
    physics->defaultDrag = 8.0f;
    Body object(s.velocity, s.mass);
    object.gravity = s.gravity;
    object.drag = s.drag;
    object.frozen = s.frozen;
    object.force = s.force;
    Tick(s.dt);
    EXPECT_LT((object.GetVelocity() - s.wantVelocity).GetLength(), 1e-5f);
    EXPECT_LT((object.lastDisplacement - s.wantDisplacement).GetLength(), 1e-6f);
    EXPECT_EQ(object.GetPosition(), object.lastDisplacement);
    EXPECT_EQ(object.force, Vector3D());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Integration,
    ::testing::Values(Step{"Coasting", {10, 0, 0}, {}, 1, 0.1f, false, false, false, {10, 0, 0}, {0.5f, 0, 0}},
                      Step{"ShortTick", {10, 0, 0}, {}, 1, 0.05f, false, false, false, {10, 0, 0}, {0.25f, 0, 0}},
                      Step{"Force", {}, {2, 0, 0}, 2, 0.5f, false, false, false, {0.5f, 0, 0}, {0.125f, 0, 0}},
                      Step{"Gravity", {}, {}, 4, 0.1f, true, false, false, {0, -80, 0}, {0, -4, 0}},
                      Step{"Drag", {10, 0, 0}, {}, 1, 0.1f, false, true, false, {2, 0, 0}, {0.1f, 0, 0}},
                      Step{"Frozen", {3, 0, 0}, {7, 0, 0}, 1, 0.1f, true, true, true, {3, 0, 0}, {}},
                      // Without mass a body cannot take a force: the force is dropped.
                      Step{"ZeroMass", {4, 0, 0}, {5, 0, 0}, 0, 0.5f, false, false, false, {4, 0, 0}, {1, 0, 0}},
                      // A negative mass turns the force around.
                      Step{"NegativeMass", {4, 0, 0}, {5, 0, 0}, -1, 0.5f, false, false, false, {1.5f, 0, 0}, {0.375f, 0, 0}}),
    [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.name); });

TEST_F(PhysicsTest, TorqueJumpsAndDrag)
{
    Body turning;
    turning.torque = Vector3D(0, 0, 3.14159265f);
    Body follows(Vector3D(10, 0, 0)), own(Vector3D(10, 0, 0));
    own.SetDrag(2.0f);
    physics->defaultDrag = 8.0f; // read at the next tick by every object without its own
    Tick(0.125f);
    const Vector3D turned = Quaternion::RotateVector(Vector3D(1, 0, 0), turning.GetOrientation());
    EXPECT_LT((turned - Vector3D(-1, 0, 0)).GetLength(), 1e-6f);
    EXPECT_EQ(turning.torque, Vector3D());
    EXPECT_FLOAT_EQ(follows.GetVelocity().x, 0.0f);
    EXPECT_FLOAT_EQ(own.GetVelocity().x, 7.5f);
    Body jumping;
    jumping.SetPosition(Vector3D(2, 0, 0), true);
    jumping.MoveBy(Vector3D(0, 3, 0), true);
    jumping.SetPosition(Vector3D(50, 50, 50), false);
    EXPECT_EQ(jumping.lastDisplacement, Vector3D(2, 3, 0));
}

TEST_F(PhysicsTest, PassStepsInOrderWhileObjectsComeAndGo)
{
    std::string log;
    auto z = std::make_unique<Probe>(log, 'z'), a = std::make_unique<Probe>(log, 'a');
    auto b = std::make_unique<Probe>(log, 'b'), c = std::make_unique<Probe>(log, 'c');
    std::unique_ptr<Probe> made;
    // a removes an object already stepped (z) and the next one (b), and makes a new one.
    a->onMove = [&] {
        if (made)
            return;
        z.reset();
        b.reset();
        made = std::make_unique<Probe>(log, 'n');
    };
    Tick(0.1f);
    EXPECT_EQ(log, "zacn");
    Probe stranger(log, 's');
    physics->RemoveObject(&stranger);
    physics->RemoveObject(&stranger);
    physics->RemoveObject(nullptr);
    log.clear();
    Tick(0.1f);
    EXPECT_EQ(log, "acn");
}

// The registered flag (cleared by the active-camera slot for the camera it holds) does not
// keep a destroyed object listed: the next pass steps only the living.
TEST_F(PhysicsTest, AnObjectDestroyedWithItsRegisteredFlagClearedIsNotSteppedAgain)
{
    std::string log;
    const auto kept = std::make_unique<Probe>(log, 'k');
    auto gone = std::make_unique<Probe>(log, 'g');
    gone->registered = false;
    gone.reset();
    Tick(0.1f);
    EXPECT_EQ(log, "k");
    EXPECT_EQ(physics->GetObjectCount(), 1u);
}

TEST_F(PhysicsTest, PausedTheManagerSkipsThePassAndATickWithoutTimeMovesByNothing)
{
    EXPECT_EQ(Quor::System::GetInstance()->GetManager("Physics"), static_cast<Quor::Process*>(physics));
    EXPECT_EQ(physics->GetName(), "physics");
    Body object(Vector3D(10, 0, 0));
    object.force = Vector3D(1, 0, 0);
    physics->SetPaused(true);
    Tick(0.1f);
    EXPECT_EQ(object.GetPosition(), Vector3D());
    EXPECT_EQ(object.force, Vector3D(1, 0, 0)); // kept for the next pass
    physics->SetPaused(false);
    Tick(0.1f);
    ASSERT_FALSE(object.lastDisplacement.IsZero());
    for (const float dt : {0.0f, -1.0f}) {
        const Vector3D at = object.GetPosition();
        const Vector3D velocity = object.GetVelocity();
        object.force = Vector3D(1, 0, 0);
        Tick(dt);
        // The pass runs with a step of 0: forces are used up and the last move is none.
        EXPECT_EQ(object.GetPosition(), at) << dt;
        EXPECT_EQ(object.GetVelocity(), velocity) << dt;
        EXPECT_EQ(object.force, Vector3D()) << dt;
        EXPECT_EQ(object.lastDisplacement, Vector3D()) << dt;
    }
}

TEST_F(PhysicsTest, DamagedValuesStayInTheirObject)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Body broken(Vector3D(nan, 0, 0));
    broken.force = Vector3D(std::numeric_limits<float>::infinity(), 0, 0);
    DynamicObject spinning(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation::FromComponents(1.0000001f, 0, 0, 0), 1.0f);
    spinning.angularDrag = true;
    Body healthy(Vector3D(10, 0, 0));
    healthy.drag = false;
    Tick(0.1f);
    EXPECT_EQ(broken.GetPosition(), Vector3D());
    EXPECT_FALSE(std::isnan(spinning.GetOrientation().w));
    EXPECT_FLOAT_EQ(healthy.GetPosition().x, 0.5f);
}

TEST(PhysicsLifetime, ObjectsOutlivingTheManagerAreLetGo)
{
    EXPECT_EQ(Physics::GetInstance(), nullptr); // no service registry: nothing is stepped
    Quor::System::Create(nullptr);
    auto survivor = std::make_unique<Sphere>(Vector3D(), 1.0f);
    ASSERT_NE(survivor->GetPhysics(), nullptr);
    Quor::System::Destroy();
    EXPECT_EQ(survivor->GetPhysics(), nullptr);
    survivor.reset();
}

// A loader thread makes, sets up, hands over and destroys objects while the main thread runs
// passes (run under ThreadSanitizer too).
TEST_F(PhysicsTest, LoaderThreadMayMakeAndDestroyObjectsDuringPasses)
{
    std::atomic<bool> stop{false};
    std::future<int> loader = std::async(std::launch::async, [&stop] {
        int made = 0;
        Physics::HoldNewObjects(true);
        for (; !stop.load() && made < 4000; made += 2) {
            Tarv::SmartPtr<Sphere> a(new Sphere(Vector3D(0, 0, 0), 1.0f)), b(new Sphere(Vector3D(1, 0, 0), 1.0f));
            a->gravity = true;
            Physics::GetInstance()->ReleaseHeldObjects();
            // Taken off the list before their derived parts are torn down.
            Physics::Leave(a.Get());
            Physics::Leave(b.Get());
        }
        Physics::HoldNewObjects(false);
        return made;
    });
    Body resident(Vector3D(1, 0, 0));
    resident.drag = false;
    int passes = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (; loader.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline;
         ++passes)
        Tick(0.125f);
    stop = true;
    ASSERT_EQ(loader.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(loader.get(), 4000);
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    EXPECT_EQ(resident.GetPosition().x, 0.0625f * static_cast<float>(passes)); // stepped once a pass
}

// A state's load holds what it makes; a hold inside it (a nested load) leaves the release to the
// outer one, which lists the objects in the order they were made.
TEST_F(PhysicsTest, OnlyTheOutermostHoldListsItsObjects)
{
    std::unique_ptr<Body> a, b;
    {
        const PhysicsHold outer;
        a = std::make_unique<Body>();
        {
            const PhysicsHold inner;
            b = std::make_unique<Body>();
        }
        EXPECT_TRUE(Physics::IsHoldingNewObjects());
        EXPECT_EQ(physics->GetObjectCount(), 0u);
    }
    EXPECT_FALSE(Physics::IsHoldingNewObjects());
    EXPECT_EQ(physics->GetItems(), (std::vector<DynamicObject*>{a.get(), b.get()}));
}
