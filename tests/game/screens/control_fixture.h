#pragma once
// A GUI of its own for the game's controls: one window whose function
// records what the controls tell it, a sprite batch that keeps what they
// draw, and a record of the interface sounds they ask for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/graphics/draw2d.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"

namespace controltest {

struct cMessage {
    int iMessage;
    unsigned uA;
    unsigned uB;
};

// Every message but paint and timer, in order.
class cRecorder : public vek::cWindowFunction {
public:
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override
    {
        if (message != vek::cGUI::e_wndPaint && message != vek::cGUI::e_wndTimer)
            messages.push_back({message, a, b});
        return vek::cWindowFunction::Call(window, message, a, b);
    }
    int Count(int message) const
    {
        int n = 0;
        for (const cMessage& m : messages) n += m.iMessage == message;
        return n;
    }
    std::vector<cMessage> messages;
};

inline std::vector<std::string>& Sounds()
{
    static std::vector<std::string> sounds;
    return sounds;
}
inline void RecordSound(const vek::string& name) { Sounds().push_back(name); }

class ControlFixture : public ::testing::Test, public vek::iGuiHost {
protected:
    void SetUp() override
    {
        vek::SetGuiHost(this);
        m_pWindow = new vek::cWindow(m_pRecorder = new cRecorder(), &m_GUI);
        m_pWindow->SetName("controls");
        Sounds().clear();
        SetInterfaceSoundHook(&RecordSound);
        ForgetControlSprites();
    }
    void TearDown() override
    {
        SetInterfaceSoundHook(nullptr);
        vek::SetGuiHost(nullptr);
    }

    vek::cGUI* GetHostGUI() override { return &m_GUI; }
    vek::cQuadBatch* GetHostBatch() override { return &m_Batch; }
    void AddWidget(vek::cWidget*) override {}
    void RemoveWidget(vek::cWidget*) override {}

    // Delivers the posted messages.
    void Deliver() { m_GUI.Update(0.0f); }

    // The vertices a control's Draw adds, on an empty batch.
    std::vector<vek::cVertex2D> Drawn(vek::cCtrl& control)
    {
        m_Batch.uRunCount = 0;
        control.Draw();
        std::vector<vek::cVertex2D> out;
        for (uint32_t r = 0; r < m_Batch.uRunCount; ++r) {
            const vek::cQuadBatch::cRun& run = m_Batch.GetRuns()[r];
            for (uint32_t i = 0; i < run.uCount; ++i) out.push_back(m_Batch.GetVertices()[run.uFirst + i]);
        }
        return out;
    }
    static float MinV(const std::vector<vek::cVertex2D>& vertices)
    {
        float v = 1e30f;
        for (const vek::cVertex2D& x : vertices) v = std::min(v, x.v);
        return v;
    }
    static float MinU(const std::vector<vek::cVertex2D>& vertices)
    {
        float u = 1e30f;
        for (const vek::cVertex2D& x : vertices) u = std::min(u, x.u);
        return u;
    }

    vek::cGUI m_GUI{1024.0f, 768.0f};
    vek::cQuadBatch m_Batch;
    vek::cWindow* m_pWindow = nullptr;
    cRecorder* m_pRecorder = nullptr;
};

} // namespace controltest
