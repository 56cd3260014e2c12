// The transformed sprite graphic and its script class.
#include "gui/TransformedSprite.h"

#include "engine/script/Lua.h"
#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"
#include "gui/Messages.h"
#include "gui/ScriptClasses.h"

namespace Plim
{

TransformedSprite::TransformedSprite() = default;

TransformedSprite::TransformedSprite(const Tarv::XmlIterator& item, const OverrideTable* overrides)
    : m_scale(1.0f)
{
    ReadCommonProperties(item);
    Tarv::NarrowString path;
    ReadStringProperty(item, "file", overrides, path);
    if (!path.empty()) {
        m_image = Tarv::AssetDict::GetSurface(path + "@linear", false);
        if (!m_image)
            Report("transformed sprite image \"" + path + "\" cannot be loaded");
    }
    ReadFloatProperty(item, "angle", overrides, m_angle);
    ReadFloatProperty(item, "scale", overrides, m_scale);
    ReadPointProperty(item, "pivot", overrides, m_pivot);
}

TransformedSprite::~TransformedSprite() = default;

void TransformedSprite::Draw(Tarv::Surface& target, int alpha)
{
    if (!m_image)
        return;
    m_image->SetAlpha(static_cast<std::uint8_t>(alpha & 0xFF));
    const float x = static_cast<float>(GetAbsX()), y = static_cast<float>(GetAbsY());
    const float pivot[2] = {m_pivot.x, m_pivot.y};
    target.BlitTransformed(m_image.Get(), &x, &y, &m_angle, &m_scale, pivot, 0);
}

void TransformedSprite::Update(const float& dt)
{
    if (m_image)
        m_image->Update(dt);
}

Rect TransformedSprite::GetRect() const
{
    if (!m_image)
        return Rect{0, 0, 0, 0};
    return Rect{0, 0, m_image->GetWidth(), m_image->GetHeight()};
}

namespace
{

float Number(lua_State* state, int index)
{
    return static_cast<float>(Tarv::Lua(state).CheckNumber(index));
}

int SetAngle(TransformedSprite& sprite, lua_State* state)
{
    sprite.SetAngle(Number(state, 1));
    return 0;
}

int GetAngle(TransformedSprite& sprite, lua_State* state)
{
    Tarv::Lua(state).PushNumber(sprite.GetAngle());
    return 1;
}

int SetScale(TransformedSprite& sprite, lua_State* state)
{
    sprite.SetScale(Number(state, 1));
    return 0;
}

int GetScale(TransformedSprite& sprite, lua_State* state)
{
    Tarv::Lua(state).PushNumber(sprite.GetScale());
    return 1;
}

int SetPivot(TransformedSprite& sprite, lua_State* state)
{
    const float x = Number(state, 1);
    sprite.SetPivot(Point{x, Number(state, 2)});
    return 0;
}

int GetPivot(TransformedSprite& sprite, lua_State* state)
{
    Tarv::Lua lua(state);
    lua.PushNumber(sprite.GetPivot().x);
    lua.PushNumber(sprite.GetPivot().y);
    return 2;
}

} // namespace

} // namespace Plim

const Tarv::LuaMethod<Plim::TransformedSprite> Tarv::LuaClass<Plim::TransformedSprite>::METHODS[] = {
    {"SetAngle", nullptr, &Plim::SetAngle}, {"GetAngle", nullptr, &Plim::GetAngle},
    {"SetScale", nullptr, &Plim::SetScale}, {"GetScale", nullptr, &Plim::GetScale},
    {"SetPivot", nullptr, &Plim::SetPivot}, {"GetPivot", nullptr, &Plim::GetPivot},
    {nullptr, nullptr, nullptr}};
