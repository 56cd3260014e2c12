// Quor::SubstatableClient: an observer that a substatable updates, draws and feeds with input
// just before (mode 0) or just after (mode 1) its current state.
#pragma once

#include "engine/core/NarrowString.h"
#include "framework/StateTypes.h"

namespace Quor
{

class Substatable;

class SubstatableClient
{
public:
    enum Mode
    {
        BEFORE = 0,
        AFTER = 1
    };

    SubstatableClient() = default;
    SubstatableClient(const SubstatableClient&) = delete;
    SubstatableClient& operator=(const SubstatableClient&) = delete;
    // Detaches from the owner.
    virtual ~SubstatableClient();

    // Leaves the old owner's lists first, then joins the owner's "before" (0) or "after" (1)
    // list at its end; another mode records the owner and lists the client nowhere. False,
    // changing nothing, when the owner is null. Main thread, never during the owner's walk.
    bool Attach(Substatable* owner, int mode);
    // Attach to the substatable registered under the name; false when none is.
    bool AttachTo(const Tarv::NarrowString& name, int mode);
    // Leaves every list of the owner; nothing happens when there is no owner.
    void Detach();

    Substatable* GetOwner() const { return m_owner; }

    virtual void Update(const float& dt) { (void)dt; }
    virtual void Render(Tarv::Surface* surface) { (void)surface; }
    virtual void OnKeyDown(int key) { (void)key; }
    virtual void OnKeyUp(int key) { (void)key; }
    virtual void OnTouchDown(const TouchPoints& points) { (void)points; }
    virtual void OnTouchUp(const TouchPoints& points) { (void)points; }
    virtual void OnTouchMove(const TouchPoints& points) { (void)points; }
    virtual void OnAccelerometer(float x, float y, float z) { (void)x, (void)y, (void)z; }

private:
    friend class Substatable;

    Substatable* m_owner = nullptr;
};

} // namespace Quor
