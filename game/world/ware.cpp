#include "game/world/ware.h"

#include "engine/core/log.h"

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
    if (index < vecWares.size() && vecWares[index]->GetType() == 0x80000001u)
        return static_cast<cSort*>(vecWares[index]);
    return DefaultSort();
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
