// The engine's three global storage slots: 0 the application globals, 1 the file system's
// static data, 2 unused. They start null and are released at program exit in the order 2, 1, 0.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

constexpr int GLOBAL_STORAGE_SLOTS = 3;
constexpr int GLOBAL_SLOT_APP = 0;
constexpr int GLOBAL_SLOT_VFS = 1;

// The slots, GLOBAL_STORAGE_SLOTS of them. Main thread only.
SmartPtr<RefCounter>* GetGlobalStorage();

// Held in slot 0 while an application exists; nothing reads it.
class AppGlobals : public RefCounter
{
public:
    int value = 0;
    NarrowString first;
    NarrowString second;
};

} // namespace Tarv
