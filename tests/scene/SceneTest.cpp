// Scenes: back-to-front order, duplicate entries, removal of the front entry only, the
// references they hold, and changes an object makes while the scene draws it; the one surface
// reference a sprite holds.
#include "scene/Scene.h"

#include "graphics/render/Surface.h"
#include "scene/Sprite.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using Tarv::SmartPtr;
using Vund::DrawableObject;
using Vund::Scene;

namespace
{

// Logs its name when drawn (through the base's virtual Draw) and "~name" when destroyed.
class Recorder : public DrawableObject
{
public:
    Recorder(std::string& log, char name) : m_log(log), m_name(name) {}
    ~Recorder() override { m_log += std::string("~") + m_name; }
    void Draw(Tarv::Surface*) override
    {
        m_log += m_name;
        if (onDraw)
            onDraw();
    }

    std::function<void()> onDraw;

private:
    std::string& m_log;
    char m_name;
};

} // namespace

TEST(Scene, DrawsInOrderRemovesTheFrontEntryAndReleasesItsReferences)
{
    std::string log;
    SmartPtr<Recorder> a(new Recorder(log, 'a'));
    {
        Scene scene;
        scene.AddObject(a);
        scene.AddObject(SmartPtr<Recorder>(new Recorder(log, 'o')));
        scene.AddObject(a);
        scene.AddObject(SmartPtr<DrawableObject>());
        scene.Draw(nullptr);
        EXPECT_EQ(log, "aoa");
        scene.RemoveObject(a.Get());
        scene.RemoveObject(nullptr);
        EXPECT_EQ(a->GetRefCount(), 2);
        scene.Draw(nullptr);
        EXPECT_EQ(log, "aoaoa");
        log.clear();
    }
    EXPECT_EQ(log, "~o");
    EXPECT_EQ(a->GetRefCount(), 1);
}

TEST(Scene, ObjectsMayChangeTheSceneWhileItDraws)
{
    std::string log;
    Scene scene;
    SmartPtr<Recorder> a(new Recorder(log, 'a')), b(new Recorder(log, 'b'));
    Recorder* self = new Recorder(log, 's');
    scene.AddObject(a);
    scene.AddObject(SmartPtr<Recorder>(self));
    scene.AddObject(b);
    // Removes itself (its last reference) and the next entry, and appends a new object.
    self->onDraw = [&] {
        scene.RemoveObject(self);
        scene.RemoveObject(b.Get());
        scene.AddObject(SmartPtr<Recorder>(new Recorder(log, 'n')));
    };
    scene.Draw(nullptr);
    EXPECT_EQ(log, "asn~s");
    log.clear();
    scene.Draw(nullptr);
    EXPECT_EQ(log, "an");
    EXPECT_EQ(scene.GetObjectCount(), 2u);
    EXPECT_EQ(b->GetRefCount(), 1);
}

// A sprite holds one reference to its surface while it lives, however many hold the sprite;
// releasing the last of those releases that one reference and nothing more.
TEST(Sprite, TheLastSpriteReferenceTakesOneSurfaceReferenceWithIt)
{
    const SmartPtr<Tarv::Surface> surface(new Tarv::Surface(nullptr));
    const int alone = surface->GetRefCount();
    SmartPtr<Vund::Sprite> sprite(new Vund::Sprite(surface, {10, 20, 0}, 1.5f));
    EXPECT_EQ(sprite->GetSurface(), surface.Get());
    EXPECT_EQ(sprite->GetOffset().x + sprite->GetOffset().y + sprite->mirrorMode, 0);
    EXPECT_EQ(sprite->rotation, 0.0f);
    EXPECT_TRUE(sprite->IsTransformed());
    {
        Scene scene;
        scene.AddObject(sprite);
        const SmartPtr<Vund::Sprite> other = sprite;
        sprite.Reset();
        EXPECT_EQ(surface->GetRefCount(), alone + 1);
    }
    EXPECT_EQ(surface->GetRefCount(), alone);
}
