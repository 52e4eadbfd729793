#include "game/world/ware.h"

#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/texture_info.h"
#include "game/world/level_task.h"

cWareManager* g_pWareManager = nullptr;

cWare::cWare(const vek::string& name, const vek::string& title)
    : strName(name), strTitle(title)
{
    if (!strName.empty() && g_pWareManager) g_pWareManager->Register(this);
}

cWare::cWare(cNoRegister, const vek::string& name, const vek::string& title)
    : strName(name), strTitle(title)
{
}

cWareManager::cWareManager() { vecWares.reserve(20); }

cWareManager::~cWareManager()
{
    for (cWare* w : vecWares) delete w;
    vecWares.clear();
    delete pDefaultSort;
    delete pDefaultProduct;
}

void cWareManager::Register(cWare* ware)
{
    if (!pDefaultSort) {
        // The first two wares made are the defaults; they stay out of the table.
        pDefaultSort = ware;
        ware->iIndex = 0;
    } else if (!pDefaultProduct) {
        pDefaultProduct = ware;
        ware->iIndex = 0;
    } else {
        vecWares.push_back(ware);
        ware->iIndex = static_cast<int32_t>(vecWares.size()) - 1;
    }
}

namespace {
class cEmptyWare : public cWare {
public:
    cEmptyWare() : cWare(cNoRegister{}, vek::string(), vek::string()) {}
};
} // namespace

cWare* cWareManager::GetWare(uint32_t index) const
{
    if (index < vecWares.size()) return vecWares[index];
    static cEmptyWare empty;
    return &empty;
}

int32_t cWareManager::FindWare(const vek::string& name) const
{
    for (size_t i = 0; i < vecWares.size(); ++i)
        if (vecWares[i]->strName == name) return static_cast<int32_t>(i);
    return NO_WARE;
}

cSort* cWareManager::GetSort(uint32_t index) const
{
    if (index < vecWares.size() && vecWares[index]->GetType() == WARE_SORT)
        return static_cast<cSort*>(vecWares[index]);
    return DefaultSort();
}

int cWareManager::PlantIconIndex(const vek::string& name)
{
    // The order of the icons in the strip.
    static const char* const kIcons[] = {"plant07", "plant00", "plant02", "plant05", "grass",
                                         "plant01", "plant04", "plant06", "plant03", "flowers"};
    for (int i = 0; i < 10; ++i)
        if (name == kIcons[i]) return i;
    return -1;
}

bool cWareManager::GetPlantIcon(uint32_t index, vek::rectf frames[4], int32_t* price)
{
    if (index >= vecWares.size()) return false;
    const cWare* ware = vecWares[index];
    if (price) *price = ware->iPrice;
    if (!g_pTextureInfos) return false;
    if (!m_bIconInfoLooked) {
        // A missing info is looked up once too: the answer is the registry's
        // first entry, which has no icons.
        m_uIconInfo = g_pTextureInfos->Find("gui_plants");
        m_bIconInfoLooked = true;
    }
    if (m_uIconInfo == 0) return false;
    const cTextureInfo* info = g_pTextureInfos->Get(m_uIconInfo);
    static const char* const kNodes[4] = {"normal", "highlight", "push", "disable"};
    size_t counts[4];
    for (int i = 0; i < 4; ++i) {
        if (m_aIconNodes[i] < 0) m_aIconNodes[i] = static_cast<int>(info->FindNode(kNodes[i]));
        // A node the info lacks has no frames.
        const unsigned node = static_cast<unsigned>(m_aIconNodes[i]);
        counts[i] = node < info->GetNodeCount() ? info->GetNode(node).frames.size() : 0;
    }
    if (counts[0] == 0 || counts[1] != counts[0] || counts[2] != counts[0] || counts[3] != counts[0])
        return false;
    const int icon = PlantIconIndex(ware->strName);
    if (icon < 0 || static_cast<size_t>(icon) >= counts[0]) return false;
    for (int i = 0; i < 4; ++i)
        frames[i] = info->GetNode(static_cast<unsigned>(m_aIconNodes[i])).frames[static_cast<size_t>(icon)];
    return true;
}

bool CreateWareManager()
{
    if (g_pWareManager) {
        vek::LogText("CreateWareManager", "Ware manager already exists\n");
        return false;
    }
    g_pWareManager = new cWareManager();
    // Made in this order they register as the default sort and product.
    new cSort("default", "");
    new cProduct("default", "");
    vek::LogText("CreateWareManager", "Ok\n");
    return true;
}

