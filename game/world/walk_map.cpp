#include "game/world/walk_map.h"

#include <algorithm>
#include <cmath>

#include "engine/graphics/draw2d.h"
#include "game/objects/object.h"
#include "game/shell/texture_info.h"

namespace {

float SquaredDistance(const vek::vec2& a, const vek::vec2& b)
{
    const vek::vec2 d = b - a;
    return d.x * d.x + d.y * d.y;
}
} // namespace

// The island draws on the game's random numbers: one seed for the whole
// game.
uint32_t& IslandSeed() { return RandomSeed(); }

int32_t IslandRandomInt(int32_t lo, int32_t hi) { return RandomInt(lo, hi); }

float IslandRandomRange(float a, float b) { return RandomRange(a, b); }

cWalkMap::cWalkMap(vek::cQuadBatch* batch) : m_pBatch(batch) { m_LinkPoints.reserve(20); }

bool cWalkMap::SetFollowerSprite(const vek::string& texture, const vek::string& frontArea,
                                 const vek::string& backArea)
{
    cSprite front, back;
    const bool hasFront = FindSprite(texture, frontArea, &front) == e_spriteFound;
    uTexture = static_cast<uint32_t>(front.iTexture);
    vecFront.assign(front.pFrames, front.pFrames + front.iFrameCount);
    iFrontCount = front.iFrameCount;
    fFrameWidth = front.fWidth;
    fFrameHeight = front.fHeight;
    fFrameTime = front.fFrameTime;
    const bool hasBack = FindSprite(texture, backArea, &back) == e_spriteFound;
    vecBack.assign(back.pFrames, back.pFrames + back.iFrameCount);
    iBackCount = back.iFrameCount;
    return hasFront && hasBack;
}

void cWalkMap::ClearAreas()
{
    m_Areas.clear();
    m_bExcludedKnown = false;
}

const std::vector<vek::vec2>* cWalkMap::AddArea(const vek::vec2* points, size_t count)
{
    if (!points || count == 0) return nullptr;
    m_Areas.emplace_back(points, points + count);
    m_bExcludedKnown = false;
    return &m_Areas.back();
}

void cWalkMap::SetLinkPoints(const std::vector<vek::vec2>& points)
{
    m_LinkPoints = points;
    m_bExcludedKnown = false;
}

vek::rectf* cWalkMap::AddObstacle(const vek::rectf& rect)
{
    m_Obstacles.push_back(rect);
    return &m_Obstacles.back();
}

void cWalkMap::RemoveObstacle(const vek::rectf* entry)
{
    if (!entry) return;
    for (auto it = m_Obstacles.begin(); it != m_Obstacles.end(); ++it)
        if (&*it == entry) {
            m_Obstacles.erase(it);
            return;
        }
}

uint32_t cWalkMap::GetArea(const vek::vec2& point) const
{
    for (size_t i = 0; i < m_Areas.size(); ++i)
        if (vek::IsPointInPolygon(m_Areas[i], point)) return static_cast<uint32_t>(i);
    return static_cast<uint32_t>(m_Areas.size());
}

uint32_t cWalkMap::FindLink(uint32_t from, uint32_t to) const
{
    const size_t links = m_LinkPoints.size() / 2;
    if (from < m_Areas.size() && to < m_Areas.size())
        for (size_t i = 0; i < links; ++i)
            if (vek::IsPointInPolygon(m_Areas[from], m_LinkPoints[2 * i]) &&
                vek::IsPointInPolygon(m_Areas[to], m_LinkPoints[2 * i + 1]))
                return static_cast<uint32_t>(2 * i);
    return static_cast<uint32_t>(m_LinkPoints.size());
}

cWalker* cWalkMap::AddFollower(const vek::vec2& position)
{
    m_Walkers.emplace_back();
    cWalker& w = m_Walkers.back();
    w.pos = position;
    w.fWidth = fFrameWidth;
    w.fHeight = fFrameHeight;
    w.bFront = false;
    w.fFrameTimer = 1.0f;
    w.keys[0] = position;
    return &w;
}

void cWalkMap::SetDistanceTimes(cWalker& w, float scale)
{
    w.keyTimes[0] = 0.0f;
    for (uint32_t k = 1; k < w.uKeyCount; ++k) {
        float d = vek::Distance(w.keys[k - 1], w.keys[k]) * scale;
        if (!(d > 0.01f)) d = 1.0f;
        w.keyTimes[k] = w.keyTimes[k - 1] + d;
    }
    w.fTime = 0.0f;
}

