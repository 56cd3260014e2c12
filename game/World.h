// Pirrock::World: the grid of cells of the level being played. Each cell holds a code, the picture
// of the item shown in it and a used flag; the World draws the items, a developer selection
// indicator and the hero (with the boats) in three scenes, converts between world points and
// cells, and follows the hero from cell to cell in steps of at most one cell.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "game/Cell.h"
#include "scene/Scene.h"
#include "scene/Vector3D.h"

#include <vector>

namespace Tarv
{
class Surface;
}

namespace Quor
{
class ProcessManager;
}

namespace Vund
{
class DrawableObject;
class Sprite;
}

namespace Pirrock
{

class MessageSink;
class Pirrock;

struct WorldGeometry
{
    int width = 0;       // columns
    int height = 0;      // rows
    int cellWidth = 0;   // world units per column
    int cellHeight = 0;  // world units per row
};

struct WorldBounds
{
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
};

// World geometry: x grows to the right and y upwards; the grid's lower-left corner is the world
// origin, and cell (x, y) covers x * cellWidth .. (x + 1) * cellWidth and
// (height - 1 - y) * cellHeight .. (height - y) * cellHeight. Cells outside the grid are valid
// values: they read as void space (48) and are never written.
//
// Built on the loader thread (or the main thread for a restart) and used only on the main thread
// afterwards; nothing is locked. The process managers handed to the World list the animated
// items' processes without owning them: empty them, or stop running them, before the World goes.
class World : public Tarv::RefCounter
{
public:
    struct CellRecord
    {
        CellCode code = CODE_NONE;
        Tarv::SmartPtr<Vund::DrawableObject> item;
        bool used = true;
    };

    // The World of the level being played, or null.
    static Tarv::SmartPtr<World> Instance;

    // The picture of the selection indicator.
    static constexpr const char* INDICATOR_IMAGE = "images/debug/debug_cell_yellow.png";
    // Where a frame's movement is walked in more sub-steps than this, the steps may exceed a
    // cell: only a hero moving faster than this many cells per frame gets there.
    static constexpr int MAX_SUB_STEPS = 1024;

    // Builds the grid of the size that the level's settings give (ReadGeometry) and writes each
    // item into its cell in list order (a later item in a cell replaces an earlier one and its
    // picture); tool cells start free, every other cell used; fruit, fire, trap doors and snares
    // get their pictures, animated ones with their process in levelAnimator (may be null), whose
    // list is emptied first. The hero (may be null) is put on the start cell and drawn with the
    // World. Reads "dev/enable_cheats" and "dev/selection_indicator". Reports nothing: null when
    // the size is not usable (IsUsableGeometry); items outside the grid are left out.
    static Tarv::SmartPtr<World> Create(const std::vector<LevelItem>& items, const Cell& heroStart,
                                        Quor::ProcessManager* levelAnimator, const Tarv::SmartPtr<Pirrock>& hero);
    // The int settings "runtime/level_width", "runtime/level_height", "runtime/level_cell_width"
    // and "runtime/level_cell_height", read in that order (0 without settings).
    static WorldGeometry ReadGeometry();
    ~World() override;

    // Coordinates; none changes the World.
    // Column trunc(x / cellWidth), one less for x < 0; row height - 1 - trunc(y / cellHeight),
    // one more for y < 0 (so -cellWidth lies in column -2). Far or non-finite points give far
    // cells outside the grid.
    Cell WorldToCell(const Vund::Vector3D& point) const;
    // The cell's lower-left corner.
    Vund::Vector3D CellToWorld(const Cell& cell) const;
    WorldBounds GetWorldBounds() const;
    // A distance in cells, in world units (no row flip).
    Vund::Vector3D CellsToWorld(float cellsX, float cellsY) const;
    // The cell under the selection indicator; NO_CELL when there is none.
    Cell GetSelectionIndicatorCell() const;
    // One column in (against) the running direction, "runtime/running_left".
    Cell GetCellAhead(const Cell& cell) const;
    Cell GetCellBehind(const Cell& cell) const;

