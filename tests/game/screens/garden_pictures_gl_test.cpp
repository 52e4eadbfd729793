// The garden's screen and the level clock on a real render device, read
// back: the toolbars over the field show the tools the player has unlocked,
// each in the picture of its state with its price under it, and leave the
// places of the locked ones empty; the clock fills clockwise from the top
// in the colour of the time gone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/core/filename.h"
#include "engine/core/script.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/bind_controls.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/shell/bind_data.h"
#include "game/shell/frame_readback.h"
#include "game/shell/garden.h"
#include "game/shell/loading.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/level.h"
#include "game/world/ware.h"
#include "support/fixture_pack.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

using shelltest::cRgb;
using shelltest::PixelAt;

struct cColour {
    uint8_t r, g, b;
};
// The field's backdrop and the toolbar's background pieces.
constexpr cColour kField = {0, 0, 160};
constexpr cColour kStrip = {120, 0, 0};
// The state rows of "gui_plants", top first: normal, hover, pushed,
// disabled; animals have their own normal picture.
constexpr cColour kPlantRows[4] = {{0, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 128, 128}};
constexpr cColour kAnimalRows[4] = {{255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 128, 128}};

// The garden's layout as the game's script makes it (the toolbars with
// their three pieces behind and beside them, the panels, the never-hit
// frame over the whole screen), placed where the test's backdrop lies.
const char* const kGardenScript = R"(
function FillWindow(w)
  w:SetName('garden') w:SetActive(true) w:SetModal(false)
  local main = cImageCtrl(w, 'MainFrame') main:SetSize(1024, 768, 0) main:EnableState(cCtrl.e_Ignorable)
  main:DisableState(cCtrl.e_Visibility)
  local function toolbar(name, x, y, n)
    local width = 67 * n - 3
    local pieces = { { 'left_', x - 12, 16 }, { 'center_', x + 4, width - 8 }, { 'right_', x + width - 4, 16 } }
    for _, p in ipairs(pieces) do
      local c = cImageCtrl(w, p[1] .. name)
      c:SetPos(p[2], y - 8, 0) c:SetSize(p[3], 80, 0) c:SetTexture('strip') c:EnableState(cCtrl.e_Ignorable)
    end
    local t = cToolbarCtrl(w, name) t:SetPos(x, y, 0) t:SetSize(width, 64, 0) t:SetSize(64, 64, cCtrl.e_lstItems)
  end
  toolbar('plants', 24, 300, 6)
  toolbar('animals', 24, 150, 4)
  toolbar('grass', 340, 150, 2)
  for i = 0, 2 do
    local y = 500 - 130 * i
    cButtonCtrl(w, 'but_' .. i):SetSize(122, 112, 0)
    cImageCtrl(w, 'img0_' .. i) cLabelCtrl(w, 'lb0_' .. i) cImageCtrlEx(w, 'arrow_' .. i)
    cImageCtrl(w, 'img1_' .. i) cProgressBarSysCtrl(w, 'progress_' .. i) cImageCtrl(w, 'back_progress_' .. i)
  end
end
)";

class cPictureGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

