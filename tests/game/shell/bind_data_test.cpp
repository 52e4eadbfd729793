// The game's data classes as scripts see them: result names, the texture
// info's constructor and its nine AddNode forms, and ".tex" scripts run
// through the script host.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/filename.h"
#include "engine/core/script.h"
#include "game/shell/bind_data.h"
#include "game/shell/sprite_fixture.h"
#include "game/shell/texture_info.h"
#include "support/temp_dir.h"

namespace {

using spritetest::MakeTexture;

class DataBindings : public spritetest::DataBindFixture {};

void ExpectNode(const cTextureInfo::cNode& node, const char* name, size_t frames, float rate,
                float x, float y, float w, float h)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(node.name, name);
    ASSERT_EQ(node.frames.size(), frames);
    EXPECT_FLOAT_EQ(node.fRate, rate);
    EXPECT_FLOAT_EQ(node.frames[0].x, x);
    EXPECT_FLOAT_EQ(node.frames[0].y, y);
    EXPECT_FLOAT_EQ(node.frames[0].w, w);
    EXPECT_FLOAT_EQ(node.frames[0].h, h);
}

TEST_F(DataBindings, ResultNamesAndTheGameDataManager)
{
    ASSERT_EQ(Try("ok, stop, missing, internal = cResult.Ok, cResult.Stop, cResult.FileNotFound, "
                  "cResult.InternalError\n"
                  "gd = cDataManagerGD ~= nil"),
              "");
    EXPECT_EQ(Global("ok"), "0");
    EXPECT_EQ(Global("stop"), "1");
    EXPECT_EQ(Global("missing"), "2");
    EXPECT_EQ(Global("internal"), "3");
    EXPECT_EQ(Global("gd"), "true");
}

// Each form, with the values it fills in. The texture is 200 x 100, so the
// pixel forms' uv values show the conversion went through the right size.
TEST_F(DataBindings, EveryAddNodeFormReachesItsNativeForm)
{
    MakeTexture("sheet", 200, 100);
    ASSERT_EQ(Try("local t = cTextureInfo('sheet', false)\n"
                  "i0 = t:AddNode('uv5', rectf(0, 0, 0.5, 1), 2, 4, 12)\n"
                  "i1 = t:AddNode('uv4', rectf(0, 0, 0.5, 1), 2, 4)\n"
                  "i2 = t:AddNode('uv2', rectf(0.25, 0.5, 0.5, 0.5))\n"
                  "i3 = t:AddNode('n4', 4, 2, 6)\n"
                  "i4 = t:AddNode('n3', 4, 2)\n"
                  "i5 = t:AddNode('n1')\n"
                  "i6 = t:AddNode('px5', recti(50, 25, 100, 50), 2, 1, 15)\n"
                  "i7 = t:AddNode('px4', recti(50, 25, 100, 50), 2, 1)\n"
                  "i8 = t:AddNode('px2', recti(50, 25, 100, 50))\n"),
              "");
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Global(("i" + std::to_string(i)).c_str()), std::to_string(i));

    const cTextureInfo* info = FindTextureInfo("sheet");
    ASSERT_NE(info->GetId(), 0u);
    ASSERT_EQ(info->GetNodeCount(), 9u);
    ExpectNode(info->GetNode(0), "uv5", 8, 12, 0, 0.75f, 0.25f, 0.25f);
    ExpectNode(info->GetNode(1), "uv4", 8, 30, 0, 0.75f, 0.25f, 0.25f);
    ExpectNode(info->GetNode(2), "uv2", 1, 30, 0.25f, 0.5f, 0.5f, 0.5f);
    ExpectNode(info->GetNode(3), "n4", 8, 6, 0, 0.5f, 0.25f, 0.5f);
    ExpectNode(info->GetNode(4), "n3", 8, 30, 0, 0.5f, 0.25f, 0.5f);
    ExpectNode(info->GetNode(5), "n1", 1, 30, 0, 0, 1, 1);
    ExpectNode(info->GetNode(6), "px5", 2, 15, 0.25f, 0.25f, 0.25f, 0.5f);
    ExpectNode(info->GetNode(7), "px4", 2, 30, 0.25f, 0.25f, 0.25f, 0.5f);
    ExpectNode(info->GetNode(8), "px2", 1, 30, 0.25f, 0.25f, 0.5f, 0.5f);
}