    // Cells. Reads outside the grid give void space, no item and a clear used flag; writes
    // outside the grid do nothing.
    CellCode GetCellCode(const Cell& cell) const;
    bool IsInsideGrid(const Cell& cell) const;
    bool IsCellUsed(const Cell& cell) const;
    // The cell's picture (not a new reference), or null.
    Vund::DrawableObject* GetCellItem(const Cell& cell) const;
    void SetCellUsed(const Cell& cell);
    void ClearCellUsed(const Cell& cell);
    void SetMagicGround(const Cell& cell);
    // The first row r from start.y up to 1 such that column start.x - 1, start.x or start.x + 1
    // holds ground or water in row r while (start.x, r - 1) does not: the top of the surface
    // above a ladder. NO_CELL when none does or start.y is 0.
    Cell FindSurface(const Cell& start) const;
    // Takes the cell's picture out of its scene (an animated item's process is killed); the
    // cell keeps its code, item and used flag.
    void RemoveItemAt(const Cell& cell);

    // The touched cell: the cell whose item the hero touches.
    const Cell& GetTouchedCell() const { return m_touchedCell; }
    Vund::DrawableObject* GetTouchedItem() const { return GetCellItem(m_touchedCell); }
    void ClearTouchedCellUsed() { ClearCellUsed(m_touchedCell); }
    void RemoveTouchedItem() { RemoveItemAt(m_touchedCell); }
    // True, and the touched cell set, when the cell behind the hero holds exactly code with its
    // used flag set (a vehicle the player placed and the hero just passed).
    bool TouchPlacedToolBehind(CellCode code);

    // Item placement. PlaceItem builds the code's picture from its name ("anim/" + name + ".xml"
    // for animated items, with their process appended to manager when it is not null;
    // "tiles/ladder.xml" stretched up to the surface above for the ladder; "images/game/" +
    // name + ".png" otherwise), stores code and picture in the cell and sets its used flag.
    // Nothing happens for a cell outside the grid. A picture the cell held before leaves its
    // scene and is kept, stopped, until the World goes.
    void PlaceItem(CellCode code, const Cell& cell, Quor::ProcessManager* manager);
    void CreateItemVisual(CellCode code, const Tarv::NarrowString& path, const Cell& cell,
                          Quor::ProcessManager* manager);
    // The cell the code's picture is drawn in: a row lower for a trap door and a bridge (two
    // over a trap door), a column left for an extinguisher, and for skates with ground right
    // below them; the cell itself otherwise.
    Cell GetItemVisualCell(CellCode code, const Cell& cell) const;
    // width columns of height cells, each code 0, no item, used (pictures leave their scenes as
    // in PlaceItem). False, and nothing changed, for a size IsUsableGeometry refuses.
    bool ResetGrid(int width, int height);

    // Tools (WorldTools.cpp). The cells near a tapped cell that can take a tool, in the fixed
    // order of nearness (TOOL_CANDIDATE_OFFSETS): tool cells, placed or not, and the cell above
    // each trap door (unchecked). Empty for a cell outside the grid.
    std::vector<Cell> GetToolCandidates(const Cell& cell) const;
    // 48 outside the grid, 0 for a used cell, the cell's code otherwise.
    CellCode GetFreeCellCode(const Cell& cell) const;
    // The first obstacle of the 2 x 2 block from the cell rightwards and down; the cell itself
    // when there is none or it lies outside the grid.
    Cell FindObstacleAround(const Cell& cell) const;
    // The first empty cell one or two rows below; NO_CELL when neither is.
    Cell FindEmptyCellBelow(const Cell& cell) const;
    // A fire extinguisher (tool 29) makes the cell's animated item play "extinguish".
    void ExtinguishAt(const Cell& cell, CellCode tool);
    // Moves the selection indicator onto the cell while "dev/enable_cheats" is set.
    void ShowSelection(const Cell& cell);
    // Puts a tool whose picture PlaceItem has just made in cell to work, in the play state's
    // order: the obstacle it deals with disarmed (FindObstacleAround, ClearCellUsed) and an
    // extinguisher's fire put out (ExtinguishAt), a bridge's magic ground laid
    // (FindEmptyCellBelow), the tool's own cell armed and taken. Nothing for a code that is not
    // a tool or a cell outside the grid.
    void ArmPlacedTool(CellCode tool, const Cell& cell);