class GardenPictures : public vektest::EngineFixture {
protected:
    GardenPictures() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("GardenPictures");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        ASSERT_TRUE(RegisterGameControls(vek::g_pScript));
        ASSERT_TRUE(CreateTextureInfos());
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        cToolbarCtrl::ForgetStripReference();
        ForgetControlSprites();
        cClockCtrl::ForgetSprite();
        m_pGarden = new cPictureGarden();
        m_pPlayer = new cPlayer("plrpictures");
        m_pGarden->SetCurrent(m_pPlayer);
    }
    void TearDown() override
    {
        if (m_pGarden) {
            m_pGarden->m_pLevel = nullptr;  // the engine's widget list owns the field
            m_pGarden->SetCurrent(nullptr);
        }
        delete m_pPlayer;
        delete m_pGarden;
        cToolbarCtrl::ForgetStripReference();
        ForgetControlSprites();
        cClockCtrl::ForgetSprite();
        DestroyWareManager();
        DestroyTextureInfos();
        EngineFixture::TearDown();
    }

    // A texture of w x h pixels, top row first, made from a colour per pixel.
    template <class F>
    void Texture(const std::string& name, int w, int h, F colourAt)
    {
        std::vector<uint8_t> pixels;
        pixels.reserve(static_cast<size_t>(w * h * 4));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const cColour c = colourAt(x, y);
                pixels.insert(pixels.end(), {c.r, c.g, c.b, 255});
            }
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/" + name + ".png", vektest::MakePNG(w, h, 6, 8, pixels)));
        ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/" + name)), 0);
    }
    void Solid(const std::string& name, int w, int h, cColour c)
    {
        Texture(name, w, h, [c](int, int) { return c; });
    }

    std::unique_ptr<vek::cImage> GuiFrame()
    {
        vek::g_pRender->SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        if (vek::g_pRender->Begin() != 0) return nullptr;
        vek::g_pRender->Clear();
        m_pGame->pGUI->Draw();
        vek::g_pRender->End();
        std::unique_ptr<vek::cImage> frame = vek::g_pRender->ReadFrontBuffer(nullptr);
        vek::g_pRender->SwapBuffers();
        return frame;
    }

    static bool Is(const cRgb& p, cColour c)
    {
        return std::abs(p.r - c.r) <= 4 && std::abs(p.g - c.g) <= 4 && std::abs(p.b - c.b) <= 4;
    }
    // The columns of the row band [y0, y1) between x0 and x1 where anything
    // but the field shows: the width of what is drawn there, 0 for nothing.
    static int DrawnWidth(const vek::cImage& frame, int x0, int x1, int y0, int y1)
    {
        int first = -1, last = -1;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                if (!Is(PixelAt(frame, x, y), kField)) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return first < 0 ? 0 : last - first + 1;
    }

    std::string m_strRoot;
    cPictureGarden* m_pGarden = nullptr;
    cPlayer* m_pPlayer = nullptr;
};

#define EXPECT_COLOUR(frame, x, y, c)                                                              \
    do {                                                                                           \
        const cRgb p_ = PixelAt(frame, x, y);                                                      \
        EXPECT_TRUE(Is(p_, c)) << "at (" << (x) << ", " << (y) << "): " << p_.r << " " << p_.g << " " \
                               << p_.b;                                                            \
    } while (0)

