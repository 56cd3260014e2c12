// Pirrock::Level: one level as the play state holds it: the scene of background and foreground
// graphics read from the level's scene file, its time allowance, and its code map, from which
// it builds the World at every start and restart and resets the per-level "runtime/" keys.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "game/CodeMap.h"
#include "scene/Scene.h"

#include <vector>

namespace Tarv
{
class Surface;
}

namespace Quor
{
class ProcessManager;
}

namespace Pirrock
{

class Level : public Tarv::RefCounter
{
public:
    // The depth of a layer whose "z" is missing or not a number: the float with the bits
    // 0xFEFFFFFF. A parallax sprite on such a layer is fixed to the screen.
    static const float NO_DEPTH;

    // "levels/" + the number in two or more digits + ".xml": 3 gives "levels/03.xml".
    static Tarv::NarrowString GetLevelPath(int number);

    // Reads the scene file at path and, through LoadCodeMap, the code map it names (format in
    // Level.cpp and CodeMap.h). The scene's layers and items are added in file order, which is
    // their drawing order whatever their depths. On success publishes "runtime/level_time",
    // the grid's size keys and the "runtime/tools/max/" and "runtime/fruits/max/" counts of
    // every tool and fruit. IsLoaded is false, with a line in the game log and no key written,
    // when the file is missing or not XML, lacks "scene", "time" (an integer) or "code-map", or
    // the code map does not read; an item without a known "type" is left out with a line. Any
    // thread.
    explicit Level(const Tarv::NarrowString& path);
    bool IsLoaded() const { return m_loaded; }
    // A level made as by the constructor, or null when it did not load.
    static Tarv::SmartPtr<Level> Load(const Tarv::NarrowString& path);
    // As Load, but publishes nothing: for looking at a level's data without playing it.
    static Tarv::SmartPtr<Level> Read(const Tarv::NarrowString& path);
    // Releases the World singleton when it still holds the World this level built last.
    ~Level() override;

    // Builds a new World from the items and the hero start with the hero singleton's hero,
    // makes it the World singleton (the previous one is released after the new one is built)
    // and resets the per-level keys; with "dev/validate_levels" on, the new grid is checked and
    // its faults go to the game log. False, and nothing changed, when the World can't be built.
    bool CreateWorld(Quor::ProcessManager* levelAnimator);
    // Each tool's stock from its "max" count; fruit counts, level score and the selected tool
    // cleared; the time from "runtime/level_time"; the speed from "constants/pirrock_default_speed".
    void ResetRuntimeKeys() const;
    // The level's scene, then the World singleton's scenes. Main thread.
    void Render(Tarv::Surface* surface);

    const Vund::Scene& GetScene() const { return m_scene; }
    const CodeMap& GetCodeMap() const { return m_codeMap; }
    const std::vector<LevelItem>& GetItems() const { return m_codeMap.items; }
    const Cell& GetHeroStartCell() const { return m_codeMap.heroStart; }
    int GetTime() const { return m_time; }
    // The eleven tool names and the five fruit names, in the order keys are written (filled by
    // GetItemNames).
    const std::vector<Tarv::NarrowString>& GetToolNames() const { return m_toolNames; }
    const std::vector<Tarv::NarrowString>& GetFruitNames() const { return m_fruitNames; }

private:
    Level() = default;
    bool ReadScene(const Tarv::NarrowString& path);
    // Appends the eleven tool names and the five fruit names to the lists.
    void GetItemNames();
    // The names, then the code map at name; m_codeMapLoaded says whether it read.
    void LoadCodeMap(const Tarv::NarrowString& name);
    void PublishKeys() const;

    std::vector<Tarv::NarrowString> m_toolNames;
    std::vector<Tarv::NarrowString> m_fruitNames;
    Vund::Scene m_scene;
    CodeMap m_codeMap;
    bool m_codeMapLoaded = false;
    bool m_loaded = false;
    int m_time = 0;
    unsigned m_worldSerial = 0;
};

} // namespace Pirrock