    // The hero's cell (WorldHero.cpp). The code of the item the hero touches now, recording
    // its cell as the touched cell; 0 for none, 48 for a hero outside the grid.
    CellCode GetTouchedCode();
    // The ground under the hero; 49 just past the edge of a ground cell.
    CellCode GetPlatformCode() const;
    // A placed hair dryer within "constants/max_hair_dryer_distance" cells behind the hero.
    bool IsHairDryerBehind() const;
    bool IsPirrockOnSlope() const;
    bool IsPirrockOnGround() const;
    bool IsPirrockOnSki() const;
    // Put the hero onto the surface below it (on a slope for 36 and 37), onto the top of that
    // surface, or onto its column's edge in the running direction. Without a hero, or a
    // surface, the hero stays.
    void SnapPirrockToGround(CellCode ground);
    void DropPirrockToGround();
    void AlignPirrockInColumn();

    // Moves the hero cell one sub-step along the hero's last movement; true when the hero cell
    // changed, more true while sub-steps of this frame remain. The caller loops while more is
    // set, handling each new cell before the next call. A change of the hero's velocity between
    // two sub-steps drops the rest of the frame. A non-finite movement counts as none.
    bool Update(bool& more);
    // The item scene, then the indicator scene, then the hero scene.
    void Draw(Tarv::Surface* target);

    // Checks the grid against the layout rules of level designs (LevelValidator.cpp) for level
    // number level; prints one line per fault to sink and returns the number of faults.
    int ValidateLevel(int level, bool runningLeft, MessageSink& sink) const;
    // A layout rule evaluated for one cell: the level number, the cell and the cell's own code.
    struct RuleRecord
    {
        int level;
        int x;
        int y;
        CellCode code;
    };
    // One layout rule: false (a level-data fault) when it does not hold and its record is not
    // one of the exceptions.
    static bool CheckLevelRule(bool holds, const RuleRecord& record, const std::vector<RuleRecord>& exceptions);

    const WorldGeometry& GetGeometry() const { return m_geometry; }
    const Cell& GetHeroCell() const { return m_heroCell; }
    const Tarv::SmartPtr<Pirrock>& GetHero() const { return m_hero; }
    const Tarv::SmartPtr<Vund::Sprite>& GetSelectionIndicator() const { return m_selectionIndicator; }
    const Vund::Scene& GetItemScene() const { return m_itemScene; }
    const Vund::Scene& GetIndicatorScene() const { return m_indicatorScene; }
    const Vund::Scene& GetHeroScene() const { return m_heroScene; }
    // Tells Worlds apart: every World gets the next number.
    unsigned GetSerial() const { return m_serial; }

private:
    World();
    CellRecord* FindRecord(const Cell& cell);
    const CellRecord* FindRecord(const Cell& cell) const;
    // Takes a picture out of its scene and stops it; it stays alive in m_retired.
    void RetireItem(Tarv::SmartPtr<Vund::DrawableObject>& item);
    void StartFrame();
    bool IsRunningLeft() const;

    std::vector<std::vector<CellRecord>> m_grid;
    WorldGeometry m_geometry;
    Vund::Scene m_itemScene;
    Vund::Scene m_heroScene;
    Cell m_heroCell;
    Tarv::SmartPtr<Vund::Sprite> m_selectionIndicator;
    Vund::Scene m_indicatorScene;
    Vund::Vector3D m_step;
    Vund::Vector3D m_probe;
    Vund::Vector3D m_savedVelocity;
    int m_remainingSubSteps = 0;
    Cell m_touchedCell;
    Tarv::SmartPtr<Pirrock> m_hero;
    std::vector<Tarv::SmartPtr<Vund::DrawableObject>> m_retired;
    unsigned m_serial = 0;
};

} // namespace Pirrock
