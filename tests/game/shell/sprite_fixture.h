#pragma once
// A log root, the texture manager (no device: textures keep their pixels in
// memory) and the texture-info registry, for the sprite-area tests; the
// binding variant adds the script host with the engine's and the data
// classes' bindings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "engine/app/bind_fixture.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "engine/graphics/texture.h"
#include "game/shell/bind_data.h"
#include "game/shell/texture_info.h"
#include "support/temp_dir.h"

namespace spritetest {

// The HTML log with spaces and quotes made plain again.
inline std::string PlainLog(const std::string& html)
{
    std::string log = html;
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"&nbsp;", " "}, {"&#39;", "'"}, {"&quot;", "\""}}) {
        for (size_t at = log.find(from); at != std::string::npos; at = log.find(from, at + to.size()))
            log.replace(at, from.size(), to);
    }
    return log;
}

inline int CountOf(const std::string& haystack, const std::string& needle)
{
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

// A texture of that size and name, registered in the texture manager.
inline vek::cTexture* MakeTexture(const std::string& name, int width, int height)
{
    vek::cImage image(vek::e_pfRGBA, width, height, 1);
    return new vek::cTexture(&image, name, false);
}

class SpriteFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("sprite");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(CreateTextureInfos());
    }
    void TearDown() override
    {
        DestroyTextureInfos();
        if (vek::g_pTextureManager) vek::DestroyTextureManager();
        m_pLog.reset();
    }

    int Logged(const std::string& text) const
    {
        return CountOf(PlainLog(vektest::ReadFile(m_strDir + "/app/_log.html")), text);
    }

    std::string m_strDir;
    std::unique_ptr<vek::cLog> m_pLog;
};

// The binding fixture's script host, fonts and GUI with the engine's
// bindings, plus the texture manager, the registry and the data classes.
// The script state goes first, the registry after it.
class DataBindFixture : public bindtest::BindFixture {
protected:
    void SetUp() override
    {
        BindFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(CreateTextureInfos());
        ASSERT_TRUE(RegisterDataClasses(vek::GetScript()));
    }
    void TearDown() override
    {
        if (vek::GetScript()) vek::DestroyScript();
        DestroyTextureInfos();
        if (vek::g_pTextureManager) vek::DestroyTextureManager();
        BindFixture::TearDown();
    }

    int Logged(const std::string& text) const { return CountOf(PlainLog(LogContents()), text); }
};

} // namespace spritetest
