#pragma once
// Wares: every good of the game, addressed by its index in the ware
// manager's table. The index 1000 means "no ware" everywhere.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"

constexpr int32_t NO_WARE = 1000;

class cWare {
public:
    // Registers itself with the ware manager unless the name is empty.
    cWare(const vek::string& name, const vek::string& title);
    virtual ~cWare() = default;
    virtual uint32_t GetType() const { return 0x80000000u; }
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
    uint32_t GetType() const override { return 0x80000002u; }
};

// A ware a plant grows from.
class cSort : public cWare {
public:
    cSort(const vek::string& name, const vek::string& title) : cWare(name, title) {}
    uint32_t GetType() const override { return 0x80000001u; }

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

    // Called by the ware constructor.
    void Register(cWare* ware);

    cSort* DefaultSort() const { return static_cast<cSort*>(pDefaultSort); }
    cProduct* DefaultProduct() const { return static_cast<cProduct*>(pDefaultProduct); }

    std::vector<cWare*> vecWares;
    // Kept as the base type: they register from the base constructor, before
    // the derived part exists.
    cWare* pDefaultSort = nullptr;
    cWare* pDefaultProduct = nullptr;
};

extern cWareManager* g_pWareManager;

bool CreateWareManager();
bool DestroyWareManager();

namespace vek {
class cBitStream;
}

// A list of ware indices in a saved game: a count, then that many indices.
// The reader replaces the list and drops the index NO_WARE and every index
// that is negative or, once the table is filled, past its end; a count with the
// top bit set reads nothing, and a count beyond the rest of the stream is
// cut to what it holds. Both are false without a stream.
bool ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream);
bool WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream);

// Fills the ware table with the game's 21 wares, in index order, their
// titles taken from the game's locale texts. Needs the ware manager.
void CreateWares();
