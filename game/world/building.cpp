#include "game/world/building.h"

#include "game/shell/locale_gd.h"

namespace {
bool StartsWith(const vek::string& s, const char* prefix)
{
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

int32_t CategoryOf(const vek::string& name)
{
    if (StartsWith(name, "house")) return cBuild::e_catHouse;
    if (StartsWith(name, "market")) return cBuild::e_catMarket;
    if (StartsWith(name, "factory")) return cBuild::e_catFactory;
    if (StartsWith(name, "institute")) return cBuild::e_catInstitute;
    if (StartsWith(name, "animals")) return cBuild::e_catAnimals;
    if (StartsWith(name, "statue")) return cBuild::e_catStatue;
    return cBuild::e_catOther;
}

int32_t WareIndex(const vek::string& name)
{
    return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE;
}
} // namespace

cBuild::cBuild(const vek::string& name) : strName(name), iCategory(CategoryOf(name)) {}

void cFactory::SetInputWare(const vek::string& ware) { iInputWare = WareIndex(ware); }

void cFactory::SetOutput(const vek::string& ware, float processTime)
{
    iOutputWare = WareIndex(ware);
    fProcessTime = processTime;
}

int cBuildingRegistry::Register(cBuild* building)
{
    m_Buildings.push_back(building);
    return static_cast<int>(m_Buildings.size()) - 1;
}

cBuild* cBuildingRegistry::Get(uint32_t index) const
{
    return index < m_Buildings.size() ? m_Buildings[index] : nullptr;
}

cBuild* cBuildingRegistry::Find(const vek::string& name) const
{
    for (cBuild* b : m_Buildings)
        if (b->strName == name) return b;
    return nullptr;
}

void cBuildingRegistry::Clear()
{
    for (cBuild* b : m_Buildings) delete b;
    m_Buildings.clear();
}

namespace {
void House(cBuildingRegistry& r, const char* name, const vek::string& title, const char* texture,
           int32_t price, int32_t increase)
{
    cHouse* h = new cHouse(name, title);
    h->AddSprite(texture, name);
    h->iIncrease = increase;
    h->iPrice = price;
    r.Register(h);
}

cFactory* Factory(cBuildingRegistry& r, const char* name, const vek::string& title,
                  const char* texture, const char* area, int32_t price, const char* input,
                  const char* output, float time)
{
    cFactory* f = new cFactory(name, title);
    f->AddSprite(texture, area);
    f->SetInputWare(input);
    f->SetOutput(output, time);
    f->iPrice = price;
    r.Register(f);
    return f;
}
} // namespace

void CreateBuildings(cBuildingRegistry& r)
{
    const cLocaleGD& t = GetLocaleGD();
    House(r, "market00", t.Market00, "houses01", 50, 2);
    House(r, "house00", t.House00, "houses00", 50, 1);
    Factory(r, "factory00", t.FactoryOliveOil, "houses03", "factory00", 60, "plant01", "product00", 7.0f);
    House(r, "institute00", t.Institute00, "houses05", 70, 0);
    Factory(r, "factory01", t.FactoryOrangeJuice, "houses04", "factory01", 200, "plant02", "product01", 7.0f);
    House(r, "animals00", t.Animals00, "houses05", 200, 0);
    House(r, "market01", t.Market01, "houses01", 100, 2);
    House(r, "house01", t.House01, "houses00", 250, 1);
    House(r, "market02", t.Market02, "houses01", 450, 2);
    Factory(r, "factory01_1", t.FactoryLemonade, "houses08", "factory01_1", 200, "product01", "product01_1", 5.0f);
    House(r, "house02", t.House02, "houses00", 200, 2);
    House(r, "market03", t.Market03, "houses01", 350, 2);
    // The mill's second sprite is its working animation.
    Factory(r, "factory02", t.Mill, "houses07", "factory02", 500, "plant04", "product02", 6.0f)
        ->AddSprite("houses07", "factory02_life");
    Factory(r, "factory02_1", t.Bakery, "houses08", "factory02_1", 400, "product02", "product02_1", 4.0f);
    House(r, "house03", t.House03, "houses00", 300, 2);
    House(r, "market04", t.Market04, "houses02", 350, 2);
    House(r, "house04", t.House04, "houses00", 350, 3);
    House(r, "market05", t.Market05, "houses03", 500, 2);
    Factory(r, "factory03", t.FactoryGrapeJuice, "houses09", "factory03", 500, "plant06", "product03", 6.0f);
    Factory(r, "factory03_1", t.FactoryWine, "houses04", "factory03", 500, "product03", "product03_1", 3.0f);
    House(r, "house05", t.House05, "houses02", 500, 3);
    House(r, "statue00", t.Statue00, "peacock02", 2000, 0);
}
