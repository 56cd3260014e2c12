// The script names of the key codes, indexed by code.
#include "engine/core/KeyCodes.h"

namespace Tarv
{

namespace
{

const char* const KEY_NAMES[KEY_COUNT] = {
    "KEY_INVALID",
    "KEY_LEFT",
    "KEY_RIGHT",
    "KEY_UP",
    "KEY_DOWN",
    "KEY_LSOFT",
    "KEY_SELECT",
    "KEY_RSOFT",
    "KEY_ESCAPE",
    "KEY_BACK",
    "KEY_SHIFT",
    "KEY_GAMING_A",
    "KEY_GAMING_B",
    "KEY_0",
    "KEY_1",
    "KEY_2",
    "KEY_3",
    "KEY_4",
    "KEY_5",
    "KEY_6",
    "KEY_7",
    "KEY_8",
    "KEY_9",
    "KEY_HASH",
    "KEY_ASTERISK",
    "KEY_VOLUME_UP",
    "KEY_VOLUME_DOWN",
    "KEY_SPACE",
    "KEY_AT",
    "KEY_APOSTROPHE",
    "KEY_LEFT_BRACKET",
    "KEY_TILDE",
    nullptr,
    nullptr,
    nullptr,
    "KEY_A",
    "KEY_B",
    "KEY_C",
    "KEY_D",
    "KEY_E",
    "KEY_F",
    "KEY_G",
    "KEY_H",
    "KEY_I",
    "KEY_J",
    "KEY_K",
    "KEY_L",
    "KEY_M",
    "KEY_N",
    "KEY_O",
    "KEY_P",
    "KEY_Q",
    "KEY_R",
    "KEY_S",
    "KEY_T",
    "KEY_U",
    "KEY_V",
    "KEY_W",
    "KEY_X",
    "KEY_Y",
    "KEY_Z",
    "KEY_PSP_TRIANGLE",
    "KEY_PSP_CIRCLE",
    "KEY_PSP_CROSS",
    "KEY_PSP_SQUARE",
    "KEY_PSP_L",
    "KEY_PSP_R",
    "KEY_PSP_START",
    "KEY_PSP_SELECT",
};

} // namespace

const char* GetKeyName(int key)
{
    if (key < 0 || key >= KEY_COUNT)
        return nullptr;
    return KEY_NAMES[key];
}

} // namespace Tarv
