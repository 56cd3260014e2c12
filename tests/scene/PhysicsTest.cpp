// Dynamic objects stepped by the physics manager: integration, gravity, drag and torque
// examples, the order of a pass while objects come and go, and damaged values.
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
#include <thread>

using namespace Vund;
using SceneTest::PhysicsTest;

namespace
{

// Logs its name whenever the physics moves it, and may act then.
class Probe : public DynamicObject
{
public:
    Probe(std::string& log, char name, const Vector3D& velocity = Vector3D(1, 0, 0))
        : DynamicObject(Vector3D(), velocity, 1.0f, Rotation(), Rotation(), 1.0f), m_log(log), m_name(name)
    {
        drag = false;
    }
    void SetPosition(const Vector3D& p, bool accumulate) override
    {
        m_log += m_name;
        DynamicObject::SetPosition(p, accumulate);
        if (onMove)
            onMove();
    }

    std::function<void()> onMove;

private:
    std::string& m_log;
    char m_name;
};

struct Step {
    const char* name;
    Vector3D velocity;
    Vector3D force;
    float mass;
    float dt;
    bool gravity;
    bool drag;
    Vector3D wantVelocity;
    Vector3D wantDisplacement;
};

void PrintTo(const Step& s, std::ostream* out)
{
    *out << s.name;
}

void ExpectEq(const Vector3D& got, const Vector3D& want)
{
    EXPECT_FLOAT_EQ(got.x, want.x);
    EXPECT_FLOAT_EQ(got.y, want.y);
    EXPECT_FLOAT_EQ(got.z, want.z);
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
    DynamicObject object(Vector3D(1, 2, 3), s.velocity, s.mass, Rotation(), Rotation(), 1.0f);
    object.gravity = s.gravity;
    object.drag = s.drag;
    object.force = s.force;
    Tick(s.dt);
    ExpectEq(object.GetVelocity(), s.wantVelocity);
    ExpectEq(object.lastDisplacement, s.wantDisplacement);
    ExpectEq(object.GetPosition(), Vector3D(1, 2, 3) + s.wantDisplacement);
    EXPECT_EQ(object.force, Vector3D());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Integration,
    ::testing::Values(
        Step{"Coasting", {10, 0, 0}, {}, 1, 0.1f, false, false, {10, 0, 0}, {0.5f, 0, 0}},
        Step{"ShortTick", {10, 0, 0}, {}, 1, 0.05f, false, false, {10, 0, 0}, {0.25f, 0, 0}},
        Step{"Force", {}, {2, 0, 0}, 2, 0.5f, false, false, {0.5f, 0, 0}, {0.125f, 0, 0}},
        Step{"Gravity", {}, {}, 1, 0.1f, true, false, {0, -80, 0}, {0, -4, 0}},
        Step{"GravityIgnoresMass", {}, {}, 4, 0.1f, true, false, {0, -80, 0}, {0, -4, 0}},
        Step{"Drag", {10, 0, 0}, {}, 1, 0.1f, false, true, {2, 0, 0}, {0.1f, 0, 0}},
        // A body without mass cannot take a force: the force is dropped, the body coasts.
        Step{"ZeroMass", {4, 0, 0}, {5, 0, 0}, 0, 0.5f, false, false, {4, 0, 0}, {1, 0, 0}},
        Step{"NegativeMass", {4, 0, 0}, {5, 0, 0}, -1, 0.5f, false, false, {4, 0, 0}, {1, 0, 0}}),
    [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.name); });

TEST_F(PhysicsTest, TorqueTurnsByItsLengthWhateverTheStep)
{
    DynamicObject object(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f);
    object.torque = Vector3D(0, 0, 3.14159265f);
    Tick(0.01f);
    const Vector3D turned = Quaternion::RotateVector(Vector3D(1, 0, 0), object.GetOrientation());
    EXPECT_NEAR(turned.x, -1.0f, 1e-6f);
    EXPECT_NEAR(turned.y, 0.0f, 1e-6f);
    EXPECT_EQ(object.torque, Vector3D());
}

