// The global storage slots, released last slot first when the program ends.
#include "platform/GlobalStorage.h"

namespace Tarv
{

namespace
{

struct Slots {
    SmartPtr<RefCounter> slots[GLOBAL_STORAGE_SLOTS];
    ~Slots()
    {
        for (int i = GLOBAL_STORAGE_SLOTS - 1; i >= 0; --i)
            slots[i].Reset();
    }
};

} // namespace

SmartPtr<RefCounter>* GetGlobalStorage()
{
    static Slots storage;
    return storage.slots;
}

} // namespace Tarv
