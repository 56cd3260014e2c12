// Vund::Scene: an ordered list of drawables drawn back to front (the first added is drawn
// first, the last added ends up on top). An object may be listed several times.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "scene/DrawableObject.h"

#include <list>
#include <vector>

namespace Vund
{

class Scene : public Tarv::RefCounter
{
public:
    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene() override { Clear(); }

    // Appends an entry holding a reference; a null object is refused.
    void AddObject(const Tarv::SmartPtr<DrawableObject>& object);
    // Drops the entry nearest the front that holds the object; nothing when none does.
    void RemoveObject(DrawableObject* object);
    // Releases every entry, front to back.
    void Clear();
    // Draws every object in list order. An object's Draw may change this scene: an object
    // added is drawn in the same walk, one removed is not drawn again and is released (and
    // so perhaps destroyed) only after the walk.
    virtual void Draw(Tarv::Surface* target);

    std::size_t GetObjectCount() const;
    // The entries front to back; while the scene draws, a removed entry is held empty.
    const std::list<Tarv::SmartPtr<DrawableObject>>& GetObjects() const { return m_objects; }

private:
    void ReleaseEntry(std::list<Tarv::SmartPtr<DrawableObject>>::iterator entry);

    std::list<Tarv::SmartPtr<DrawableObject>> m_objects;
    // While drawing, removed entries are emptied in place and their references kept here.
    bool m_drawing = false;
    std::vector<Tarv::SmartPtr<DrawableObject>> m_released;
};

} // namespace Vund
