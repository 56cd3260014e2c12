// Number readers for texts that come from files (XML values, registry entries): the scanf forms
// "%i", "%u", "%hd", "%hu" and the engine's fixed-point decimal form, with range checks.
#pragma once

namespace Tarv
{

// Each reader skips leading white space, needs a number at the start of what remains, ignores
// whatever follows it, and stores into out only on success. A null text, a text without a
// number, or a number outside the target type fails (never wraps, never undefined behaviour).

// "%i": optional sign, then decimal, "0x"/"0X" hexadecimal or leading-"0" octal digits.
bool ReadTextInt(const char* text, int& out);
// "%u": decimal digits; a negative number is out of range.
bool ReadTextUInt(const char* text, unsigned& out);
// "%hd": optional sign and decimal digits within the range of short.
bool ReadTextShort(const char* text, short& out);
// "%hu": decimal digits within the range of unsigned short.
bool ReadTextUShort(const char* text, unsigned short& out);
// Fixed point: optional sign, at least one integer digit, optionally "." and fraction digits
// (a point without digits after it ends the number). "-0.5" is -0.5; ".5" fails. Values
// beyond the float range fail.
bool ReadTextFixedFloat(const char* text, float& out);
// " %f , %f , %f ": three finite floats separated by commas. Values read before a mismatch
// are stored; true only when all three were read.
bool ReadTextVector(const char* text, float& x, float& y, float& z);

} // namespace Tarv
