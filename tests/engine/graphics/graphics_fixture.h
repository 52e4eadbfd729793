#pragma once
// Fixtures of the graphics tests: a log to read back, and (for the GL
// tests) the whole graphics stack on a real window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/graphics/buffers.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace vektest {

// A log root writing into a fresh folder, and the count of a text in it.
class LogFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = MakeTempDir("Gfx");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroUserPath, m_strRoot + "/User");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override { m_pLog.reset(); }

    // The HTML log with its spaces and quotes made plain again.
    std::string Log() const
    {
        std::string log = ReadFile(m_strRoot + "/App/_log.html");
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"&nbsp;", " "}, {"&#39;", "'"}}) {
            for (size_t at = log.find(from); at != std::string::npos; at = log.find(from, at + to.size()))
                log.replace(at, from.size(), to);
        }
        return log;
    }
    int Logged(const std::string& text) const
    {
        const std::string log = Log();
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cLog> m_pLog;
};

struct cPixel {
    int r, g, b;
};

// The renderer, buffer registry, texture and font managers and a batch on
// a 1024 x 768 window of the off-screen driver.
class GraphicsFixture : public LogFixture {
protected:
    static void SetUpTestSuite()
    {
        vek::platform::cWindowSystem& ws = vek::platform::WindowSystem();
        ASSERT_TRUE(ws.Init());
        if (!ws.HasWindow()) {
            vek::platform::cWindowDesc desc;
            desc.title = "graphics test";
            ASSERT_TRUE(ws.CreateWindow(desc));
        }
    }
    static void TearDownTestSuite() { vek::platform::WindowSystem().DestroyWindow(); }

    void SetUp() override
    {
        LogFixture::SetUp();
        vek::CreateRender();
        vek::CreateBufferRegistry();
        vek::CreateTextureManager();
        vek::CreateFontManager();
        ASSERT_EQ(vek::g_pRender->Init(m_Settings), 0);
        vek::g_pTextureManager->OnCreateContext();
        m_pBatch = std::make_unique<vek::cQuadBatch>();
    }
    void TearDown() override
    {
        m_pBatch.reset();
        if (vek::g_pTextureManager) vek::g_pTextureManager->OnDeleteContext();
        if (vek::g_pRender) vek::g_pRender->Free();
        vek::DestroyFontManager();
        vek::DestroyTextureManager();
        vek::DestroyBufferRegistry();
        vek::DestroyRender();
        LogFixture::TearDown();
    }

    // Begins a frame cleared to the colour, in 2D over the GUI space.
    void BeginFrame(float r = 0, float g = 0, float b = 0)
    {
        ASSERT_EQ(vek::g_pRender->Begin(), 0);
        vek::g_pRender->SetClearColor(r, g, b, 1);
        vek::g_pRender->Clear();
        vek::Begin2D(1024, 768);
        m_pBatch->uRunCount = 0;
    }
    // Draws the batch, ends the frame and reads it back.
    void EndFrame()
    {
        m_pBatch->Draw();
        vek::End2D();
        vek::g_pRender->End();
        vek::recti rect;
        m_pFrame = vek::g_pRender->ReadFrontBuffer(&rect);
        ASSERT_TRUE(m_pFrame);
        vek::g_pRender->SwapBuffers();
    }
    // x from the left, y from the bottom of the last frame.
    cPixel At(int x, int y) const
    {
        const uint8_t* p = m_pFrame->GetLevel(0) + (static_cast<size_t>(y) * m_pFrame->GetWidth() + x) * 3;
        return {p[0], p[1], p[2]};
    }

    vek::cRenderSettings m_Settings;
    std::unique_ptr<vek::cQuadBatch> m_pBatch;
    std::unique_ptr<vek::cImage> m_pFrame;
};

#define EXPECT_PIXEL(px, R, G, B)                    \
    do {                                             \
        const vektest::cPixel p_ = (px);             \
        EXPECT_NEAR(p_.r, R, 2) << "red";            \
        EXPECT_NEAR(p_.g, G, 2) << "green";          \
        EXPECT_NEAR(p_.b, B, 2) << "blue";           \
    } while (0)

}  // namespace vektest
