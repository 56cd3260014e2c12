// UTF-8 encoding and strict decoding of code points, independent of the C locale. The string
// conversions of NarrowString and WideString are built on these two operations.
#pragma once

#include <cstddef>
#include <string>

namespace Tarv
{

// Encodes up to count code points of src into dest (at most destSize bytes) and returns the
// number of bytes written. The multi-byte forms are those of RFC 2279, up to six bytes for the
// largest values. A code point 0 ends the conversion, as does a character whose bytes would not
// fit in what is left of dest: only whole characters are written. Returns -1 for the whole call
// when a code point may not be encoded: a UTF-16 surrogate (U+D800..U+DFFF), U+FFFE, U+FFFF, or
// a value of 2^31 and above. A count or destSize of 0 gives 0. No terminator is written.
int EncodeUtf8(char* dest, std::size_t destSize, const char32_t* src, std::size_t count);

// Decodes the one character at the start of src (size bytes available, size > 0) into
// codePoint and returns its length in bytes, 1 to 4. Returns 0 for a sequence that is not
// valid UTF-8 (RFC 3629): a continuation byte or one of C0, C1, F5..FF as lead byte, a
// missing or wrong continuation byte, an overlong form, a surrogate or a value above
// U+10FFFF. Never reads more than size bytes.
std::size_t DecodeUtf8Char(const char* src, std::size_t size, char32_t& codePoint);

// Decodes src (size bytes) into out, stopping at the first NUL byte or at the end. Returns
// false and leaves out empty when any sequence before that point is invalid.
bool DecodeUtf8(const char* src, std::size_t size, std::u32string& out);

} // namespace Tarv
