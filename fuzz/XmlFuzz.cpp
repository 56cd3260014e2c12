// Parses arbitrary bytes as an XML document and walks every element with every reader.
#include "engine/core/TarvFloat.h"
#include "engine/core/Uri.h"
#include "engine/core/WideString.h"
#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

void ReadAll(const Tarv::XmlIterator& it)
{
    Tarv::NarrowString text;
    Tarv::WideString wide;
    int i = 0;
    unsigned u = 0;
    short s = 0;
    unsigned short us = 0;
    float f = 0.0f, y = 0.0f, z = 0.0f;
    bool b = false;
    Tarv::Uri uri;
    it.GetTextString(text);
    it.GetTextWide(wide);
    it.GetTextInt(i);
    it.GetTextFloat(f);
    it.GetTextBool(b);
    it.GetTextVector(f, y, z);
    it.GetTextUri(uri);
    // Each reader looks its attribute up by name, so reading every attribute of an element
    // costs the square of their count: the first few show every reader at work.
    int attributes = 0;
    for (const pugi::xml_attribute& attribute : it.GetElement().attributes()) {
        if (++attributes > 16)
            break;
        const char* name = attribute.name();
        it.HasAttribute(name, false);
        it.GetAttributeString(name, text);
        it.GetAttributeWide(name, wide);
        it.GetAttributeInt(name, i);
        it.GetAttributeUInt(name, u);
        it.GetAttributeShort(name, s);
        it.GetAttributeUShort(name, us);
        it.GetAttributeFloat(name, f);
        it.GetAttributeBool(name, b);
        it.GetAttributeUri(name, uri);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The in-place form gets a buffer of exactly the input's size, so reads past it are caught.
    std::unique_ptr<char[]> buffer(new char[size > 0 ? size : 1]);
    if (size > 0)
        std::memcpy(buffer.get(), data, size);
    Tarv::XmlPtr document = Tarv::Xml::Create(std::move(buffer), size);
    if (!document)
        return 0;

    // Depth-first over every element with an explicit stack of iterators.
    std::vector<Tarv::XmlIterator> stack;
    stack.push_back(Tarv::XmlIterator(document));
    int visited = 0;
    while (!stack.empty() && visited < 100000) {
        Tarv::XmlIterator& top = stack.back();
        if (!top.IsValid()) {
            stack.pop_back();
            continue;
        }
        ReadAll(top);
        ++visited;
        Tarv::XmlIterator children(top, nullptr);
        top.Next();
        stack.push_back(children);
    }
    return 0;
}
