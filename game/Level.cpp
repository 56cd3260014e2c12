// The level: its scene file, the keys it publishes, and the World it builds.
//
// Scene file: a root element (any name) with the children "scene", "time" and "code-map" (the
// first of each name counts). "scene" holds "layer" elements with an optional float "z", the
// depth of all the layer's items; each "item" of a layer has "type" ("sprite",
// "tiled-sprite", "parallax-sprite" or "tiled-parallax-sprite"), the floats "x", "y" and
// "scale" (0 when missing) and, as text, the image or tiled-sprite file it shows. "time" holds
// the level's time allowance in seconds, "code-map" the path of the code-map file.
#include "game/Level.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "framework/AssetFunctions.h"
#include "framework/Settings.h"
#include "game/GameLog.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "scene/ParallaxSprite.h"
#include "scene/Sprite.h"
#include "scene/TiledSprite.h"

#include <cstdint>
#include <cstring>
#include <map>

namespace Pirrock
{

namespace
{

float MakeNoDepth()
{
    const std::uint32_t bits = 0xFEFFFFFFu;
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The key families of each tool's and fruit's stock and count ("runtime/tools/ladder").
constexpr const char* TOOL_KEYS = "runtime/tools/";
constexpr const char* TOOL_MAX_KEYS = "runtime/tools/max/";
constexpr const char* FRUIT_KEYS = "runtime/fruits/";
constexpr const char* FRUIT_MAX_KEYS = "runtime/fruits/max/";

// Images and tiles of the level's scene are filtered.
constexpr const char* SCENE_IMAGE_OPTIONS = "linear";

Tarv::SmartPtr<Vund::DrawableObject> MakeSceneObject(const Tarv::NarrowString& type, const Tarv::NarrowString& asset,
                                                     const Vund::Vector3D& position, float scale)
{
    if (type == "sprite")
        return Tarv::SmartPtr<Vund::DrawableObject>(
            new Vund::Sprite(Quor::GetSurface(asset, SCENE_IMAGE_OPTIONS, false), position, scale));
    if (type == "tiled-sprite")
        return Tarv::SmartPtr<Vund::DrawableObject>(new Vund::TiledSprite(asset, position, SCENE_IMAGE_OPTIONS, scale));
    if (type == "parallax-sprite") {
        auto* sprite = new Vund::ParallaxSprite(Quor::GetSurface(asset, SCENE_IMAGE_OPTIONS, false), position, scale);
        sprite->screenFixed = position.z == Level::NO_DEPTH;
        return Tarv::SmartPtr<Vund::DrawableObject>(sprite);
    }
    if (type == "tiled-parallax-sprite")
        return Tarv::SmartPtr<Vund::DrawableObject>(
            new Vund::TiledParallaxSprite(asset, position, SCENE_IMAGE_OPTIONS, scale));
    return Tarv::SmartPtr<Vund::DrawableObject>();
}

} // namespace

const float Level::NO_DEPTH = MakeNoDepth();

Tarv::NarrowString Level::GetLevelPath(int number)
{
    Tarv::NarrowString path = number <= 9 ? "levels/0" : "levels/";
    return path.AppendInt(number).append(".xml");
}

Level::Level(const Tarv::NarrowString& path)
{
    m_loaded = ReadScene(path);
    if (m_loaded)
        PublishKeys();
}

Tarv::SmartPtr<Level> Level::Load(const Tarv::NarrowString& path)
{
    Tarv::SmartPtr<Level> level = Tarv::MakeSmart<Level>(path);
    return level->IsLoaded() ? level : Tarv::SmartPtr<Level>();
}

Tarv::SmartPtr<Level> Level::Read(const Tarv::NarrowString& path)
{
    Tarv::SmartPtr<Level> level(new Level());
    level->m_loaded = level->ReadScene(path);
    return level->IsLoaded() ? level : Tarv::SmartPtr<Level>();
}

void Level::GetItemNames()
{
    for (CellCode code : {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 47})
        m_toolNames.push_back(GetCodeName(code));
    for (CellCode code : {42, 43, 44, 45, 46})
        m_fruitNames.push_back(GetCodeName(code));
}

void Level::LoadCodeMap(const Tarv::NarrowString& name)
{
    GetItemNames();
    m_codeMapLoaded = ReadCodeMap(name, m_codeMap);
}

bool Level::ReadScene(const Tarv::NarrowString& path)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(path);
    const Tarv::XmlIterator root(document);
    if (!root.IsValid()) {
        GameLogPrint(path + ": the level file is missing or is not well-formed XML");
        return false;
    }
    const Tarv::XmlIterator scene(root, "scene");
    const Tarv::XmlIterator time(root, "time");
    const Tarv::XmlIterator codeMap(root, "code-map");
    Tarv::NarrowString codeMapPath;
    if (!scene.IsValid() || !time.GetTextInt(m_time) || !codeMap.GetTextString(codeMapPath) || codeMapPath.empty()) {
        GameLogPrint(path + ": the level file needs \"scene\", \"time\" with a number and \"code-map\" with a path");
        return false;
    }
    LoadCodeMap(codeMapPath);
    if (!m_codeMapLoaded)
        return false;

