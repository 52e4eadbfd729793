#pragma once
// The island widget "island": the player's island between levels. It owns
// its buildings (copies of the catalogue's definitions), its geometry from
// "{StaticPath}/conf/island.pts" (walkable areas, their links, the ships'
// route, one map point per level), the walk map with its people, and reads
// and writes the island files. Modes: 0 the main menu's backdrop, 1 the
// level map, 2 the result after a level, 3 editing. One exists per process;
// the game object keeps it.
#include <cstdint>
#include <functional>
#include <list>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/filename.h"
#include "engine/core/geometry.h"
#include "engine/graphics/curve.h"
#include "engine/gui/widget.h"
#include "game/world/walk_map.h"

namespace vek {
class cBitStream;
class cQuadBatch;
}
class cBuild;
class cFactory;
class cHouse;
class cPlayer;
class cSpriteAnimations;
class cTextPopups;
struct cShip;

// What the island's buildings hand to the rest of the game: the level
// field, the rules and the effects. Each is optional; without it the event
// is dropped.
struct cIslandHooks {
    // A factory finished one unit of its output.
    std::function<void(int ware)> countWare;
    // The unit flies to the car (mode 0) or to the next factory (mode 2).
    std::function<void(int ware, cFactory* from, int mode, cFactory* next)> sendWare;
    // A unit of input arrived: the rules' check whether the chain now holds
    // enough for its task.
    std::function<void(cFactory* factory)> inputAdded;
    // The tutorial's step (kind, step).
    std::function<void(int kind, int step)> trainingStep;
    // A one-shot sprite animation (texture, area) centred on the point.
    std::function<void(const vek::string& texture, const vek::string& area, const vek::vec2& at)> playOnce;
    // A rising text at a point of the island (island coordinates).
    std::function<void(const vek::string& text, const vek::vec2& at)> popup;
    // A house icon flies from the point of the screen to the island
    // rating's star of that index.
    std::function<void(const vek::vec2& from, int star)> flyHouse;
    // The island deleted its buildings: whatever points at them lets go.
    std::function<void()> buildingsCleared;
};

// What the island's view hands to services that live elsewhere; each is
// optional, and without it the step is skipped.
struct cIslandViewHooks {
    // The game's hint of that kind (1 the level's building, 2 the ships,
    // 3 the next level point, 5 and 6 the rating buttons).
    std::function<void(int kind)> showHint;
    // The tutorial lesson of that kind starts.
    std::function<void(int kind)> trainingStart;
    // The result sequence is over: the ships of the garden start afresh.
    std::function<void()> renewShips;
    // The ships the island draws on its route; null for none.
    std::function<const std::vector<cShip>*()> ships;
    // The cursor in client pixels (y down); without it the engine's input
    // is read. False when it cannot be read.
    std::function<bool(int* x, int* y)> cursor;
};

class cIsland : public vek::cWidget {
public:
    enum eMode { e_modeNone = 0, e_modeIsland = 1, e_modeLevel = 2, e_modeEdit = 3 };

    struct cArea {
        std::vector<vek::vec2> polygon;
        std::vector<uint32_t> triangles;  // triples of indices into the polygon
    };

    // The view's textures, the walker sprite, the geometry and the walk map.
    // Becomes the process-wide island.
    cIsland();
    // The buildings first, then everything else.
    ~cIsland() override;

    // Stores the mode. While "island" is the focused widget and the mode is
    // not 0: hides the game windows and shows "score" and "island" with the
    // parameter 2; in mode 1 it then sends the game's window message to both.
    virtual void SetMode(int mode);

    // ---- the island files ----

