#include "game/shell/texture_info.h"

#include <memory>

#include "engine/core/log.h"
#include "engine/graphics/texture.h"

cTextureInfos* g_pTextureInfos = nullptr;

namespace {

constexpr const char* kSender = "cTextureInfo";
constexpr float kDefaultRate = 30.0f;
const vek::rectf kWhole(0.0f, 0.0f, 1.0f, 1.0f);

// A ".tex" script is data: counts it asks for must not make one node hold
// more frames than any sheet could have (a 4096 x 4096 texture cut into
// 16 x 16 pixel sprites has 65536).
constexpr int64_t kMaxFrames = int64_t(1) << 16;

// Infos made while no registry exists (a script run before start-up made
// it, or after teardown): nothing else would ever free them, since neither
// Lua nor the caller owns an info.
std::vector<std::unique_ptr<cTextureInfo>>& Orphans()
{
    static std::vector<std::unique_ptr<cTextureInfo>> orphans;
    return orphans;
}

} // namespace

cTextureInfo::cTextureInfo(const vek::string& infoName, bool reserved) : name(infoName)
{
    if (g_pTextureInfos) {
        m_uId = g_pTextureInfos->Add(this, reserved);
    } else {
        vek::LogWarning(kSender, "'%s': no texture-info registry\n", name);
        Orphans().emplace_back(this);
    }
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::rectf& uv, int columns, int rows,
                          float rate)
{
    if (columns < 1) columns = 1;
    if (rows < 1) rows = 1;
    if (int64_t(columns) * int64_t(rows) > kMaxFrames) {
        vek::LogWarning(kSender, "[AddNode] '%s': %i frames are too many; one frame used\n", nodeName,
                        int64_t(columns) * int64_t(rows));
        columns = rows = 1;
    }
    cNode node;
    node.name = nodeName;
    node.fRate = rate;
    node.frames.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    const float fw = uv.w / static_cast<float>(columns);
    const float fh = uv.h / static_cast<float>(rows);
    const float top = uv.y + uv.h;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            node.frames.emplace_back(uv.x + static_cast<float>(j) * fw,
                                     top - static_cast<float>(i + 1) * fh, fw, fh);
    nodes.push_back(std::move(node));
    return static_cast<int>(nodes.size() - 1);
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::rectf& uv, int columns, int rows)
{
    return AddNode(nodeName, uv, columns, rows, kDefaultRate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::rectf& uv)
{
    return AddNode(nodeName, uv, 1, 1, kDefaultRate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, int columns, int rows, float rate)
{
    return AddNode(nodeName, kWhole, columns, rows, rate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, int columns, int rows)
{
    return AddNode(nodeName, kWhole, columns, rows, kDefaultRate);
}

int cTextureInfo::AddNode(const vek::string& nodeName)
{
    return AddNode(nodeName, kWhole, 1, 1, kDefaultRate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::recti& pixels, int columns, int rows,
                          float rate)
{
    const vek::cTexture* texture = nullptr;
    if (vek::g_pTextureManager) {
        const uint32_t id = vek::g_pTextureManager->Find(name);
        if (id != 0) texture = vek::g_pTextureManager->At(id);
    }
    // A texture without a size (one made without pixels) gives no scale to
    // convert by: it is treated like a texture that is not loaded.
    const int width = texture ? texture->GetWidth() : 0;
    const int height = texture ? texture->GetHeight() : 0;
    if (width <= 0 || height <= 0) {
        vek::LogWarning(kSender, "[AddNode] Can't find texture with this name: %s\n", name);
        return AddNode(nodeName, kWhole, 1, 1, kDefaultRate);
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const vek::rectf uv(static_cast<float>(pixels.x) / w, static_cast<float>(pixels.y) / h,
                        static_cast<float>(pixels.w) / w, static_cast<float>(pixels.h) / h);
    return AddNode(nodeName, uv, columns, rows, rate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::recti& pixels, int columns, int rows)
{
    return AddNode(nodeName, pixels, columns, rows, kDefaultRate);
}

int cTextureInfo::AddNode(const vek::string& nodeName, const vek::recti& pixels)
{
    return AddNode(nodeName, pixels, 1, 1, kDefaultRate);
}

const cTextureInfo::cNode& cTextureInfo::GetNode(unsigned index) const
{
    if (index < nodes.size()) return nodes[index];
    static const cNode fallback{vek::string("unnamed"), kDefaultRate, {kWhole}};
    return fallback;
}

unsigned cTextureInfo::FindNode(const vek::string& nodeName) const
{
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].name == nodeName) return static_cast<unsigned>(i);
    return GetNodeCount();
}

const vek::rectf* cTextureInfo::GetFrames(const vek::string& nodeName) const
{
    return GetNode(FindNode(nodeName)).frames.data();
}

// ----------------------------------------------------------------- registry

bool CreateTextureInfos()
{
    bool made = false;
    if (g_pTextureInfos) {
        vek::LogWarning("CreateTextureInfos", "Already exist\n");
    } else {
        g_pTextureInfos = new cTextureInfos(100);
        auto* fallback = new cTextureInfo("unnamed", true);
        fallback->AddNode("unnamed", kWhole, 1, 1, kDefaultRate);
        made = true;
    }
    vek::LogText("CreateTextureInfos", "Ok\n");
    return made;
}

bool DestroyTextureInfos()
{
    const bool existed = g_pTextureInfos != nullptr;
    delete g_pTextureInfos;
    g_pTextureInfos = nullptr;
    vek::LogText("DestroyTextureInfos", "Ok\n");
    return existed;
}

cTextureInfo* FindTextureInfo(const vek::string& textureName)
{
    if (!g_pTextureInfos) return nullptr;
    return g_pTextureInfos->Get(g_pTextureInfos->Find(textureName));
}

eSpriteLookup FindSprite(const vek::string& texture, const vek::string& area, cSprite* record)
{
    cSprite found;
    if (record) *record = found;
    const uint32_t textureId = vek::g_pTextureManager ? vek::g_pTextureManager->Find(texture) : 0;
    if (textureId == 0) return e_spriteNoTexture;
    const uint32_t infoId = g_pTextureInfos ? g_pTextureInfos->Find(texture) : 0;
    if (infoId == 0) return e_spriteNoInfo;
    const cTextureInfo* info = g_pTextureInfos->Get(infoId);
    const unsigned index = info->FindNode(area);
    if (index >= info->GetNodeCount()) return e_spriteNoArea;

    const cTextureInfo::cNode& node = info->GetNode(index);
    const vek::cTexture* image = vek::g_pTextureManager->Get(textureId);
    found.iTexture = static_cast<int32_t>(textureId);
    found.pFrames = node.frames.data();
    found.iFrameCount = static_cast<int32_t>(node.frames.size());
    if (!node.frames.empty()) {
        found.fWidth = static_cast<float>(image->GetWidth()) * node.frames[0].w;
        found.fHeight = static_cast<float>(image->GetHeight()) * node.frames[0].h;
    }
    found.fFrameTime = node.fRate == 0.0f ? 1.0f / 30.0f : 1.0f / node.fRate;
    if (record) *record = found;
    return e_spriteFound;
}