TEST_F(PhysicsTest, FrozenObjectDiscardsItsForceAndStays)
{
    DynamicObject object(Vector3D(5, 5, 5), Vector3D(3, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    object.lastDisplacement = Vector3D(9, 9, 9);
    object.frozen = true;
    object.gravity = true;
    Tick(0.1f);
    EXPECT_EQ(object.GetPosition(), Vector3D(5, 5, 5));
    EXPECT_EQ(object.GetVelocity(), Vector3D(3, 0, 0));
    EXPECT_EQ(object.force, Vector3D());
    EXPECT_EQ(object.lastDisplacement, Vector3D());
}

TEST_F(PhysicsTest, AccumulatedJumpsAddToTheLastDisplacement)
{
    DynamicObject object(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f);
    object.SetPosition(Vector3D(2, 0, 0), true);
    object.MoveBy(Vector3D(0, 3, 0), true);
    object.SetPosition(Vector3D(50, 50, 50), false);
    EXPECT_EQ(object.lastDisplacement, Vector3D(2, 3, 0));
}

TEST_F(PhysicsTest, DefaultDragActsFromTheNextTickUnlessTheObjectHasItsOwn)
{
    DynamicObject follows(Vector3D(), Vector3D(10, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    DynamicObject own(Vector3D(), Vector3D(10, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    own.SetDrag(2.0f);
    physics->defaultDrag = 8.0f;
    Tick(0.125f);
    EXPECT_FLOAT_EQ(follows.GetVelocity().x, 0.0f);
    EXPECT_FLOAT_EQ(own.GetVelocity().x, 7.5f);
}

TEST_F(PhysicsTest, PassStepsInOrderWhileObjectsComeAndGo)
{
    std::string log;
    auto z = std::make_unique<Probe>(log, 'z');
    auto a = std::make_unique<Probe>(log, 'a');
    auto b = std::make_unique<Probe>(log, 'b');
    auto c = std::make_unique<Probe>(log, 'c');
    std::unique_ptr<Probe> made;
    // a removes an object already stepped (z) and the next one (b), and makes a new one.
    bool acted = false;
    a->onMove = [&] {
        if (acted)
            return;
        acted = true;
        z.reset();
        b.reset();
        made = std::make_unique<Probe>(log, 'n');
    };
    Tick(0.1f);
    EXPECT_EQ(log, "zacn");
    log.clear();
    Tick(0.1f);
    EXPECT_EQ(log, "acn");
    physics->RemoveObject(nullptr);
    Probe stranger(log, 's');
    physics->RemoveObject(&stranger);
    physics->RemoveObject(&stranger);
    EXPECT_EQ(physics->GetObjectCount(), 3u);
}

TEST_F(PhysicsTest, TheManagerIsTheRegisteredServiceAndPausingItStopsEverything)
{
    EXPECT_EQ(Quor::System::GetInstance()->GetManager("Physics"), static_cast<Quor::Process*>(physics));
    EXPECT_EQ(Physics::GetInstance(), physics);
    EXPECT_EQ(physics->GetName(), "physics");
    DynamicObject object(Vector3D(), Vector3D(10, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    physics->SetPaused(true);
    Tick(0.1f);
    physics->SetPaused(false);
    Tick(0.0f);
    Tick(-1.0f);
    EXPECT_EQ(object.GetPosition(), Vector3D());
    EXPECT_FLOAT_EQ(object.GetVelocity().x, 10.0f);
}

TEST_F(PhysicsTest, DamagedValuesStayInTheirObject)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    DynamicObject broken(Vector3D(1, 1, 1), Vector3D(nan, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    broken.force = Vector3D(std::numeric_limits<float>::infinity(), 0, 0);
    DynamicObject spinning(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation::FromComponents(1.0000001f, 0, 0, 0), 1.0f);
    spinning.angularDrag = true;
    DynamicObject healthy(Vector3D(), Vector3D(10, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    healthy.drag = false;
    Tick(0.1f);
    EXPECT_EQ(broken.GetPosition(), Vector3D(1, 1, 1));
    EXPECT_EQ(broken.lastDisplacement, Vector3D());
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
    EXPECT_FLOAT_EQ(survivor->GetDragCoefficient(), 0.0f);
    survivor.reset();
}

// A loader thread makes, sets up, hands over and destroys objects while the main thread runs
// passes (run it under ThreadSanitizer too).
TEST_F(PhysicsTest, LoaderThreadMayMakeAndDestroyObjectsDuringPasses)
{
    std::atomic<bool> stop{false};
    std::future<int> loader = std::async(std::launch::async, [&stop] {
        int made = 0;
        Physics::HoldNewObjects(true);
        while (!stop.load() && made < 4000) {
            Tarv::SmartPtr<Sphere> a(new Sphere(Vector3D(0, 0, 0), 1.0f)), b(new Sphere(Vector3D(1, 0, 0), 1.0f));
            a->gravity = true;
            Physics::GetInstance()->ReleaseHeldObjects();
            made += 2;
            // Taken off the list before their derived parts are torn down.
            Physics::Leave(a.Get());
            Physics::Leave(b.Get());
        }
        Physics::HoldNewObjects(false);
        return made;
    });
    DynamicObject resident(Vector3D(), Vector3D(1, 0, 0), 1.0f, Rotation(), Rotation(), 1.0f);
    resident.drag = false;
    int passes = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (loader.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline) {
        Tick(0.125f);
        ++passes;
    }
    stop = true;
    ASSERT_EQ(loader.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(loader.get(), 4000);
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    EXPECT_EQ(resident.GetPosition().x, 0.0625f * static_cast<float>(passes)); // exact: every pass stepped it once
}
