// Tarv::Text::FontSet: fonts filed by name with one default name, so that a name a set does not
// know still finds a usable font. Text formats look their fonts up here.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "graphics/text/FontEx.h"

#include <cstdint>
#include <map>

namespace Tarv
{
namespace Text
{

// Starts with no owners, like every counted object: the first SmartPtr owns it.
// No locking: a set filled on the loader thread is read elsewhere only once filling has ended.
class FontSet : public RefCounter
{
public:
    FontSet() = default;
    ~FontSet() override = default;

    // Files font under name (the first font filed under a name stays). While the default name
    // is empty, name becomes it first. A null font is filed like any other and answers null.
    void AddFont(const NarrowString& name, FontEx* font);
    // The font under name; else the font under the default name; else null. Not owned.
    FontEx* GetFont(const NarrowString& name) const;
    // True when a font is filed under the default name.
    bool HasDefaultFont() const;
    std::uint32_t GetFontCount() const { return static_cast<std::uint32_t>(m_fonts.size()); }
    const NarrowString& GetDefaultName() const { return m_defaultName; }

private:
    NarrowString m_defaultName;
    std::map<NarrowString, SmartPtr<FontEx>> m_fonts;
};

} // namespace Text
} // namespace Tarv