TEST_F(DataBindings, PixelFormFromLuaWithoutTheTextureWarnsAndAddsTheWholeTexture)
{
    ASSERT_EQ(Try("i = cTextureInfo('absent', false):AddNode('box', recti(1, 2, 3, 4), 4, 4, 12)"), "");
    EXPECT_EQ(Global("i"), "0");
    ExpectNode(FindTextureInfo("absent")->GetNode(0), "box", 1, 30, 0, 0, 1, 1);
    EXPECT_EQ(Logged("[AddNode] Can't find texture with this name: absent"), 1);
}

// Scripts drop their infos at once; the registry keeps and frees them (the
// sanitizer build's leak check covers the freeing).
TEST_F(DataBindings, InfosMadeByScriptsBelongToTheRegistry)
{
    ASSERT_EQ(Try("for n = 1, 50 do\n"
                  "  local t = cTextureInfo('made' .. n, n == 1)\n"
                  "  t:AddNode('a')\n"
                  "end\n"
                  "collectgarbage('collect')\n"
                  "collectgarbage('collect')"),
              "");
    ASSERT_EQ(g_pTextureInfos->Count(), 51u);
    for (int n = 1; n <= 50; ++n) {
        const cTextureInfo* info = FindTextureInfo("made" + std::to_string(n));
        ASSERT_EQ(info->GetId(), uint32_t(n)) << "slot 0 stays the default info's";
        EXPECT_EQ(info->FindNode("a"), 0u);
    }
    EXPECT_EQ(g_pTextureInfos->Get(0)->GetName(), "unnamed");
}

TEST_F(DataBindings, WrongArgumentsAreLuaErrorsNotCrashes)
{
    EXPECT_NE(Try("cTextureInfo('t', false):AddNode()"), "");
    EXPECT_NE(Try("cTextureInfo('t', false):AddNode('a', rectf(0, 0, 1, 1), 'x')"), "");
    EXPECT_NE(Try("cTextureInfo('t', false):AddNode({}, 1, 1)"), "");
    EXPECT_NE(Try("cTextureInfo()"), "");
    EXPECT_EQ(Try("cTextureInfo('t', false):AddNode('fine')"), "");
}

// A ".tex" script as the loader runs it: an error half-way leaves the info
// with the areas made before it, and the host reports the line and the file.
TEST_F(DataBindings, TexScriptsRunThroughTheHostAndKeepAreasBeforeAnError)
{
    MakeTexture("buttons", 128, 64);
    ASSERT_TRUE(vektest::WriteFile(m_strDir + "/data/texture/buttons.tex",
                                   "local t = cTextureInfo(\"buttons\", false)\n"
                                   "t:AddNode(\"ok\", recti(0, 0, 64, 32), 2, 1, 10)\n"
                                   "t:AddNode(\"cancel\", recti(64, 0, 64, 32))\n"
                                   "t:AddNode(\"broken\", nothing.here)\n"
                                   "t:AddNode(\"never\")\n"));
    EXPECT_FALSE(vek::GetScript()->LoadFile(vek::filename("{StaticPath}/texture/buttons.tex")));
    EXPECT_EQ(Logged("]:4: attempt to index global 'nothing'"), 1);
    EXPECT_EQ(Logged("LoadFile: error in file"), 1);

    const cTextureInfo* info = FindTextureInfo("buttons");
    ASSERT_EQ(info->GetNodeCount(), 2u);
    cSprite sprite;
    ASSERT_EQ(FindSprite("buttons", "ok", &sprite), e_spriteFound);
    EXPECT_EQ(sprite.iFrameCount, 2);
    EXPECT_FLOAT_EQ(sprite.fWidth, 32.0f);
    EXPECT_FLOAT_EQ(sprite.fHeight, 32.0f);
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 0.1f);
    EXPECT_EQ(FindSprite("buttons", "cancel", &sprite), e_spriteFound);
    EXPECT_EQ(FindSprite("buttons", "never", &sprite), e_spriteNoArea);

    // Run again, the script makes a second info of the name, which lookups
    // never reach: the first one's areas stay the ones found.
    EXPECT_FALSE(vek::GetScript()->LoadFile(vek::filename("{StaticPath}/texture/buttons.tex")));
    EXPECT_EQ(FindTextureInfo("buttons"), info);
    EXPECT_EQ(g_pTextureInfos->Count(), 3u);
}

TEST(DataBindingsWithoutState, RegistrationNeedsAScriptState)
{
    EXPECT_FALSE(RegisterDataClasses(nullptr));
}

} // namespace
