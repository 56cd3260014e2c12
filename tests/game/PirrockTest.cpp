// The hero: its picture kept at the body's position plus the offset, its start, and the hero
// singleton letting go of (and unlisting) the hero it replaces.
#include "game/Pirrock.h"

#include "scene/Physics.h"
#include "tests/game/GameWorld.h"

using Hero = Pirrock::Pirrock;
using Vund::Vector3D;

TEST(Hero, ThePictureFollowsTheBodyAtItsOffset)
{
    GameTest::GameFiles files;
    Hero hero;
    EXPECT_EQ(hero.GetPosition(), Vector3D());
    EXPECT_EQ(hero.GetVelocity(), Vector3D());
    EXPECT_FALSE(hero.gravity);
    EXPECT_FALSE(hero.drag);
    hero.SetPosition(Vector3D(100, 50, 0), true);
    EXPECT_EQ(hero.lastDisplacement, Vector3D(100, 50, 0));
    hero.SetSpriteOffset(Vector3D(3, -2, 0));
    EXPECT_EQ(hero.position, Vector3D(103, 48, 0));
    hero.SetPosition(Vector3D(110, 50, 0), false);
    EXPECT_EQ(hero.position, Vector3D(113, 48, 0));
    hero.SetSpriteOffset(Vector3D(3, 0, 0));
    hero.SetSpriteOffset(Vector3D(0, 5, 0));
    EXPECT_EQ(hero.GetSpriteOffset(), Vector3D(0, 5, 0));
    EXPECT_EQ(hero.position, Vector3D(110, 55, 0));
}

TEST(Hero, TheSingletonReleasesAndUnlistsTheHeroItReplaces)
{
    GameTest::GameFiles files;
    Vund::Physics* physics = Vund::Physics::GetInstance();
    ASSERT_NE(physics, nullptr);
    Hero::SetInstance(Tarv::MakeSmart<Hero>());
    Hero* first = Hero::GetInstance().Get();
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    Hero::SetInstance(Tarv::MakeSmart<Hero>());
    EXPECT_NE(Hero::GetInstance().Get(), first);
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    Hero::SetInstance(Tarv::SmartPtr<Hero>());
    EXPECT_EQ(physics->GetObjectCount(), 0u);
}