    // "{StaticPath}/conf/island.pts"; a missing file leaves no geometry,
    // quietly. Rebuilds the walk map.
    void ReadPoints();
    // The geometry from a stream; false (and a warning naming the file)
    // when it is damaged: what was read before the damage stays.
    bool ReadPoints(vek::cBitStream& stream, const vek::string& file);
    // Deletes the buildings, then makes those of "{StaticPath}/conf/island.dat".
    void LoadGlobal();
    // The building list from a stream (after ClearBuildings); false when it
    // is damaged or holds a kind other than 3 or 4.
    bool ReadBuildings(vek::cBitStream& stream, const vek::string& file);
    // The static island, the player's records of the slot (-1: the game in
    // play), the houses from the progress and the people.
    virtual void Load(int slot);
    // Writes the player's file of the slot; a file that loading found
    // damaged is kept as "island.dat.bad" first. False when not written.
    virtual bool Save(int slot);
    // The player's file: the records applied, the houses updated and the
    // people placed. False when the file is damaged (a kind other than 3 or
    // 4 also skips the houses and the people).
    bool LoadPlayerFile(const vek::filename& file);
    bool ApplyPlayerRecords(vek::cBitStream& stream, const vek::string& file);
    bool SavePlayerFile(const vek::filename& file);
    void WritePlayerRecords(vek::cBitStream& stream) const;

    // ---- the buildings ----

    // Deletes every building, takes the walkers off, clears the selection,
    // the hover and the placing, and lets everything bound to a building go.
    void ClearBuildings();
    // Each building is built, or not, by the progress: the levels before it
    // have made it available and built.
    void UpdateHouses();
    // how 1: count people at the built buildings (or at the gathering
    // point); how 0: people leaving a ship, in a column at the landing point,
    // each planned to the gathering point.
    void AddPeople(int how, int count);
    // The people the built houses hold.
    int CountPeople() const;
    bool IsHouseBuilt(const vek::string& name) const;
    cHouse* FindPlacedBuilding(const vek::string& name, int32_t value) const;
    // -1 when there are no buildings.
    int GetMaxIslandValue() const;
    cFactory* FindFactoryByInput(int ware) const;
    cFactory* FindFactoryByOutput(int ware) const;
    // The first area holding all four corners; the area count when none.
    uint32_t FindAreaForRect(const vek::rectf& rect) const;
    // The level whose map point is nearest to the building's centre among
    // the levels that make a building of its name available; -1 when none.
    int FindLevelSpot(const cBuild& building) const;
    // The first building of the level's name whose level spot is the level.
    cHouse* GetLevelHouse(int level) const;
    // The island rating: the buildings built or being built; *stars gets
    // the filled icons (0 to 10). False above 40.
    bool GetIslandRate(int* count, int* stars) const;
    // The step that also runs while a level is played: the people, then
    // every building.
    void TickWorld();
    void BuildWalkMap();

    // Called by a building that joins or leaves the list.
    void AttachBuilding(cHouse* building);
    void DetachBuilding(cBuild* building);

    std::list<cHouse*>& GetBuildings() { return m_Buildings; }
    const std::list<cHouse*>& GetBuildings() const { return m_Buildings; }
    cWalkMap& GetWalkMap() { return *m_pWalkMap; }
    // The island's rising texts (font "header24x24").
    cTextPopups* GetPopups() const { return m_pPopups; }
    // The island's one-shot animations (the fireworks), in island
    // coordinates: advanced by TickWorld and drawn over the walkers.
    cSpriteAnimations* GetAnimations() const { return m_pAnimations; }
    bool WasPlayerFileDamaged() const { return !m_strDamagedFile.empty(); }

    // The pulse of buildings waiting to be bought: 0..1.
    static float GetPulse();
    // Advances the shared pulse phase by one fixed step.
    static void AdvancePulse();

    cIslandHooks hooks;

    // The geometry.
    std::vector<cArea> vecAreas;
    std::vector<vek::vec2> vecLinks;
    vek::curve_CatmullRomSpline<vek::vec2> route;
    std::vector<vek::vec2> vecLevelPoints;
    std::vector<vek::vec2> vecPathDots;

    int32_t iHoveredPoint = -1;
    int32_t iPressedPoint = -1;
    // The result sequence's stage timers A to F.
    vek::mover<float> stages[6];
    vek::mover<float> blinkTimer;
    vek::mover<float> hintTimer;

