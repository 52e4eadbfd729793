#pragma once
// Drawing one widget's frame on the real render device and reading its
// pixels back, for the shell's picture tests.
#include <gtest/gtest.h>

#include <memory>

#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/gui/widget.h"

namespace shelltest {

struct cRgb {
    int r, g, b;
};

// One frame of the widget, read back (rows bottom first); null without a device.
inline std::unique_ptr<vek::cImage> DrawFrame(vek::cWidget* widget)
{
    if (vek::g_pRender->Begin() != 0) return nullptr;
    widget->Draw();
    vek::g_pRender->End();
    std::unique_ptr<vek::cImage> frame = vek::g_pRender->ReadFrontBuffer(nullptr);
    vek::g_pRender->SwapBuffers();
    return frame;
}

// x from the left, y from the bottom.
inline cRgb PixelAt(const vek::cImage& image, int x, int y)
{
    const uint8_t* p = image.GetLevel(0) + (static_cast<size_t>(y) * image.GetWidth() + x) * 3;
    return {p[0], p[1], p[2]};
}

} // namespace shelltest

#define EXPECT_RGB(px, R, G, B)             \
    do {                                    \
        const shelltest::cRgb p_ = (px);    \
        EXPECT_NEAR(p_.r, R, 4) << "red";   \
        EXPECT_NEAR(p_.g, G, 4) << "green"; \
        EXPECT_NEAR(p_.b, B, 4) << "blue";  \
    } while (0)
