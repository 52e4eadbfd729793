#pragma once
// Named sprite areas. A texture that holds sprites is described by a
// cTextureInfo of the same name: a list of named areas (nodes), each a run of
// animation frames in the texture's uv space with a frame rate. The ".tex"
// script beside an image file makes the info and adds its areas; the game
// names a sprite by (texture name, area name) and resolves it with
// FindSprite.
//
// Every info lives in one process-wide registry (a resource table whose
// entry 0 is the default info "unnamed") from its construction until
// DestroyTextureInfos. Frames are kept in uv units, so nothing here changes
// when a texture is rebuilt for a new device. Main thread only.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "engine/core/container.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

class cTextureInfo {
public:
    // One named area: its frames in playing order, at least one for every
    // node made by AddNode.
    struct cNode {
        vek::string name;
        float fRate = 30.0f;  // frames per second
        std::vector<vek::rectf> frames;
    };

    // Copies the name and joins the registry (the reserved flag asks for the
    // registry's one reserved slot, which the default info takes). Every
    // construction registers a new info, also for a name already there;
    // lookups by name find the first.
    cTextureInfo(const vek::string& name, bool reserved);
    cTextureInfo(const cTextureInfo&) = delete;
    cTextureInfo& operator=(const cTextureInfo&) = delete;

    // ---- adding areas; each returns the new node's index ----

    // Cut from a uv rectangle into columns x rows frames (counts below 1 act
    // as 1): row 0 is the band at the rectangle's top (high v), rows go
    // down, each row runs left to right.
    int AddNode(const vek::string& name, const vek::rectf& uv, int columns, int rows, float rate);
    int AddNode(const vek::string& name, const vek::rectf& uv, int columns, int rows);
    int AddNode(const vek::string& name, const vek::rectf& uv);
    // The whole texture (0, 0, 1, 1).
    int AddNode(const vek::string& name, int columns, int rows, float rate);
    int AddNode(const vek::string& name, int columns, int rows);
    int AddNode(const vek::string& name);
    // From a rectangle in pixels of the texture of this info's name (pixel y
    // runs the same way as v). When no such texture is loaded, or it reports
    // no size, a warning is logged and the node is the whole texture, one
    // frame at rate 30, whatever was asked.
    int AddNode(const vek::string& name, const vek::recti& pixels, int columns, int rows, float rate);
    int AddNode(const vek::string& name, const vek::recti& pixels, int columns, int rows);
    int AddNode(const vek::string& name, const vek::recti& pixels);

    // ---- lookups ----

    // The node at the index; past the end, the process-wide default node
    // "unnamed" (one whole-texture frame at rate 30).
    const cNode& GetNode(unsigned index) const;
    // Index of the first node of exactly that name (case and length count);
    // the node count when there is none.
    unsigned FindNode(const vek::string& name) const;
    // The frames of GetNode(FindNode(name)).
    const vek::rectf* GetFrames(const vek::string& name) const;

    unsigned GetNodeCount() const { return static_cast<unsigned>(nodes.size()); }
    const vek::string& GetName() const { return name; }
    uint32_t GetId() const { return m_uId; }

    vek::string name;
    std::vector<cNode> nodes;

private:
    uint32_t m_uId = 0;
};

// Sprite records point at a node's frames; those must not move when a later
// AddNode grows the node list.
static_assert(std::is_nothrow_move_constructible_v<cTextureInfo::cNode>,
              "growing the node list must move the frame arrays, not copy them");

// The registry and the functions that make and destroy it. Create logs
// "Already exist" (warning) when it exists and "Ok" in every case; Destroy
// deletes every info and logs "Ok". Create returns whether it made one.
using cTextureInfos = vek::cContainerPtr<cTextureInfo>;
extern cTextureInfos* g_pTextureInfos;
bool CreateTextureInfos();
bool DestroyTextureInfos();

// The info registered under the texture name; the default info "unnamed"
// (entry 0) when there is none. Null only without a registry.
cTextureInfo* FindTextureInfo(const vek::string& textureName);

// A sprite as the game draws and animates it. The frames belong to the
// registry (valid while it exists); the two holder fields are for whoever
// animates the sprite and start at 0.
struct cSprite {
    int32_t iTexture = 0;  // texture id; 0 when the sprite does not exist
    const vek::rectf* pFrames = nullptr;
    int32_t iFrameCount = 0;
    int32_t iHolderFrame = 0;
    float fHolderTime = 0.0f;
    float fWidth = 0.0f;   // pixel size of one frame (the first)
    float fHeight = 0.0f;
    float fFrameTime = 0.0f;  // seconds per frame: 1 / rate, 1/30 for rate 0
};

// Which step of a sprite lookup failed.
enum eSpriteLookup {
    e_spriteFound = 0,
    e_spriteNoTexture = 1,  // no texture of that name is loaded
    e_spriteNoInfo = 2,     // the texture has no areas registered
    e_spriteNoArea = 3,     // its info has no area of that name
};

// Resolves (texture name, area name): the texture, its info, the node, then
// the record. The record is cleared first and stays so (texture 0, no
// frames) unless the sprite is found.
eSpriteLookup FindSprite(const vek::string& texture, const vek::string& area, cSprite* record);
