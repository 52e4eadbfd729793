#pragma once
// The building definitions of the island: one of each building, from which
// the island's own buildings are copied. cBuild is a named rectangle,
// cHouse adds a title, a price and what it brings, cFactory the ware it
// turns into another.
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/core/vekstring.h"
#include "game/world/ware.h"

class cBuild {
public:
    enum eCategory {
        e_catOther = 0, e_catHouse = 1, e_catMarket = 2, e_catFactory = 3,
        e_catInstitute = 4, e_catAnimals = 5, e_catStatue = 7
    };

    // The category follows from the name's prefix ("house", "market", ...).
    explicit cBuild(const vek::string& name);
    virtual ~cBuild() = default;
    cBuild(const cBuild&) = delete;
    cBuild& operator=(const cBuild&) = delete;

    int32_t GetValue() const { return iCategory; }
    const vek::string& GetName() const { return strName; }

    vek::string strName;
    int32_t iCategory = e_catOther;
};

class cHouse : public cBuild {
public:
    cHouse(const vek::string& name, const vek::string& title) : cBuild(name), strTitle(title) {}

    // Sprites as (texture name, area name), in drawing order.
    void AddSprite(const vek::string& texture, const vek::string& area)
    {
        vecSprites.emplace_back(texture, area);
    }

    std::vector<std::pair<vek::string, vek::string>> vecSprites;
    vek::string strTitle;
    int32_t iPrice = 0;
    int32_t iIncrease = 0;  // people a house brings, places a market adds
    int32_t iState = -1;    // -1: a definition
};

class cFactory : public cHouse {
public:
    cFactory(const vek::string& name, const vek::string& title) : cHouse(name, title) {}

    void SetInputWare(const vek::string& ware);
    void SetOutput(const vek::string& ware, float processTime);

    int32_t iInputWare = NO_WARE;
    int32_t iOutputWare = NO_WARE;
    float fProcessTime = 1.0f;
};

// The game's owning, ordered list of definitions, addressed by index.
class cBuildingRegistry {
public:
    cBuildingRegistry() = default;
    // Deletes every definition through its virtual destructor.
    ~cBuildingRegistry() { Clear(); }
    cBuildingRegistry(const cBuildingRegistry&) = delete;
    cBuildingRegistry& operator=(const cBuildingRegistry&) = delete;

    // Takes ownership; returns the new index.
    int Register(cBuild* building);
    // Null past the end.
    cBuild* Get(uint32_t index) const;
    // The first definition with exactly that name, or null.
    cBuild* Find(const vek::string& name) const;
    size_t Count() const { return m_Buildings.size(); }
    void Clear();

private:
    std::vector<cBuild*> m_Buildings;
};

// Fills the registry with the island's 22 definitions, titles from the
// game's locale texts. Made after the wares, whose names factories look up.
void CreateBuildings(cBuildingRegistry& registry);
