// The hero: its picture kept at the body's position plus the offset, its start, and the hero
// singleton letting go of (and unlisting) the hero it replaces.
#include "game/Pirrock.h"

#include "scene/Physics.h"
#include "tests/game/GameWorld.h"

using Hero = Pirrock::Pirrock;
using Vund::Vector3D;

TEST(Hero, ThePictureFollowsTheBodyAtItsOffsetAndTheSingletonLetsGoOfTheHeroItReplaces)
{
    GameTest::GameFiles files;
    Hero::SetInstance(Tarv::MakeSmart<Hero>());
    Hero& hero = *Hero::GetInstance();
    EXPECT_FALSE(hero.gravity || hero.drag || hero.GetPosition() != Vector3D() || hero.GetVelocity() != Vector3D());
    hero.SetPosition(Vector3D(100, 50, 0), true);
    EXPECT_EQ(hero.lastDisplacement, Vector3D(100, 50, 0));
    hero.SetSpriteOffset(Vector3D(3, -2, 0));
    EXPECT_EQ(hero.position, Vector3D(103, 48, 0));
    hero.SetPosition(Vector3D(110, 50, 0), false);
    EXPECT_EQ(hero.position, Vector3D(113, 48, 0));
    hero.SetSpriteOffset(Vector3D(0, 5, 0));
    EXPECT_EQ(hero.position, Vector3D(110, 55, 0));

    const Vund::Physics* physics = Vund::Physics::GetInstance();
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    Hero::SetInstance(Tarv::MakeSmart<Hero>());
    EXPECT_EQ(physics->GetObjectCount(), 1u);
    Hero::SetInstance({});
    EXPECT_EQ(physics->GetObjectCount(), 0u);
}