bool DestroyWareManager()
{
    if (!g_pWareManager) {
        vek::LogWarning("DestroyWareManager", "Ware manager does not exist\n");
        return false;
    }
    delete g_pWareManager;
    g_pWareManager = nullptr;
    vek::LogText("DestroyWareManager", "Ok\n");
    return true;
}

// A damaged save may hold any number; only indices of the ware table are
// kept, so no later lookup by index can leave a table.
bool IsTableWare(int32_t ware)
{
    if (ware == NO_WARE || ware < 0) return false;
    if (!g_pWareManager || g_pWareManager->vecWares.empty()) return true;
    return static_cast<size_t>(ware) < g_pWareManager->vecWares.size();
}

bool IsNoWare(const cLevelTask& task) { return task.iKind == -1 && task.iWare == NO_WARE; }

bool IsGrass(const cWare& ware) { return ware.strName == kGrassWare; }
bool IsFlowers(const cWare& ware) { return ware.strName == kFlowersWare; }
bool IsAnimalFood(const cWare& ware) { return IsGrass(ware) || IsFlowers(ware); }

bool ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream)
{
    if (!stream) return false;
    list.clear();
    // A count that is negative or that the bytes left cannot hold (four
    // per index) refuses the list, and nothing after the count is read.
    const int32_t count = stream->ReadInt();
    if (count == 0) return true;
    if (count < 0 || static_cast<size_t>(count) > stream->BytesLeft() / 4) return false;
    list.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const int32_t ware = stream->ReadInt();
        if (IsTableWare(ware)) list.push_back(ware);
    }
    return true;
}

bool WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream)
{
    if (!stream) return false;
    stream->WriteInt(static_cast<int32_t>(list.size()));
    for (int32_t ware : list) stream->WriteInt(ware);
    return true;
}

namespace {
cSort* MakeSort(const char* name, const vek::string& title, int32_t price, int32_t watering,
                int32_t weeding, float growth)
{
    cSort* sort = new cSort(name, title);
    sort->SetPrice(price);
    sort->vecNeedIntervals = {watering, weeding};
    sort->fGrowthTime = growth;
    return sort;
}

template <class T>
void MakeWare(const char* name, const vek::string& title, int32_t price)
{
    (new T(name, title))->SetPrice(price);
}
} // namespace

void CreateWares()
{
    if (!g_pWareManager) {
        vek::LogWarning("CreateWares", "Ware manager does not exist\n");
        return;
    }
    const cLocaleGD& t = GetLocaleGD();
    MakeSort("plant00", t.Tomato, 5, 0, 2, 3.0f);
    MakeSort("plant01", t.Olive, 10, 3, 3, 4.5f);
    MakeSort("plant02", t.Orange, 15, 3, 4, 6.0f);
    MakeSort("plant03", t.Banana, 20, 3, 3, 7.5f);
    MakeSort("plant04", t.Wheat, 25, 2, 4, 6.5f);
    MakeSort("plant05", t.Corn, 30, 2, 3, 7.5f);
    MakeSort("plant06", t.Grape, 35, 4, 3, 8.0f);
    MakeSort("plant07", t.Pineapple, 40, 4, 4, 8.5f);
    MakeWare<cProduct>("product00", t.OliveOil, 15);
    MakeWare<cProduct>("product01", t.OrangeJuice, 20);
    MakeWare<cProduct>("product02", t.Flour, 30);
    MakeWare<cProduct>("product03", t.GrapeJuice, 40);
    MakeWare<cProduct>("product01_1", t.Lemonade, 30);
    MakeWare<cProduct>("product02_1", t.Bread, 50);
    MakeWare<cProduct>("product03_1", t.Wine, 70);
    MakeSort(kFlowersWare, t.Flowers, 50, 2, 0, 3.0f);
    MakeSort(kGrassWare, t.Grass, 20, 0, 0, 3.0f);
    MakeWare<cWare>("egg", t.Egg, 50);
    MakeWare<cWare>("milk", t.Milk, 70);
    MakeWare<cWare>("honey", t.Honey, 50);
    MakeWare<cWare>("nib", t.Nib, 60);
}

void cGarden::CollectWare(std::vector<int32_t>& list, int32_t ware)
{
    // The car load holds only wares of the table; the tasks hear of every
    // ware (they ignore what they do not count).
    if (IsTableWare(ware)) list.push_back(ware);
    CountTaskWare(ware);
}

bool cGarden::ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream)
{
    return ::ReadWareList(list, stream);
}

bool cGarden::WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream)
{
    return ::WriteWareList(list, stream);
}