TEST_F(GardenPictures, TheToolbarsOverTheFieldShowWhatIsUnlockedWithItsPrice)
{
    // The field: its base picture a plain colour over the toolbars' corner.
    Solid("back", 512, 512, kField);
    (new cTextureInfo("back", false))->AddNode("base");
    Solid("strip", 8, 8, kStrip);
    // "gui_plants": ten plant icons of 16 x 16 in four state rows, then the
    // four animals, each a column of its four states.
    Texture("gui_plants", 224, 64, [](int x, int y) {
        const cColour* rows = x < 160 ? kPlantRows : kAnimalRows;
        return rows[y / 16];
    });
    auto* icons = new cTextureInfo("gui_plants", false);
    const char* const rows[4] = {"normal", "highlight", "push", "disable"};
    for (int r = 0; r < 4; ++r) icons->AddNode(rows[r], vek::recti(0, 48 - 16 * r, 160, 16), 10, 1);
    const char* const animals[4] = {"ostrich", "goat", "hive", "peacock"};
    for (int a = 0; a < 4; ++a) icons->AddNode(animals[a], vek::recti(160 + 16 * a, 0, 16, 64), 1, 4);
    // The prices' font: every glyph a box 10 wide, 16 high, advancing 11.
    vektest::FixturePack pack(m_strRoot + "/data");
    pack.Font("font/header24x24", 10);
    ASSERT_TRUE(pack.Ok());
    ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/font/header24x24")), 0);
    ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/font/header24x24.lua")));

    // Three sorts and the ostrich unlocked.
    m_pPlayer->m_iSorts = 2;
    m_pPlayer->m_iAnimals = 0;
    m_pPlayer->m_iMoney = 100;
    auto* level = new cLevel();
    m_pGarden->m_pLevel = level;

    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/gui/garden.lua", kGardenScript));
    auto* wf = new cGardenWF();
    vek::cWindow* window = m_pGarden->FillWindow("garden", vek::filename("{StaticPath}/gui/garden.lua"), wf);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(wf->IsLocked());
    m_pGame->pGUI->SendMessage(window->GetID(), cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    m_pGame->pGUI->SendMessage(window->GetID(), cGardenWF::kMsgProgress, 1, 0);
    // A purchase leaves 12: the third sort ($15) and the ostrich ($100) are
    // no longer affordable.
    m_pGarden->SpendMoney(88);
    ASSERT_EQ(m_pPlayer->m_iMoney, 12);
    m_pGame->pGUI->ShowWindow("garden");
    for (int i = 0; i < 30; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);

    const std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(level);
    ASSERT_NE(frame, nullptr);
    const vek::cImage& f = *frame;

    // The field shows beside the toolbars: the frame over the whole screen
    // covers nothing.
    EXPECT_COLOUR(f, 450, 450, kField);
    EXPECT_COLOUR(f, 200, 250, kField);

    // Plants at (24, 300), one slot every 67: the unlocked sorts in their
    // state's picture on the strip, the locked slots empty over the field.
    const auto slot = [](int x0, int i) { return x0 + 67 * i; };
    EXPECT_COLOUR(f, slot(24, 0) + 32, 332, kPlantRows[0]);
    EXPECT_COLOUR(f, slot(24, 1) + 32, 332, kPlantRows[0]);
    EXPECT_COLOUR(f, slot(24, 2) + 32, 332, kPlantRows[3]);
    EXPECT_COLOUR(f, slot(24, 0) + 65, 332, kStrip);  // the gap between two tools
    for (int i = 3; i < 6; ++i) EXPECT_COLOUR(f, slot(24, i) + 32, 332, kField);
    // Prices under the unlocked ones only: "$5", "$10", "$15".
    const int widths[3] = {21, 32, 32};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const int drawn = DrawnWidth(f, slot(24, i), slot(24, i) + 64, 300 - 26, 300 - 9);
        if (i < 3)
            EXPECT_NEAR(drawn, widths[i], 2);
        else
            EXPECT_EQ(drawn, 0);
    }

    // Animals at (24, 150): the ostrich, too dear now, in its disabled
    // picture with its price; the locked ones leave their slots to the strip.
    EXPECT_COLOUR(f, slot(24, 0) + 32, 182, kAnimalRows[3]);
    EXPECT_NEAR(DrawnWidth(f, slot(24, 0), slot(24, 0) + 64, 150 - 26, 150 - 9), 43, 2);  // "$100"
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_COLOUR(f, slot(24, i) + 32, 182, kStrip);
        EXPECT_EQ(DrawnWidth(f, slot(24, i), slot(24, i) + 64, 150 - 26, 150 - 9), 0);
    }

    // Food at (340, 150): grass, with no animal to eat it, disabled; the
    // flowers not yet unlocked, and the strip only as wide as the grass.
    EXPECT_COLOUR(f, slot(340, 0) + 32, 182, kPlantRows[3]);
    EXPECT_GT(DrawnWidth(f, slot(340, 0), slot(340, 0) + 64, 150 - 26, 150 - 9), 0);
    EXPECT_COLOUR(f, slot(340, 1) + 32, 182, kField);
    EXPECT_EQ(DrawnWidth(f, slot(340, 1), slot(340, 1) + 64, 150 - 26, 150 - 9), 0);
}

