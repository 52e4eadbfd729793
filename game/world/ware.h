#pragma once
// Wares: every good of the game, addressed by its index in the ware
// manager's table. The index 1000 means "no ware" everywhere.
#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

constexpr int32_t NO_WARE = 1000;

// Type codes of the ware classes.
constexpr uint32_t WARE_PLAIN = 0x80000000u;
constexpr uint32_t WARE_SORT = 0x80000001u;
constexpr uint32_t WARE_PRODUCT = 0x80000002u;

class cWare {
public:
    // Registers itself with the ware manager unless the name is empty.
    cWare(const vek::string& name, const vek::string& title);
    virtual ~cWare() = default;
    virtual uint32_t GetType() const { return WARE_PLAIN; }
    virtual void SetPrice(int32_t price) { iPrice = price; }

    int32_t iIndex = 0;
    vek::string strName;
    vek::string strTitle;
    int32_t iPrice = 0;

protected:
    struct cNoRegister {};
    cWare(cNoRegister, const vek::string& name, const vek::string& title);
};

// A processed good.
class cProduct : public cWare {
public:
    cProduct(const vek::string& name, const vek::string& title) : cWare(name, title) {}
    uint32_t GetType() const override { return WARE_PRODUCT; }
};

// A ware a plant grows from.
class cSort : public cWare {
public:
    cSort(const vek::string& name, const vek::string& title) : cWare(name, title) {}
    uint32_t GetType() const override { return WARE_SORT; }

    std::vector<int32_t> vecNeedIntervals = {0, 0};  // [0] watering, [1] weeding; 0 = never
    float fGrowthTime = 3.0f;                        // seconds
    std::vector<int32_t> vecNeedCounters = {0, 0};
};

class cWareManager {
public:
    cWareManager();
    virtual ~cWareManager();
    cWareManager(const cWareManager&) = delete;
    cWareManager& operator=(const cWareManager&) = delete;

    // The table entry, or a shared empty ware for an index out of range.
    cWare* GetWare(uint32_t index) const;
    // Index of the first ware with exactly that name; NO_WARE when none.
    int32_t FindWare(const vek::string& name) const;
    // The sort at that index, or the default sort.
    cSort* GetSort(uint32_t index) const;
    // The toolbar icon of a sort: writes the ware's price (when the index is
    // in the table), then frame "icon number" of the nodes "normal",
    // "highlight", "push" and "disable" of the texture info "gui_plants" to
    // frames[0..3]. False, with no frame written, for an index past the
    // table, a ware without an icon (only the eight crops, grass and
    // flowers have one), a missing info, or nodes of unequal or too few
    // frames.
    bool GetPlantIcon(uint32_t index, vek::rectf frames[4], int32_t* price);
    // The ware's position in the icon strip; -1 for a ware without an icon.
    static int PlantIconIndex(const vek::string& name);

    // Called by the ware constructor.
    void Register(cWare* ware);

    cSort* DefaultSort() const { return static_cast<cSort*>(pDefaultSort); }
    cProduct* DefaultProduct() const { return static_cast<cProduct*>(pDefaultProduct); }

    std::vector<cWare*> vecWares;
    // Kept as the base type: they register from the base constructor, before
    // the derived part exists.
    cWare* pDefaultSort = nullptr;
    cWare* pDefaultProduct = nullptr;

private:
    // The icon lookups, made once per manager: the info's registry id (0
    // when the registry has no "gui_plants") and each node's index in it
    // (-1 until first used). Ids rather than pointers, so that nothing
    // dangles when the registry goes before the manager.
    bool m_bIconInfoLooked = false;
    uint32_t m_uIconInfo = 0;
    int m_aIconNodes[4] = {-1, -1, -1, -1};
};

extern cWareManager* g_pWareManager;

bool CreateWareManager();
bool DestroyWareManager();

namespace vek {
class cBitStream;
}
struct cLevelTask;

// Whether the index names a ware of the table. Before the table is filled
// (nothing to check against) only the index NO_WARE and negative indices
// fail.
bool IsTableWare(int32_t ware);
// A level task record that names neither a ware nor an animal: kind -1 and
// ware NO_WARE.
bool IsNoWare(const cLevelTask& task);

// A list of ware indices in a saved game: a count, then that many indices.
// The reader replaces the list and drops the index NO_WARE and every index
// that is negative or, once the table is filled, past its end. A count that
// is negative or beyond what the rest of the stream can hold refuses the
// list: it stays empty, nothing after the count is read, and the reader
// returns false. Both are false without a stream.
bool ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream);
bool WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream);

// Fills the ware table with the game's kWareCount wares, in index order,
// their titles taken from the game's locale texts. Needs the ware manager.
void CreateWares();

// The game's wares: the table holds this many; the plant sorts the player
// unlocks one by one are the indices 0 to kLastSort (plant00 to plant07).
constexpr int32_t kWareCount = 21;
constexpr int32_t kLastSort = 7;

// The two sorts sown as the animals' food, from the food toolbar: grass for
// every animal, flowers for the bees. Neither is a crop of the tasks' sorts.
inline constexpr const char* kGrassWare = "grass";
inline constexpr const char* kFlowersWare = "flowers";
bool IsGrass(const cWare& ware);
bool IsFlowers(const cWare& ware);
bool IsAnimalFood(const cWare& ware);
