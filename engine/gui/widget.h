#pragma once
// A widget is one full-screen view of the game (splash, loading screen,
// island, garden...). The engine drives exactly one of them per frame, the
// focused one; the GUI's windows are drawn and served on top of it.
#include "engine/core/vekstring.h"

namespace vek {

class cWidget {
public:
    // Joins the engine's widget list; the engine owns and deletes it.
    explicit cWidget(const string& name);
    virtual ~cWidget();
    cWidget(const cWidget&) = delete;
    cWidget& operator=(const cWidget&) = delete;

    // Draws the GUI's windows and controls; a view that overrides it draws
    // itself first and then calls this.
    virtual void Draw();
    // The fixed 1/30 s logic step.
    virtual void Tick();
    // Per-frame update with the elapsed seconds.
    virtual void Update(float elapsed);
    virtual string GetName();
    virtual void OnActivate();
    virtual void OnDeactivate();
    // An input event neither the console nor the GUI took (kinds of the
    // input manager, 3 for a typed character).
    virtual void OnInput(int kind, int code);

    string strName;
};

} // namespace vek
