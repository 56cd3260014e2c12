// The scene's list operations and its drawing walk.
#include "scene/Scene.h"

#include <algorithm>
#include <iterator>

namespace Vund
{

void Scene::AddObject(const Tarv::SmartPtr<DrawableObject>& object)
{
    if (object)
        m_objects.push_back(object);
}

void Scene::RemoveObject(DrawableObject* object)
{
    if (object == nullptr)
        return;
    auto found = std::find_if(m_objects.begin(), m_objects.end(),
                              [object](const Tarv::SmartPtr<DrawableObject>& entry) { return entry.Get() == object; });
    if (found != m_objects.end())
        ReleaseEntry(found);
}

void Scene::Clear()
{
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        const auto next = std::next(it);
        if (*it)
            ReleaseEntry(it);
        it = next;
    }
}

void Scene::ReleaseEntry(std::list<Tarv::SmartPtr<DrawableObject>>::iterator entry)
{
    if (m_drawing) {
        // The walk may stand on this entry: empty it and let the walk unlink it.
        m_released.push_back(std::move(*entry));
        entry->Reset();
        return;
    }
    // Unlinked before the release, so a destructor that reaches back into the scene sees a
    // consistent list.
    Tarv::SmartPtr<DrawableObject> released = std::move(*entry);
    m_objects.erase(entry);
}

std::size_t Scene::GetObjectCount() const
{
    return static_cast<std::size_t>(std::count_if(m_objects.begin(), m_objects.end(),
        [](const Tarv::SmartPtr<DrawableObject>& entry) { return entry != nullptr; }));
}

void Scene::Draw(Tarv::Surface* target)
{
    if (m_drawing)
        return; // a draw from inside a draw of the same scene would paint it twice
    m_drawing = true;
    for (const auto& entry : m_objects)
        if (entry)
            entry->Draw(target);
    m_drawing = false;
    if (m_released.empty())
        return;
    m_objects.remove_if([](const Tarv::SmartPtr<DrawableObject>& entry) { return entry == nullptr; });
    std::vector<Tarv::SmartPtr<DrawableObject>> released;
    released.swap(m_released);
}

} // namespace Vund
