// The engine's key codes: 69 codes (0 to 68) shared by the application's key slots, the input
// state, the console, the game's states and the script table "keys" (which uses these names).
#pragma once

namespace Tarv
{

enum KeyCode : int {
    KEY_INVALID = 0,
    KEY_LEFT = 1,
    KEY_RIGHT = 2,
    KEY_UP = 3,
    KEY_DOWN = 4,
    KEY_LSOFT = 5,
    KEY_SELECT = 6,
    KEY_RSOFT = 7,
    KEY_ESCAPE = 8,
    KEY_BACK = 9,
    KEY_SHIFT = 10,
    KEY_GAMING_A = 11,
    KEY_GAMING_B = 12,
    KEY_0 = 13,
    KEY_1 = 14,
    KEY_2 = 15,
    KEY_3 = 16,
    KEY_4 = 17,
    KEY_5 = 18,
    KEY_6 = 19,
    KEY_7 = 20,
    KEY_8 = 21,
    KEY_9 = 22,
    KEY_HASH = 23,
    KEY_ASTERISK = 24,
    KEY_VOLUME_UP = 25,
    KEY_VOLUME_DOWN = 26,
    KEY_SPACE = 27,
    KEY_AT = 28,
    KEY_APOSTROPHE = 29,
    KEY_LEFT_BRACKET = 30,
    KEY_TILDE = 31,
    KEY_FN_N = 32,      // no script name: Fn+N
    KEY_FN_V = 33,      // no script name: Fn+V
    KEY_FULL_STOP = 34, // no script name: the full-stop key
    KEY_A = 35,
    KEY_B = 36,
    KEY_C = 37,
    KEY_D = 38,
    KEY_E = 39,
    KEY_F = 40,
    KEY_G = 41,
    KEY_H = 42,
    KEY_I = 43,
    KEY_J = 44,
    KEY_K = 45,
    KEY_L = 46,
    KEY_M = 47,
    KEY_N = 48,
    KEY_O = 49,
    KEY_P = 50,
    KEY_Q = 51,
    KEY_R = 52,
    KEY_S = 53,
    KEY_T = 54,
    KEY_U = 55,
    KEY_V = 56,
    KEY_W = 57,
    KEY_X = 58,
    KEY_Y = 59,
    KEY_Z = 60,
    KEY_PSP_TRIANGLE = 61,
    KEY_PSP_CIRCLE = 62,
    KEY_PSP_CROSS = 63,
    KEY_PSP_SQUARE = 64,
    KEY_PSP_L = 65,
    KEY_PSP_R = 66,
    KEY_PSP_START = 67,
    KEY_PSP_SELECT = 68,
};

constexpr int KEY_COUNT = 69;

// The script name of a code ("KEY_LEFT"), or null for the unnamed codes 32 to 34 and for
// values outside 0 to 68.
const char* GetKeyName(int key);

} // namespace Tarv
