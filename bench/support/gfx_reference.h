#pragma once
// A minimal hand-written 2D batch straight on the device's context and frame:
// one program, one streamed vertex buffer, one draw call per texture run. It
// is the yardstick the engine's own 2D path is measured against.
#include <cstdint>
#include <vector>

#include "platform/gfx.h"

namespace vek::platform::gfx {

class cReferenceBatch {
public:
    struct cVertex {
        float x, y, z;
        uint32_t color;
        float u, v;
    };
    struct cRun {
        cTexture* texture;  // null: untextured
        int first;
        int count;
    };

    // On the device's context; draws into its frame of w x h.
    explicit cReferenceBatch(cDevice* device);
    ~cReferenceBatch();
    cReferenceBatch(const cReferenceBatch&) = delete;
    cReferenceBatch& operator=(const cReferenceBatch&) = delete;

    bool IsReady() const { return m_uProgram != 0; }
    // Alpha-blended, y-up over the frame, whole coordinates on pixel edges.
    void Draw(const std::vector<cVertex>& vertices, const std::vector<cRun>& runs);

private:
    cDevice* m_pDevice;
    unsigned m_uProgram = 0, m_uVao = 0, m_uVbo = 0;
    int m_iScale = -1, m_iHasTex = -1;
};

// Waits until the device has finished everything submitted so far.
void FinishDevice(cDevice* device);

}  // namespace vek::platform::gfx
