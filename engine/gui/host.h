#pragma once
// What the GUI layer needs of the engine object above it: the engine's GUI
// and sprite batch, and the list of widgets it drives. The engine object
// registers itself as the host while it exists. Without a host, widgets join
// no list, a new control belongs to no GUI until a window adopts it, and the
// GUI draws through a sprite batch of its own.
namespace vek {

class cGUI;
class cQuadBatch;
class cWidget;

class iGuiHost {
public:
    virtual cGUI* GetHostGUI() = 0;
    virtual cQuadBatch* GetHostBatch() = 0;
    // A new widget joins the host's list.
    virtual void AddWidget(cWidget* widget) = 0;
    // A widget going away leaves neither a list entry nor the focus behind.
    virtual void RemoveWidget(cWidget* widget) = 0;

protected:
    ~iGuiHost() = default;
};

void SetGuiHost(iGuiHost* host);
iGuiHost* GetGuiHost();

} // namespace vek