uint32_t cWalkMap::ExcludedLink() const
{
    if (!m_bExcludedKnown) {
        m_uExcludedLink = static_cast<uint32_t>(m_LinkPoints.size());
        const uint32_t harbour = GetArea(kHarbourProbe);
        if (harbour < m_Areas.size()) {
            for (size_t i = 0; i + 1 < m_LinkPoints.size(); i += 2)
                if (vek::IsPointInPolygon(m_Areas[harbour], m_LinkPoints[i + 1])) {
                    m_uExcludedLink = static_cast<uint32_t>(i);
                    m_bExcludedKnown = true;
                    break;
                }
        }
    }
    return m_uExcludedLink;
}

bool cWalkMap::PlanWander(cWalker& w, const vek::vec2& target)
{
    w.keys[0] = w.pos;
    w.uKeyCount = 1;
    if (SquaredDistance(w.pos, target) > 0.01f) {
        const uint32_t area = GetArea(target);
        if (area >= m_Areas.size() || area != GetArea(w.pos)) return false;
        const uint32_t excluded = ExcludedLink();
        for (size_t i = 0; i + 1 < m_LinkPoints.size(); i += 2) {
            if (i == excluded) continue;
            if (vek::Distance(m_LinkPoints[i], target) < 64.0f) {
                w.keys[1] = m_LinkPoints[i];
                w.keys[2] = m_LinkPoints[i + 1];
                w.uKeyCount = 3;
                break;
            }
        }
    }
    if (w.uKeyCount == 1) {
        w.keys[1] = target;
        w.uKeyCount = 2;
    }
    SetDistanceTimes(w, 1.0f);
    return true;
}

bool cWalkMap::PlanToGathering(cWalker& w)
{
    w.keys[0] = w.pos;
    w.uKeyCount = 1;
    if (SquaredDistance(w.pos, kGatheringPoint) > 0.01f) {
        const uint32_t from = GetArea(w.pos);
        const uint32_t to = GetArea(kGatheringPoint);
        if (from >= m_Areas.size() || to >= m_Areas.size()) return false;
        if (from != to) {
            // Two keys per area change and the start and end keys: at most
            // 8 areas fit in the walker's 16 keys.
            std::vector<uint32_t> route;
            if (!FindAreaRoute(from, to, route, cWalker::kMaxKeys / 2)) return false;
            for (size_t r = 0; r + 1 < route.size(); ++r) {
                if (w.uKeyCount + 3 > cWalker::kMaxKeys) {
                    w.uKeyCount = 1;
                    return false;
                }
                const vek::vec2 last = w.keys[w.uKeyCount - 1];
                size_t best = m_LinkPoints.size();
                float bestDistance = 0.0f;
                for (size_t i = 0; i + 1 < m_LinkPoints.size(); i += 2) {
                    if (!vek::IsPointInPolygon(m_Areas[route[r]], m_LinkPoints[i]) ||
                        !vek::IsPointInPolygon(m_Areas[route[r + 1]], m_LinkPoints[i + 1]))
                        continue;
                    const float d = SquaredDistance(last, m_LinkPoints[i]);
                    if (best == m_LinkPoints.size() || d < bestDistance) {
                        best = i;
                        bestDistance = d;
                    }
                }
                if (best == m_LinkPoints.size()) {
                    w.uKeyCount = 1;
                    return false;
                }
                w.keys[w.uKeyCount++] = m_LinkPoints[best];
                w.keys[w.uKeyCount++] = m_LinkPoints[best + 1];
            }
        }
    }
    w.keys[w.uKeyCount++] = kGatheringPoint;
    SetDistanceTimes(w, 0.25f);
    return true;
}

bool cWalkMap::FindAreaRoute(uint32_t from, uint32_t to, std::vector<uint32_t>& route, size_t maxAreas) const
{
    const size_t n = m_Areas.size();
    if (from >= n || to >= n) return false;
    // The areas each link joins, once: a link from a into b exists when its
    // start lies in a and its end in b (areas may overlap).
    std::vector<std::vector<uint32_t>> next(n), previous(n);
    for (size_t i = 0; i + 1 < m_LinkPoints.size(); i += 2) {
        std::vector<uint32_t> starts, ends;
        for (uint32_t a = 0; a < n; ++a) {
            if (vek::IsPointInPolygon(m_Areas[a], m_LinkPoints[i])) starts.push_back(a);
            if (vek::IsPointInPolygon(m_Areas[a], m_LinkPoints[i + 1])) ends.push_back(a);
        }
        for (uint32_t a : starts)
            for (uint32_t b : ends) {
                next[a].push_back(b);
                previous[b].push_back(a);
            }
    }
    for (std::vector<uint32_t>& list : next) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    // Areas from which the goal cannot be reached at all are never entered:
    // that changes no route found, and keeps a map with many areas from
    // making the search run away.
    std::vector<char> reaches(n, 0);
    reaches[to] = 1;
    std::vector<uint32_t> queue(1, to);
    for (size_t q = 0; q < queue.size(); ++q)
        for (uint32_t a : previous[queue[q]])
            if (!reaches[a]) {
                reaches[a] = 1;
                queue.push_back(a);
            }
    if (!reaches[from]) return false;
    const size_t start = route.size();
    std::vector<char> inRoute(n, 0);
    for (size_t i = 0; i < start; ++i)
        if (route[i] < n) inRoute[route[i]] = 1;
    if (Search(from, to, route, maxAreas ? start + maxAreas : 0, next, reaches, inRoute)) return true;
    route.resize(start);
    return false;
}

