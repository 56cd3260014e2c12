// The owner of script components and its state-tree client.
#include "framework/LuaEnabled.h"

#include "platform/AbstractApp.h"
#include "framework/LuaComponent.h"

namespace Quor
{

void LuaEnabled::LuaUpdater::Update(const float& dt)
{
    for (const auto& entry : components)
        entry.second->Update(dt);
}

void LuaEnabled::LuaUpdater::Render(Tarv::Surface* surface)
{
    for (const auto& entry : components)
        entry.second->Render(surface);
}

void LuaEnabled::LuaUpdater::OnKeyDown(int key)
{
    for (const auto& entry : components)
        entry.second->OnKeyDown(key);
}

void LuaEnabled::LuaUpdater::OnKeyUp(int key)
{
    for (const auto& entry : components)
        entry.second->OnKeyUp(key);
}

void LuaEnabled::LuaUpdater::OnTouchDown(const TouchPoints& points)
{
    if (points.empty())
        return;
    for (const auto& entry : components)
        entry.second->OnTouchDown(points[0].x, points[0].y);
}

void LuaEnabled::LuaUpdater::OnTouchUp(const TouchPoints& points)
{
    if (points.empty())
        return;
    for (const auto& entry : components)
        entry.second->OnTouchUp(points[0].x, points[0].y);
}

LuaEnabled::LuaEnabled() = default;

LuaEnabled::~LuaEnabled()
{
    m_updater.components.clear();
    m_updater.Detach();
}

LuaComponent* LuaEnabled::GetComponent(const Tarv::NarrowString& name) const
{
    const auto found = m_updater.components.find(name);
    return found != m_updater.components.end() ? found->second.Get() : nullptr;
}

void LuaEnabled::OnLuaFeedback(const Tarv::NarrowString&, const Tarv::NarrowString&) {}

void LuaEnabled::LoadComponent(const Tarv::NarrowString& scriptPath)
{
    const Tarv::SmartPtr<LuaComponent> component(new LuaComponent(scriptPath, this));
    m_updater.components.emplace(component->GetName(), component);
}

bool LuaEnabled::AttachUpdater(const Tarv::NarrowString& substatable, int mode)
{
    return m_updater.AttachTo(substatable, mode);
}

} // namespace Quor
