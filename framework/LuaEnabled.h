// Quor::LuaEnabled: an owner of script components (every application state, and the game's
// HUD): it keeps them by name, hears their feedback, and carries the state-tree client that
// passes each frame's update, render and key and touch events to their screens.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "framework/SubstatableClient.h"

#include <map>

namespace Quor
{

class LuaComponent;

class LuaEnabled
{
public:
    // Passes the frame to every component in name order; touches with their first point only.
    // No touch moves and no accelerometer events reach screen scripts through it.
    class LuaUpdater : public SubstatableClient
    {
    public:
        void Update(const float& dt) override;
        void Render(Tarv::Surface* surface) override;
        void OnKeyDown(int key) override;
        void OnKeyUp(int key) override;
        void OnTouchDown(const TouchPoints& points) override;
        void OnTouchUp(const TouchPoints& points) override;

        std::map<Tarv::NarrowString, Tarv::SmartPtr<LuaComponent>> components;
    };

    LuaEnabled();
    // Releases every component, then detaches the updater.
    virtual ~LuaEnabled();
    LuaEnabled(const LuaEnabled&) = delete;
    LuaEnabled& operator=(const LuaEnabled&) = delete;

    // The component stored under name; null when there is none.
    virtual LuaComponent* GetComponent(const Tarv::NarrowString& name) const;
    // A script's request through "LuaFeedback"; nothing by default.
    virtual void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command);

    // Creates the component of the script (its script runs and "Initialize" is called) and
    // keeps it under the script's base name; a taken name keeps the first component.
    void LoadComponent(const Tarv::NarrowString& scriptPath);
    // Attaches the updater to the substatable registered under the name (0 "before", 1
    // "after"); false when there is none.
    bool AttachUpdater(const Tarv::NarrowString& substatable, int mode);
    LuaUpdater& GetUpdater() { return m_updater; }

private:
    LuaUpdater m_updater;
};

} // namespace Quor
