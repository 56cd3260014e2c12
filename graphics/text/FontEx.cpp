// Bitmap font reading and glyph lookup. The font file is outside data: every attribute is
// optional and heights are checked.
#include "graphics/text/FontEx.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/File.h"
#include "engine/vfs/IOStream.h"
#include "engine/vfs/Vfs.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/render/Surface.h"

#include <atomic>
#include <initializer_list>

namespace Tarv
{

namespace
{

std::atomic<FontEx::ImageProvider> s_imageProvider{nullptr};

// Reads in 1024-byte steps until a read returns less than 1; a file of any size is read whole.
bool ReadWholeStream(IOStream& stream, NarrowString& text)
{
    char buffer[1024];
    for (;;) {
        const int got = stream.Read(buffer, int(sizeof(buffer)));
        if (got <= 0)
            return true;
        // A stream that claims more than it was asked for is not believed.
        if (std::size_t(got) > sizeof(buffer))
            return false;
        text.append(buffer, std::size_t(got));
    }
}

// A value that does not start with a number reads as 0; absence was checked before.
int ReadInt(const XmlIterator& it, const char* name)
{
    int value = 0;
    if (!it.GetAttributeInt(name, value))
        value = 0;
    return value;
}

unsigned ReadUInt(const XmlIterator& it, const char* name)
{
    unsigned value = 0;
    if (!it.GetAttributeUInt(name, value))
        value = 0;
    return value;
}

bool HasAll(const XmlIterator& it, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (!it.HasAttribute(name, false))
            return false;
    }
    return true;
}

} // namespace

FontEx::FontEx() = default;

FontEx::FontEx(const NarrowString& xmlPath, const NarrowString& imageKey)
{
    SmartPtr<File> file(VfsOpenRead(xmlPath.c_str()));
    if (file)
        Parse(*file);
    LoadImage(imageKey);
}

FontEx::~FontEx()
{
    m_image.Reset();
    m_kerning.clear();
    m_glyphs.clear();
}

bool FontEx::SplitFontKey(const NarrowString& key, NarrowString& xmlPath, NarrowString& imageKey)
{
    xmlPath.clear();
    imageKey.clear();
    const std::size_t at = key.rfind('@');
    const std::string path = key.substr(0, at);
    // The image's path replaces the last three characters, whatever they are: a key names
    // its XML file, so a path too short to hold an ending names nothing.
    if (path.size() < 3)
        return false;
    xmlPath = path;
    imageKey = path.substr(0, path.size() - 3) + "png";
    if (at != NarrowString::npos)
        imageKey += key.substr(at);
    return true;
}

void FontEx::SetImageProvider(ImageProvider provider)
{
    s_imageProvider.store(provider);
}

bool FontEx::Parse(IOStream& stream)
{
    NarrowString text;
    if (!ReadWholeStream(stream, text))
        return false;
    XmlPtr document = Xml::CreateFromString(text);
    if (!document)
        return false;
    const XmlIterator root(document);
    std::int32_t fontHeight = 0;
    for (XmlIterator it(XmlIterator(root, "characters"), "char"); it.IsValid(); it.Next()) {
        if (!HasAll(it, {"code", "x", "y", "width", "height"}))
            break;
        const unsigned code = ReadUInt(it, "code");
        Glyph glyph;
        glyph.x = ReadInt(it, "x");
        glyph.y = ReadInt(it, "y");
        glyph.width = ReadInt(it, "width");
        glyph.height = ReadInt(it, "height");
        // Any code and any cell is entered: a cell outside the image is clipped where it is
        // drawn, and a code no text holds is never looked up.
        if (fontHeight == 0) {
            fontHeight = glyph.height;
        } else if (glyph.height != fontHeight) {
            BuildDirectTables();
            return false;
        }
        m_glyphs.emplace(code, glyph);
    }
    for (XmlIterator it(XmlIterator(root, "kerning"), "pair"); it.IsValid(); it.Next()) {
        if (!HasAll(it, {"left", "right", "distance"}))
            break;
        const unsigned left = ReadUInt(it, "left");
        const unsigned right = ReadUInt(it, "right");
        m_kerning.emplace(std::make_pair(left, right), ReadInt(it, "distance"));
    }
    BuildDirectTables();
    return !m_glyphs.empty();
}

bool FontEx::LoadImage(const NarrowString& imageKey)
{
    const ImageProvider provider = s_imageProvider.load();
    // Without a provider the key is a plain path: "@" and what follows are part of the name.
    m_image = provider != nullptr ? provider(imageKey) : ImageLoader::LoadFromFile(imageKey, 5);
    return static_cast<bool>(m_image);
}

void FontEx::BuildDirectTables()
{
    // Filled through the map lookups (the arrays cleared first), so both paths agree.
    m_directGlyphs.clear();
    std::vector<const Glyph*> direct(DIRECT_CODES, nullptr);
    for (std::uint32_t code = 0; code < DIRECT_CODES; ++code)
        direct[code] = &GetGlyph(code);
    m_directGlyphs.swap(direct);
    m_kernsLeft.assign(DIRECT_CODES, false);
    for (const auto& pair : m_kerning) {
        if (pair.first.first < DIRECT_CODES)
            m_kernsLeft[pair.first.first] = true;
    }
}

const FontEx::Glyph& FontEx::GetGlyph(std::uint32_t code) const
{
    static const Glyph none;
    if (code < m_directGlyphs.size())
        return *m_directGlyphs[code];
    auto found = m_glyphs.find(code);
    if (found != m_glyphs.end())
        return found->second;
    found = m_glyphs.find(REPLACEMENT_CODE);
    if (found != m_glyphs.end())
        return found->second;
    return m_glyphs.empty() ? none : m_glyphs.begin()->second;
}

std::int32_t FontEx::GetHeight() const
{
    return m_glyphs.empty() ? 0 : m_glyphs.begin()->second.height;
}

std::int32_t FontEx::GetKerning(std::uint32_t left, std::uint32_t right) const
{
    if (m_kerning.empty() || (left < m_kernsLeft.size() && !m_kernsLeft[left]))
        return 0;
    const auto found = m_kerning.find(std::make_pair(left, right));
    return found == m_kerning.end() ? 0 : found->second;
}

} // namespace Tarv
