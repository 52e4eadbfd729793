#pragma once
// The island's buildings. Four classes form one line: cBuild is a named
// rectangle that blocks the island's walkers, cDecor adds animated sprites,
// cHouse a title, a price and a life cycle from not built to built (with
// fireworks and a selection halo), cFactory the processing of one ware into
// another. The game keeps one definition of each (the catalogue, made by
// CreateBuildings); the island owns copies of them.
#include <cstdint>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "game/world/ware.h"

namespace vek {
class cBitStream;
class cQuadBatch;
}
class cIsland;

class cBuild {
public:
    enum eCategory {
        e_catOther = 0, e_catHouse = 1, e_catMarket = 2, e_catFactory = 3,
        e_catInstitute = 4, e_catAnimals = 5, e_catStatue = 7
    };
    enum eType { e_typeBuild = 1, e_typeDecor = 2, e_typeHouse = 3, e_typeFactory = 4 };

    // A building with an owner joins nothing here: the house constructor
    // puts itself on the owner's list.
    cBuild(const vek::string& name, cIsland* owner);
    // An owned building leaves its owner's list and walk map, and stops
    // being its selected or hovered building.
    virtual ~cBuild();
    cBuild(const cBuild&) = delete;
    cBuild& operator=(const cBuild&) = delete;

    virtual int GetType() const { return e_typeBuild; }
    virtual int32_t GetValue() const { return iCategory; }
    virtual void DrawHighlight(vek::cQuadBatch&) {}
    virtual void Draw(vek::cQuadBatch&) {}
    // Drawn after the walkers; nothing for every building so far.
    virtual void DrawOver(vek::cQuadBatch&) {}
    // The fixed step: Process while the owner shows the island.
    virtual void Tick();
    virtual void Process() {}
    virtual void OnMessage(int, int) {}
    // x and y (two floats); the rectangle then blocks the owner's walkers.
    virtual void LoadDef(vek::cBitStream& stream);
    virtual void SaveDef(vek::cBitStream& stream) const;
    virtual void LoadState(vek::cBitStream&) {}
    virtual void SaveState(vek::cBitStream&) const {}
    // Name and category.
    virtual void CopyDef(const cBuild& other);

    void SetPos(const vek::vec2& p) { SetPos(p.x, p.y); }
    virtual void SetPos(float x, float y);
    void MoveBy(const vek::vec2& d) { MoveBy(d.x, d.y); }
    virtual void MoveBy(float dx, float dy);
    int HitTest(const vek::vec2& p) const { return HitTest(p.x, p.y); }
    // Strictly inside: points on an edge do not hit.
    virtual int HitTest(float x, float y) const;
    // Overlap with a positive area.
    virtual bool Overlaps(const vek::rectf& other) const;
    // Every corner within the radius of the point.
    virtual bool IsNear(const vek::vec2& point, float radius) const;

    const vek::string& GetName() const { return strName; }
    cIsland* GetOwner() const { return m_pOwner; }
    vek::vec2 GetCenter() const { return {rect.x + rect.w * 0.5f, rect.y + rect.h * 0.5f}; }

    vek::string strName;
    int32_t iCategory = e_catOther;
    vek::rectf rect;
    vek::rectf* pObstacle = nullptr;  // the entry in the owner's walk map

protected:
    cIsland* m_pOwner = nullptr;
};

class cDecor : public cBuild {
public:
    struct cSpriteRec {
        uint32_t uTexture = 0;
        std::vector<vek::rectf> frames;  // uv rectangles
        int32_t iFrameCount = 0;
        vek::cAnimCounter counter;
        vek::string strTexture;
        vek::string strArea;
    };

    cDecor(const vek::string& name, cIsland* owner) : cBuild(name, owner) {}

    int GetType() const override { return e_typeDecor; }
    void Draw(vek::cQuadBatch& batch) override;
    void Tick() override;
    void CopyDef(const cBuild& other) override;

    // The sprite (texture, area) from the texture-info registry; false with
    // a warning when the texture, its info, the area or its frames are
    // missing.
    virtual bool AddSprite(const vek::string& texture, const vek::string& area);
    // Makes it current and sizes the rectangle to its first frame.
    virtual bool SetSprite(uint32_t index);
    // A shared empty record when the index is out of range.
    virtual cSpriteRec& GetCurrentSprite();
    virtual uint32_t GetColor() const { return 0xFFFFFFFFu; }