// The game's own garden script over the game's own field, with the pack's
// pictures: compared with the field drawn alone, the tools the player has
// unlocked and their prices cover it, and everything else leaves it as it
// was.
TEST_F(GardenPictures, TheGamesGardenScriptLeavesTheFieldInSightBesideItsTools)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    ASSERT_TRUE(repo && *repo) << "VEK_REPO_DIR names the repository";
    vek::SetPathMacro(vek::e_macroStaticPath, std::string(repo) + "/data");
    ASSERT_TRUE(RegisterDataClasses(vek::g_pScript));
    for (const char* texture : {"texture/system/gui_system", "texture/back", "texture/gui_plants", "font/header24x24"})
        ASSERT_EQ(LoadTextureFile(vek::filename(std::string("{StaticPath}/") + texture)), 0) << texture;
    for (const char* script : {"gui/sprites.lua", "gui/common.lua", "texture/system/gui_system_areas.lua",
                               "font/header24x24.lua"})
        ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename(std::string("{StaticPath}/") + script))) << script;

    m_pPlayer->m_iSorts = 2;
    m_pPlayer->m_iAnimals = 0;
    m_pPlayer->m_iMoney = 12;
    auto* level = new cLevel();
    m_pGarden->m_pLevel = level;
    auto* wf = new cGardenWF();
    vek::cWindow* window = m_pGarden->FillWindow("garden", vek::filename("{StaticPath}/gui/garden.lua"), wf);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(wf->IsLocked());
    m_pGame->pGUI->SendMessage(window->GetID(), cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    m_pGame->pGUI->SendMessage(window->GetID(), cGardenWF::kMsgProgress, 1, 0);
    level->UpdateToolbars();

    const std::unique_ptr<vek::cImage> field = shelltest::DrawFrame(level);
    ASSERT_NE(field, nullptr);
    m_pGame->pGUI->ShowWindow("garden");
    for (int i = 0; i < 30; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    const std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(level);
    ASSERT_NE(frame, nullptr);

    // Pixels of the box that the garden changed.
    const auto changed = [&](int x0, int y0, int w, int h) {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const cRgb a = PixelAt(*field, x, y);
                const cRgb b = PixelAt(*frame, x, y);
                n += std::abs(a.r - b.r) > 8 || std::abs(a.g - b.g) > 8 || std::abs(a.b - b.b) > 8;
            }
        return n;
    };
    // The field itself, between the toolbars.
    EXPECT_EQ(changed(200, 200, 600, 400), 0);
    // The plants along the bottom from (24, 28), prices under them. Past
    // the third sort nothing, not even where a ware that is no sort at
    // all has its slot (the eighth and ninth); the strip's right end piece
    // takes the left edge of the first free slot.
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const int x = 24 + 67 * i;
        if (i <= 2) {
            EXPECT_GT(changed(x + 20, 36, 36, 48), 400) << "the tool";
            EXPECT_GT(changed(x, 2, 64, 14), 10) << "its price";
        } else {
            EXPECT_EQ(changed(x + 20, 36, 36, 48), 0) << "a locked tool's place";
            EXPECT_EQ(changed(x, 2, 64, 14), 0) << "no price";
        }
    }
    // The food from (724, 28): the grass offered, the flowers not yet.
    EXPECT_GT(changed(724 + 20, 36, 36, 48), 400);
    EXPECT_GT(changed(724, 2, 64, 14), 10);
    EXPECT_EQ(changed(724 + 67 + 20, 36, 36, 48), 0);
    EXPECT_EQ(changed(724 + 67, 2, 64, 14), 0);
    // The animals from (380, 692): only the ostrich has a price under it.
    EXPECT_GT(changed(380, 666, 64, 14), 10);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(changed(380 + 67 * i, 666, 64, 14), 0) << i;
}

TEST_F(GardenPictures, TheClockFillsClockwiseFromTheTopInTheColourOfTheTimeGone)
{
    Solid("icons00", 16, 16, {255, 255, 255});
    (new cTextureInfo("icons00", false))->AddNode("circle_need");
    auto* window = new vek::cWindow(new vek::cWindowFunction(), m_pGame->pGUI);
    window->SetName("clock");
    auto* clock = new cClockCtrl("clock", window);
    // Centre (458, 358); the disc's radius is half the side less 8: 50.
    clock->SetPos(400.0f, 300.0f, 0);
    clock->SetSize(116.0f, 116.0f, 0);
    m_pGame->pGUI->ShowWindow("clock");

    const cColour white = {255, 255, 255};
    const cColour black = {0, 0, 0};
    // Quarter by quarter, clockwise from the top: upper right, lower right,
    // lower left, upper left, sampled halfway out.
    const int quarters[4][2] = {{18, 18}, {18, -18}, {-18, -18}, {-18, 18}};
    struct {
        float fraction;
        int filled;
        cColour colour;
    } const rows[] = {
        {0.0f, 0, white},
        {0.25f, 1, {127, 255, 0}},
        {0.5f, 2, {255, 255, 0}},
        {0.75f, 3, {255, 127, 0}},
        {1.0f, 4, {255, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fraction);
        clock->SetElapsed(row.fraction);
        const std::unique_ptr<vek::cImage> frame = GuiFrame();
        ASSERT_NE(frame, nullptr);
        for (int q = 0; q < 4; ++q) {
            SCOPED_TRACE(q);
            EXPECT_COLOUR(*frame, 458 + quarters[q][0], 358 + quarters[q][1], q < row.filled ? row.colour : white);
        }
        // No frame: the corners of the control stay clear, and so does the
        // ring between the disc and the control's edge.
        EXPECT_COLOUR(*frame, 403, 303, black);
        EXPECT_COLOUR(*frame, 458, 358 + 54, black);
        // Just right of the top the fill starts; just left of it, it ends.
        EXPECT_COLOUR(*frame, 458 + 4, 358 + 45, row.filled > 0 ? row.colour : white);
        EXPECT_COLOUR(*frame, 458 - 4, 358 + 45, row.filled == 4 ? row.colour : white);
    }
}

} // namespace
