// Tarv::Uri: a small URI value in seven parts with a forgiving parser and a percent-encoder.
// XML attributes and texts that name resources are read through it.
#pragma once

#include "engine/core/NarrowString.h"

namespace Tarv
{

class Uri
{
public:
    Uri() = default;
    // Parses text as Parse does.
    explicit Uri(const NarrowString& text);
    ~Uri() = default;

    // Replaces all parts by those of text. Every "%" followed by two hexadecimal digits is
    // decoded first, so an encoded separator acts as one; a "%" without two digits is kept.
    // Then: scheme up to the first ":", fragment after the first "#", query after the first "?",
    // and, when the rest starts with "//", the authority [userInfo "@"] host [":" port] with the
    // path from its first "/". Without ":", or with a "//" anywhere but at the start of the
    // rest, all parts stay empty and the result is false.
    bool Parse(const NarrowString& text);

    void Clear();

    // [userInfo "@"] host [":" port]; empty when host is empty.
    NarrowString GetAuthority() const;

    // Copies ASCII letters, digits, "-", "_", ".", "~" and the bytes of keep; every other byte
    // becomes "%" and two lower-case hexadecimal digits. Encoding stops at a NUL byte of text.
    static NarrowString Encode(const NarrowString& text, const char* keep);

    // path ["?" query] ["#" fragment], the query keeping "=&%/:" unencoded.
    NarrowString ToString() const;
    // scheme ":" ["//" authority] path ["?" query] ["#" fragment]; the authority keeps ":" and
    // "@" unencoded, the query "=&%".
    NarrowString ToFullString() const;

    // Appends [&]name=value to the query, both fully encoded.
    void AddQueryParameter(const NarrowString& name, const NarrowString& value);

    NarrowString scheme;
    NarrowString userInfo;
    NarrowString host;
    NarrowString port;
    NarrowString path;
    NarrowString query;
    NarrowString fragment;
};

} // namespace Tarv