    int32_t iMode = e_modeNone;
    // The scroll position (x, y; the third value stays 0) and its speed.
    float fScrollX = 0.0f;
    float fScrollY = 0.0f;
    float fView = 0.0f;
    float fScrollSpeed = 0.0f;
    // The height of the island picture; the view starts at its top. Until
    // the picture is loaded, one screen.
    float fPictureWidth = 1024.0f;
    float fPictureHeight = 768.0f;
    int32_t iPlacing = 0;
    vek::vec2 placePoint;
    cHouse* pSelected = nullptr;
    cHouse* pHovered = nullptr;
    uint32_t uPlaceArea = 0;
    float fHaloAngle = 0.0f;

    // ---- the view (island_view.cpp) ----

    // The waves, the waterfall, the picture, the buildings, the ships, the
    // people, the level map, the particles and popups, the GUI, then the
    // flying items in screen space.
    void Draw() override;
    // The fixed step: tutorial, ships and flying items; unless the game is
    // paused the animations, the world, the result sequence (mode 2), the
    // hint delay (mode 1), the pulse and the blink.
    void Tick() override;
    // Per frame: particles, then (not paused) scrolling, popups and the
    // field's objects.
    void Update(float elapsed) override;
    void OnActivate() override;
    void OnDeactivate() override;
    void OnInput(int kind, int code) override;

    // Puts the point in the middle of the view, within the picture.
    void CenterView(float x, float y);
    // Keeps the scroll position inside the picture (lower limit first).
    void ClampScroll();
    // The building follows the cursor as the one being placed; null does
    // nothing.
    void StartPlacement(cHouse* building);
    // Deletes the building being placed; false when there is none.
    bool CancelPlacement();
    // The cursor in island coordinates; the cursor counts as (0, 0) when
    // it cannot be read.
    vek::vec2 GetCursorPoint() const;
    // The cursor in client pixels; false when it cannot be read.
    bool ReadCursor(int* x, int* y) const;
    // The first open level point within a 36 x 60 box around the point;
    // -1 when none.
    int LevelPointAt(const vek::vec2& point) const;
    // The path dots and the open level points with their medals.
    void DrawLevelMap(vek::cQuadBatch& batch);
    // One pass of the result sequence's stages A to F.
    void UpdateResultSequence();
    // The result sequence from its first stage (the view on the level's
    // building when it is still to be bought, from the seventh level on).
    void StartResultSequence();
    // The game's medal for the level just finished goes into the player's
    // results at the current level, once; false when none was waiting.
    bool RecordLevelMedal();
    // A house icon flies from the point of the screen to the centre of the
    // island rating's star of that index ("island_star%i" of "island") in
    // the time the result sequence gives it; false (nothing flies) when
    // the control or the game's flying items are missing.
    bool FlyHouse(const vek::vec2& from, int star);
    // The view's textures and animations (called by the constructor).
    void InitView();
    // The sprites every island shares are looked up again on next use
    // (after the texture-info registry was rebuilt).
    static void ForgetSharedSprites();

    cIslandViewHooks viewHooks;
    // The wave tile and the waterfall; texture 0 when missing.
    uint32_t uWaveTexture = 0;
    std::vector<vek::rectf> waveFrames;
    vek::cAnimCounter waveCounter;
    vek::vec2 waveTile;
    uint32_t uFallTexture = 0;
    uint32_t uFallTextures[2] = {0, 0};
    std::vector<vek::rectf> fallFrames;
    vek::cAnimCounter fallCounter;
    vek::rectf fallRect;
    uint32_t uPictureTop = 0, uPictureBottom = 0;
    vek::rectf pictureTopRect, pictureBottomRect;

private:
    bool ReadPlayerStream(vek::cBitStream& stream, const vek::string& file, bool* wrongKind);

    std::list<cHouse*> m_Buildings;
    cWalkMap* m_pWalkMap = nullptr;
    cTextPopups* m_pPopups = nullptr;
    cSpriteAnimations* m_pAnimations = nullptr;
    // The player file that loading found damaged, until it is saved over.
    vek::string m_strDamagedFile;
    // A player file that exists but could not be read: never written over.
    vek::string m_strRefusedFile;
    // The player file being loaded was already logged as damaged in this
    // run: its warnings are not given again.
    bool m_bQuietLoad = false;
};

// The island while it exists.
cIsland* GetIsland();