bool cWalkMap::Search(uint32_t from, uint32_t to, std::vector<uint32_t>& route, size_t limit,
                      const std::vector<std::vector<uint32_t>>& next, const std::vector<char>& reaches,
                      std::vector<char>& inRoute) const
{
    if (from == to) {
        if (limit && route.size() + 1 > limit) return false;
        route.push_back(from);
        return true;
    }
    if (limit && route.size() + 2 > limit) return false;
    // In index order, as the areas were added.
    for (uint32_t i : next[from]) {
        if (i == from || !reaches[i] || inRoute[i]) continue;
        route.push_back(from);
        inRoute[from] = 1;
        if (Search(i, to, route, limit, next, reaches, inRoute)) return true;
        route.pop_back();
        inRoute[from] = 0;
    }
    return false;
}

vek::vec2 cWalkMap::RandomPointNear(const vek::vec2& p, float radius) const
{
    const float angle = IslandRandomRange(0.0f, 1.0f) * 6.2831855f;
    const float distance = IslandRandomRange(0.0f, 1.0f) * radius;
    const vek::vec2 candidate(p.x + std::cos(angle) * distance, p.y + std::sin(angle) * distance);
    return GetArea(candidate) < m_Areas.size() ? candidate : p;
}

void cWalkMap::UpdateFollowers(float dt)
{
    for (cWalker& w : m_Walkers) {
        w.fTime += dt * 10.0f;
        uint32_t i = 1;
        while (i < w.uKeyCount && !(w.fTime <= w.keyTimes[i])) ++i;
        if (i < w.uKeyCount) {
            const float f = (w.fTime - w.keyTimes[i - 1]) / (w.keyTimes[i] - w.keyTimes[i - 1]);
            w.pos = w.keys[i - 1] + (w.keys[i] - w.keys[i - 1]) * f;
            w.bFront = w.keys[i - 1].y > w.keys[i].y;
            bool hidden = false;
            for (const vek::rectf& r : m_Obstacles)
                if (r.x < w.pos.x && w.pos.x < r.x + r.w && r.y < w.pos.y && w.pos.y < r.y + r.h) {
                    hidden = true;
                    break;
                }
            if (hidden) {
                if (w.fAlpha >= dt) w.fAlpha -= dt;
            } else if (w.fAlpha < 1.0f) {
                w.fAlpha = w.fAlpha + dt > 1.0f ? 1.0f : w.fAlpha + dt;
            }
        } else {
            for (int attempt = 1; attempt <= 10; ++attempt) {
                const vek::vec2 target = attempt < 10 ? RandomPointNear(w.pos, 128.0f) : w.pos;
                if (PlanWander(w, target)) break;
            }
        }
        w.fFrameTimer += dt;
        if (w.fFrameTimer > fFrameTime) {
            // The two views may have different frame counts: after a turn
            // the frame can lie past the new view's end.
            const int32_t count = w.bFront ? iFrontCount : iBackCount;
            ++w.iFrame;
            if (w.iFrame >= count) w.iFrame = 0;
            w.fFrameTimer -= fFrameTime;
        }
    }
}

void cWalkMap::DrawFollowers()
{
    if (!m_pBatch) return;
    for (const cWalker& w : m_Walkers) {
        const std::vector<vek::rectf>& frames = w.bFront ? vecFront : vecBack;
        if (frames.empty()) continue;
        const size_t frame = static_cast<size_t>(w.iFrame) < frames.size() ? static_cast<size_t>(w.iFrame) : 0;
        m_pBatch->AddQuad(uTexture, vek::rectf(w.pos.x, w.pos.y, w.fWidth, w.fHeight),
                          vek::PackColor(1.0f, 1.0f, 1.0f, w.fAlpha), frames[frame]);
    }
}
