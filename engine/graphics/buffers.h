#pragma once
// The buffer registry: the engine's lists of vertex and index buffer objects,
// pieces of geometry that live in device buffers owned by the renderer. The
// renderer saves, releases and restores their records with the device.
#include <cstdint>
#include <vector>

namespace vek {

struct cBufferRecord;

class cBufferRegistry {
public:
    struct cBufferObject {
        int32_t iUsage = 0;       // 512 dynamic, else static
        int32_t iVertexSize = 0;  // stride of the data's vertex layout
        cBufferRecord* pRecord = nullptr;  // owned; also in the renderer's list
        uint32_t uSize = 0;
        int32_t iOffset = 0;      // of the object's data within its buffer
    };

    cBufferRegistry() = default;
    // Unlinks and frees every record (the renderer must still exist).
    ~cBufferRegistry();
    cBufferRegistry(const cBufferRegistry&) = delete;
    cBufferRegistry& operator=(const cBufferRegistry&) = delete;

    // A buffer object of its own buffer, filled with size bytes of data (or
    // zeros). Null when there is no renderer or the size is 0.
    cBufferObject* AddVertexBuffer(int usage, int vertexSize, const void* data, uint32_t size);
    cBufferObject* AddIndexBuffer(int usage, const void* data, uint32_t size);

    // Both tables through both log outputs.
    void Dump();

    std::vector<cBufferObject*> vecVertexBuffers;
    std::vector<cBufferObject*> vecIndexBuffers;
};

bool CreateBufferRegistry();
bool DestroyBufferRegistry();
extern cBufferRegistry* g_pBufferRegistry;

} // namespace vek
