#pragma once
// The island's walking people. The walk map holds the walkable areas
// (polygons), the one-way links between them, the buildings' rectangles
// (a walker fades while it passes behind one), the walker sprite and the
// walkers. Each walker follows up to 16 keys; when they are used up it plans
// a stroll to a random point nearby, and people leaving a ship are planned
// to the gathering point through the areas' links.
//
// Island coordinates: pixels, origin bottom-left, y up. A walker's position
// is the bottom-left corner of its sprite.
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {
class cQuadBatch;
}

// The game's random numbers as the island draws them: one 32-bit seed,
// advanced as seed * 69069 + 1 on every draw.
uint32_t& IslandSeed();
// lo + (seed & 0x7fff) % (hi - lo + 1); lo without a draw when hi is lo - 1.
int32_t IslandRandomInt(int32_t lo, int32_t hi);
// a + (b - a) * (seed & 0x7fff) / 32768.
float IslandRandomRange(float a, float b);

struct cWalker {
    static constexpr uint32_t kMaxKeys = 16;

    float fTime = 0.0f;  // along the keys, in key units
    vek::vec2 pos;
    float fWidth = 0.0f, fHeight = 0.0f;
    bool bFront = false;  // moving down the picture: the front view
    int32_t iFrame = 0;
    float fFrameTimer = 0.0f;
    float fAlpha = 1.0f;
    uint32_t uKeyCount = 0;
    vek::vec2 keys[kMaxKeys];
    float keyTimes[kMaxKeys] = {};
};

class cWalkMap {
public:
    // The island's fixed points.
    static constexpr vek::vec2 kGatheringPoint{290.0f, 1588.0f};
    static constexpr vek::vec2 kLandingPoint{412.0f, 1971.0f};
    static constexpr vek::vec2 kHarbourProbe{345.0f, 1824.0f};

    // The walkers are drawn into the batch (not owned; may be null).
    explicit cWalkMap(vek::cQuadBatch* batch);
    cWalkMap(const cWalkMap&) = delete;
    cWalkMap& operator=(const cWalkMap&) = delete;

    // The walker sprite: the front view's frames, size and frame time, then
    // the back view's frames. False when either is missing.
    bool SetFollowerSprite(const vek::string& texture, const vek::string& frontArea,
                           const vek::string& backArea);

    void ClearAreas();
    // A copy of the polygon as a new area; null for no points.
    const std::vector<vek::vec2>* AddArea(const vek::vec2* points, size_t count);
    // Replaces the link points: pairs (start in the area left, end in the
    // area entered); a trailing odd point is no link.
    void SetLinkPoints(const std::vector<vek::vec2>& points);
    const std::vector<vek::vec2>& GetLinkPoints() const { return m_LinkPoints; }
    size_t GetAreaCount() const { return m_Areas.size(); }

    // The stored entry: its address identifies it for RemoveObstacle.
    vek::rectf* AddObstacle(const vek::rectf& rect);
    // Nothing for null or an entry not in the list.
    void RemoveObstacle(const vek::rectf* entry);
    size_t GetObstacleCount() const { return m_Obstacles.size(); }

    // The first area containing the point; the area count when none.
    uint32_t GetArea(const vek::vec2& point) const;
    // 2i for the first link i from area `from` into area `to`; the link
    // point count when none.
    uint32_t FindLink(uint32_t from, uint32_t to) const;

    // A walker standing at the position; it plans on the next update.
    cWalker* AddFollower(const vek::vec2& position);
    // A stroll toward the target within the walker's area (or out of it
    // through a link that starts near the target). False when the target is
    // in another area or none.
    bool PlanWander(cWalker& walker, const vek::vec2& target);
    // Through the areas to the gathering point. False when either end lies
    // in no area, no route joins them, or the route needs more than 16 keys.
    bool PlanToGathering(cWalker& walker);
    // Depth-first over the areas in index order; the route lists the areas
    // from start to goal, both included. At most maxAreas areas (0: any).
    bool FindAreaRoute(uint32_t from, uint32_t to, std::vector<uint32_t>& route, size_t maxAreas = 0) const;
    // A random point within the radius; the point itself when the one drawn
    // lies in no area.
    vek::vec2 RandomPointNear(const vek::vec2& point, float radius) const;

    void UpdateFollowers(float dt);
    void DrawFollowers();
    void ClearFollowers() { m_Walkers.clear(); }
    size_t GetFollowerCount() const { return m_Walkers.size(); }
    std::list<cWalker>& GetFollowers() { return m_Walkers; }

    // The walker sprite.
    uint32_t uTexture = 0;
    std::vector<vek::rectf> vecFront, vecBack;
    int32_t iFrontCount = 0, iBackCount = 0;
    float fFrameWidth = 0.0f, fFrameHeight = 0.0f;
    float fFrameTime = 0.0f;

private:
    bool Search(uint32_t from, uint32_t to, std::vector<uint32_t>& route, size_t limit,
                const std::vector<std::vector<uint32_t>>& next, const std::vector<char>& reaches,
                std::vector<char>& inRoute) const;
    // The link into the harbour, which strolls never take.
    uint32_t ExcludedLink() const;
    static void SetDistanceTimes(cWalker& walker, float scale);

    vek::cQuadBatch* m_pBatch;
    std::list<cWalker> m_Walkers;
    std::vector<std::vector<vek::vec2>> m_Areas;
    std::list<vek::rectf> m_Obstacles;
    std::vector<vek::vec2> m_LinkPoints;
    mutable uint32_t m_uExcludedLink = 0;
    mutable bool m_bExcludedKnown = false;
};
