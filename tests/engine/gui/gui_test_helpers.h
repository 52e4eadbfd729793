#pragma once
// Shared pieces of the GUI tests: a window function that records what it
// receives, a control that records its messages, and a GUI of the game's
// size with a matching viewport.
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"

namespace guitest {

struct cRecord {
    unsigned uWindow;
    int iMessage;
    unsigned uA;
    unsigned uB;
};

inline bool operator==(const cRecord& l, const cRecord& r)
{
    return l.uWindow == r.uWindow && l.iMessage == r.iMessage && l.uA == r.uA && l.uB == r.uB;
}

using cLog = std::vector<cRecord>;

// Records every message (paint and timer only when asked), then either
// answers through the hook or behaves like the default window function.
class cRecordingWF : public vek::cWindowFunction {
public:
    using Hook = std::function<bool(vek::cWindow*, int, unsigned, unsigned, int&)>;

    explicit cRecordingWF(cLog* log) : m_pLog(log) {}

    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override
    {
        const bool noisy = message == vek::cGUI::e_wndPaint || message == vek::cGUI::e_wndTimer;
        if (m_pLog && (!noisy || bRecordNoisy)) m_pLog->push_back({window->GetID(), message, a, b});
        int result = 0;
        if (hook && hook(window, message, a, b, result)) return result;
        if (bConsumeInput && IsInput(message)) {
            vek::cWindowFunction::Call(window, message, a, b);
            return 1;
        }
        return vek::cWindowFunction::Call(window, message, a, b);
    }

    static bool IsInput(int m)
    {
        return (m >= 3 && m <= 7) || m == 13 || m == 17 || m == 18;
    }

    Hook hook;
    bool bConsumeInput = false;
    bool bRecordNoisy = false;

private:
    cLog* m_pLog;
};

// A plain rectangle control that records its messages.
class cProbeCtrl : public vek::cImageCtrl {
public:
    cProbeCtrl(const vek::string& name, vek::cWindow* parent, float x, float y, float w, float h)
        : vek::cImageCtrl(name, parent)
    {
        SetPos(x, y, 0);
        SetSize(w, h, 0);
    }
    int OnMessage(int message, unsigned a, unsigned b) override
    {
        received.push_back(message);
        return vek::cImageCtrl::OnMessage(message, a, b);
    }
    std::vector<int> received;
};

// A GUI of 1024 x 768 over a 1024 x 768 viewport.
inline std::unique_ptr<vek::cGUI> MakeGUI()
{
    auto gui = std::make_unique<vek::cGUI>(1024.0f, 768.0f);
    gui->SetViewport(0, 0, 1024, 768);
    return gui;
}

inline vek::cWindow* MakeWindow(vek::cGUI& gui, const char* name, cLog* log, bool active = true,
                                bool modal = false, cRecordingWF** function = nullptr)
{
    auto* wf = new cRecordingWF(log);
    auto* window = new vek::cWindow(wf, &gui);
    window->SetName(name);
    window->SetActive(active);
    window->SetModal(modal);
    if (function) *function = wf;
    return window;
}

// The records of the given messages only, in order.
inline cLog Only(const cLog& log, std::initializer_list<int> messages)
{
    cLog out;
    for (const cRecord& r : log)
        for (int m : messages)
            if (r.iMessage == m) out.push_back(r);
    return out;
}

// A GUI point for a client position in the 1024 x 768 test viewport.
inline unsigned ClientPoint(int x, int y) { return vek::PackGUIPoint(x, 768 - y); }

} // namespace guitest