    for (Tarv::XmlIterator layer(scene, "layer"); layer.IsValid(); layer.Next()) {
        float depth = NO_DEPTH;
        layer.GetAttributeTarvFloat("z", depth);
        for (Tarv::XmlIterator item(layer, "item"); item.IsValid(); item.Next()) {
            Tarv::NarrowString type, asset;
            float x = 0.0f, y = 0.0f, scale = 0.0f;
            item.GetAttributeString("type", type);
            item.GetAttributeTarvFloat("x", x);
            item.GetAttributeTarvFloat("y", y);
            item.GetAttributeTarvFloat("scale", scale);
            item.GetTextString(asset);
            const Tarv::SmartPtr<Vund::DrawableObject> object = MakeSceneObject(type, asset, Vund::Vector3D(x, y, depth), scale);
            if (object)
                m_scene.AddObject(object);
            else
                GameLogPrint(path + ": an item of the unknown type \"" + type + "\" is left out");
        }
    }
    return true;
}

void Level::PublishKeys() const
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return;
    settings->SetInt("runtime/level_time", m_time);
    settings->SetInt("runtime/level_width", m_codeMap.width);
    settings->SetInt("runtime/level_height", m_codeMap.height);
    settings->SetInt("runtime/level_cell_width", m_codeMap.cellWidth);
    settings->SetInt("runtime/level_cell_height", m_codeMap.cellHeight);

    std::map<Tarv::NarrowString, int> counts;
    for (const LevelItem& item : m_codeMap.items) {
        if (IsCountedItemCode(item.code))
            ++counts[GetCodeName(item.code)];
    }
    for (const Tarv::NarrowString& name : m_toolNames) {
        const Tarv::NarrowString key = TOOL_MAX_KEYS + name;
        settings->SetInt(key, counts[name]);
    }
    for (const Tarv::NarrowString& name : m_fruitNames) {
        const Tarv::NarrowString key = FRUIT_MAX_KEYS + name;
        settings->SetInt(key, counts[name]);
    }
}

Level::~Level()
{
    // Another level may have replaced this level's World already; that one stays.
    if (World::Instance && World::Instance->GetSerial() == m_worldSerial)
        World::Instance.Reset();
}

bool Level::CreateWorld(Quor::ProcessManager* levelAnimator)
{
    Tarv::SmartPtr<World> world =
        World::Create(m_codeMap.items, m_codeMap.heroStart, levelAnimator, Pirrock::GetInstance());
    if (!world)
        return false;
    World::Instance = world;
    m_worldSerial = world->GetSerial();
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings != nullptr && settings->GetBool("dev/validate_levels"))
        world->ValidateLevel(settings->GetInt("game/currentLevel"), settings->GetBool("runtime/running_left"), GameLog());
    ResetRuntimeKeys();
    return true;
}

void Level::ResetRuntimeKeys() const
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return;
    for (const Tarv::NarrowString& name : m_toolNames) {
        const Tarv::NarrowString stock = TOOL_KEYS + name, max = TOOL_MAX_KEYS + name;
        settings->SetInt(stock, settings->GetInt(max));
    }
    for (const Tarv::NarrowString& name : m_fruitNames) {
        const Tarv::NarrowString collected = FRUIT_KEYS + name;
        settings->SetInt(collected, 0);
    }
    settings->SetInt("runtime/levelScore", 0);
    settings->SetInt("runtime/time", settings->GetInt("runtime/level_time"));
    settings->SetInt("runtime/pirrock_speed", settings->GetInt("constants/pirrock_default_speed"));
    settings->SetString("runtime/activeTool", "");
}

void Level::Render(Tarv::Surface* surface)
{
    m_scene.Draw(surface);
    if (World::Instance)
        World::Instance->Draw(surface);
}

} // namespace Pirrock