    std::vector<cSpriteRec> vecSprites;
    uint32_t uCurrentSprite = 0;
    float fGlow = 0.0f;
    uint8_t bAvailable = 0;

protected:
    void DrawSprite(vek::cQuadBatch& batch, const cSpriteRec& sprite, bool wholeWithoutFrames) const;
};

class cHouse : public cDecor {
public:
    enum eState { e_stateDef = -1, e_stateNone = 0, e_stateBuilding = 1, e_stateBuilt = 2, e_stateWorking = 3 };

    // The category from the name's prefix; with an owner it joins the
    // owner's building list.
    cHouse(const vek::string& name, const vek::string& title, cIsland* owner = nullptr);

    int GetType() const override { return e_typeHouse; }
    void DrawHighlight(vek::cQuadBatch& batch) override;
    // The halo's picture is looked up again by the next game.
    static void ForgetHalo();
    void Draw(vek::cQuadBatch& batch) override;
    void Tick() override;
    // Construction: ends when the construction frames have played.
    void Process() override;
    // 48 with 1: the island's click, which buys the building in mode 2.
    void OnMessage(int message, int argument) override;
    void CopyDef(const cBuild& other) override;
    uint32_t GetColor() const override;

    vek::vec2 GetScreenCenter() const;
    void SetTimer(int32_t fireworks);
    // Starts construction and takes the price from the island funds; never
    // fails for lack of funds (below the price it costs the funds less 5).
    virtual void Buy();
    // 0: the frame of the building not built; 1: of the finished one.
    virtual int GetSpriteIndex(int which) const;
    // The side effects of a state change; the caller stores the state when
    // it returns true.
    virtual bool ChangeState(int from, int to);
    // ChangeState and, when allowed, the new state.
    bool SetState(int to);
    int32_t GetState() const { return iState; }

    vek::string strTitle;
    int32_t iPrice = 0;
    int32_t iIncrease = 0;  // people a house brings, places a market adds
    int32_t iState = e_stateDef;
    float fFireworkDelay = 0.0f;
    int32_t iFireworks = 0;
    int32_t iIslandValue = -1;
    // The statue's last firework has fired: the closing comics start once
    // the island has recorded the level.
    bool bClosingPending = false;

protected:
    void ShowFrame(int which);
};

class cFactory : public cHouse {
public:
    cFactory(const vek::string& name, const vek::string& title, cIsland* owner = nullptr);

    int GetType() const override { return e_typeFactory; }
    void Draw(vek::cQuadBatch& batch) override;
    void Process() override;
    void LoadState(vek::cBitStream& stream) override;
    void SaveState(vek::cBitStream& stream) const override;
    void CopyDef(const cBuild& other) override;
    bool ChangeState(int from, int to) override;

    void SetInputWare(const vek::string& ware);
    // A time not above zero takes 1 s.
    void SetOutput(const vek::string& ware, float processTime);
    // One unit of input has arrived.
    virtual void AddInput();
    // Processes one unit when idle with units waiting.
    virtual void StartProcessing();
    virtual void StopProcessing();

    int32_t iInputWare = NO_WARE;
    int32_t iOutputWare = NO_WARE;
    float fProcessTime = 1.0f;
    int32_t iUnits = 0;
    vek::mover<float> processTimer;
    // The output ware's icon for the garden screen's factory panel.
    uint32_t uIconTexture = 0;
    vek::rectf iconUV;
    float fIconWidth = 0.0f, fIconHeight = 0.0f;

private:
    bool IsMill() const;
};

// The game's owning, ordered list of definitions, addressed by index.
class cBuildingRegistry {
public:
    cBuildingRegistry() = default;
    ~cBuildingRegistry() { Clear(); }
    cBuildingRegistry(const cBuildingRegistry&) = delete;
    cBuildingRegistry& operator=(const cBuildingRegistry&) = delete;

    // Takes ownership; returns the new index.
    int Register(cHouse* building);
    // Null past the end.
    cHouse* Get(uint32_t index) const;
    // The first definition with exactly that name, or null.
    cHouse* Find(const vek::string& name) const;
    // A copy of the definition for the island (which then owns it), or
    // null for a bad index. It starts not built in the edit mode; its
    // island value is one above the island's highest (0 on an empty island,
    // and again 0 from 1000000 on), so it never shares its key with
    // another building.
    cHouse* Create(uint32_t index, cIsland* island) const;
    size_t Count() const { return m_Buildings.size(); }
    void Clear();

private:
    std::vector<cHouse*> m_Buildings;
};

// Fills the registry with the island's 22 definitions, titles from the
// game's locale texts. Made after the wares, whose names factories look up.
void CreateBuildings(cBuildingRegistry& registry);
