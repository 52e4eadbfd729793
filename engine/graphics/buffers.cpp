#include "engine/graphics/buffers.h"

#include <cstdint>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/graphics/render.h"

namespace vek {

cBufferRegistry* g_pBufferRegistry = nullptr;

namespace {

void FreeAll(std::vector<cBufferRegistry::cBufferObject*>& list, bool index)
{
    for (cBufferRegistry::cBufferObject*& object : list) {
        if (!object) continue;
        if (g_pRender)
            g_pRender->ReleaseBuffer(index, object->pRecord);
        else
            delete object->pRecord;
        delete object;
        object = nullptr;
    }
    std::vector<cBufferRegistry::cBufferObject*>().swap(list);
}

void DumpTable(const char* title, const std::vector<cBufferRegistry::cBufferObject*>& list)
{
    static const char* const kLine = "  +-----+-----------+---------+----------+-------+------------+\n";
    LogContinuation(title);
    LogContinuation(kLine);
    LogContinuation("  |  N  |   address |   usage | size(kb) | vf(b) | offset(kb) |\n");
    LogContinuation(kLine);
    uint64_t total = 0;
    int n = 0;
    for (const cBufferRegistry::cBufferObject* o : list) {
        if (!o) continue;
        string row;
        Format(row, "  | %3i | 0x%X | %7s | %8i | %5i | %10i |\n", ++n,
               static_cast<unsigned long>(reinterpret_cast<uintptr_t>(o->pRecord)),
               o->iUsage == cBufferRecord::e_usageDynamic ? "dynamic" : "static",
               static_cast<int>(o->uSize >> 10), o->iVertexSize, o->iOffset >> 10);
        LogContinuation("%s", row);
        total += o->uSize;
    }
    LogContinuation(kLine);
    LogContinuation("  Total size: %i kb\n", static_cast<int>(total >> 10));
}

cBufferRegistry::cBufferObject* Add(std::vector<cBufferRegistry::cBufferObject*>& list, bool index,
                                    int usage, int vertexSize, const void* data, uint32_t size)
{
    if (!g_pRender || size == 0 || size > INT32_MAX) return nullptr;
    cBufferRecord* record = g_pRender->CreateBuffer(index, static_cast<int>(size), usage);
    if (!record) return nullptr;
    if (data) g_pRender->WriteBuffer(record, 0, data, static_cast<int>(size));
    auto* object = new cBufferRegistry::cBufferObject();
    object->iUsage = usage;
    object->iVertexSize = vertexSize;
    object->pRecord = record;
    object->uSize = size;
    object->iOffset = 0;
    list.push_back(object);
    return object;
}

} // namespace

cBufferRegistry::~cBufferRegistry()
{
    FreeAll(vecVertexBuffers, false);
    FreeAll(vecIndexBuffers, true);
}

cBufferRegistry::cBufferObject* cBufferRegistry::AddVertexBuffer(int usage, int vertexSize,
                                                                  const void* data, uint32_t size)
{
    return Add(vecVertexBuffers, false, usage, vertexSize, data, size);
}

cBufferRegistry::cBufferObject* cBufferRegistry::AddIndexBuffer(int usage, const void* data, uint32_t size)
{
    return Add(vecIndexBuffers, true, usage, 2, data, size);
}

void cBufferRegistry::Dump()
{
    DumpTable("Vertex Buffer Objects.\n", vecVertexBuffers);
    DumpTable("Index Buffer Objects.\n", vecIndexBuffers);
}

bool CreateBufferRegistry()
{
    g_pBufferRegistry = new cBufferRegistry();
    return true;
}

bool DestroyBufferRegistry()
{
    if (!g_pBufferRegistry) {
        LogWarning("DestroyBufferRegistry", "Does not exist\n");
        return false;
    }
    delete g_pBufferRegistry;
    g_pBufferRegistry = nullptr;
    return true;
}

} // namespace vek
