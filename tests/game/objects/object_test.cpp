// The object base on a level field: registration, the state protocol, the
// removal queue, sprites, rectangles and hit tests, target marks, the base
// record, and the game's random numbers.
#include "game/objects/object.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/bitstream.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/gardener.h"
#include "game/objects/tools.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/shell/sprite_fixture.h"
#include "game/world/level.h"

namespace {

// Records the transitions its hook is asked about; refuses the state 7.
struct Recorder : cObject {
    explicit Recorder(cLevel* level, int* deaths = nullptr) : cObject(level), pDeaths(deaths) {}
    ~Recorder() override
    {
        if (pDeaths) ++*pDeaths;
    }
    bool CanChangeState(int32_t oldState, int32_t newState) override
    {
        calls.push_back({oldState, newState, GetState()});
        if (newState == 7) return false;
        return cObject::CanChangeState(oldState, newState);
    }
    uint32_t GetType() const override { return 0x00100002u; }
    struct Call {
        int32_t from, to, seen;
    };
    std::vector<Call> calls;
    int* pDeaths;
};

TEST(ObjectState, ChangesGoThroughTheHookOnce)
{
    cLevel level;
    auto* object = new Recorder(&level);
    EXPECT_EQ(object->GetState(), -1);
    object->Update();
    EXPECT_EQ(object->GetState(), 0);
    ASSERT_EQ(object->calls.size(), 1u);
    EXPECT_EQ(object->calls[0].from, -1);
    EXPECT_EQ(object->calls[0].seen, -1);  // the hook runs before the change

    object->SetState(0);  // the same state: no hook
    EXPECT_EQ(object->calls.size(), 1u);
    object->SetState(7);  // refused
    EXPECT_EQ(object->GetState(), 0);
    EXPECT_EQ(object->calls.size(), 2u);
    object->SetState(3);
    object->Update();  // nothing more to do in state 3
    EXPECT_EQ(object->GetState(), 3);
    EXPECT_TRUE(level.GetRemovalQueue().empty());
}

TEST(ObjectState, StateTwoQueuesTheRemovalAndTheFlushDeletesOnce)
{
    cLevel level;
    int deaths = 0;
    auto* object = new Recorder(&level, &deaths);
    const uint32_t id = object->GetId();
    object->SetState(2);
    ASSERT_EQ(level.GetRemovalQueue().size(), 1u);
    // Still on the field and drawn until the flush; the next step queues it
    // again.
    EXPECT_TRUE(level.HasObject(id));
    EXPECT_EQ(level.GetDrawList().back(), object);
    object->Update();
    EXPECT_EQ(level.GetRemovalQueue().size(), 2u);
    level.RemoveObject(0);  // the null object is never deleted
    level.RemoveObject(999);
    level.FlushRemoved();
    EXPECT_EQ(deaths, 1);
    EXPECT_FALSE(level.HasObject(id));
    EXPECT_EQ(level.GetObject(id), level.GetNullObject());
    EXPECT_TRUE(level.GetRemovalQueue().empty());
    EXPECT_EQ(level.GetDrawList().size(), 1u);  // the null object's place
    EXPECT_NE(level.GetNullObject(), nullptr);
}

// Ids stay with their objects: a removed id names element 0 and is never
// handed out again until the field is cleared.
TEST(ObjectRegistry, IdsAreStableUntilTheFieldIsCleared)
{
    cLevel level;
    cObject* none = level.GetNullObject();
    EXPECT_EQ(none->GetId(), 0u);
    EXPECT_EQ(none->GetType(), 0u);
    auto* a = new Recorder(&level);
    auto* b = new Recorder(&level);
    EXPECT_EQ(a->GetId(), 1u);
    EXPECT_EQ(b->GetId(), 2u);
    delete a;
    EXPECT_EQ(level.GetObject(1), none);
    EXPECT_FALSE(level.GetObjects().IsValid(1));
    EXPECT_EQ(level.GetObject(2), b);
    auto* c = new Recorder(&level);
    EXPECT_EQ(c->GetId(), 3u);
    EXPECT_EQ(level.GetObject(5), none);
    EXPECT_EQ(level.GetObject(static_cast<uint32_t>(-1)), none);  // a damaged, negative id
    EXPECT_EQ(level.GetObject(level.GetObjects().NextId()), none);
    level.GetObjects().Remove(0);
    EXPECT_EQ(*level.GetObjects().begin(), none);

    level.ClearObjects();
    EXPECT_EQ(level.GetObjects().Size(), 1u);
    EXPECT_EQ(level.GetObject(2), none);
    EXPECT_EQ((new Recorder(&level))->GetId(), 1u);
}

// Deleted by the clear, an object that looks up another by id finds the
// null object, never one already gone.
struct Partner : cObject {
    Partner(cLevel* level, uint32_t* partner, std::vector<cObject*>* seen)
        : cObject(level), pPartner(partner), pSeen(seen) {}
    ~Partner() override { pSeen->push_back(GetLevel()->GetObject(*pPartner)); }
    uint32_t* pPartner;
    std::vector<cObject*>* pSeen;
};

TEST(ObjectRegistry, ObjectsDeletedTogetherSeeNoDeletedNeighbour)
{
    cLevel level;
    uint32_t second = 0;
    std::vector<cObject*> seen;
    uint32_t first = 0;
    auto* a = new Partner(&level, &second, &seen);
    auto* b = new Partner(&level, &first, &seen);
    first = a->GetId();
    second = b->GetId();
    level.ClearObjects();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], level.GetNullObject());
    EXPECT_EQ(seen[1], level.GetNullObject());
}

class ObjectSprites : public spritetest::SpriteFixture {
protected:
    void SetUp() override
    {
        SpriteFixture::SetUp();
        spritetest::MakeTexture("icons00", 128, 128);
        auto* icons = new cTextureInfo("icons00", false);
        icons->AddNode("target", vek::rectf(0.0f, 0.0f, 0.125f, 0.25f));         // 16 x 32
        icons->AddNode("walk", vek::rectf(0.0f, 0.5f, 1.0f, 0.5f), 4, 1, 0.0f);  // 32 x 64, rate 0
    }
};

TEST_F(ObjectSprites, SpriteSizeRectangleAndStrictHits)
{
    cLevel level;
    auto* object = new Recorder(&level);
    EXPECT_TRUE(object->SetSprite("icons00", "walk", vek::cAnimCounter::e_Loop));
    EXPECT_FLOAT_EQ(object->GetSize().x, 32.0f);
    EXPECT_FLOAT_EQ(object->GetSize().y, 64.0f);
    object->SetPos(100.0f, 200.0f);
    const vek::rectf r = object->GetRect();
    EXPECT_FLOAT_EQ(r.x, 84.0f);
    EXPECT_FLOAT_EQ(r.y, 200.0f);
    EXPECT_TRUE(object->HitTest({100.0f, 230.0f}));
    for (const vek::vec2& border : {vek::vec2(84.0f, 230.0f), vek::vec2(116.0f, 230.0f), vek::vec2(100.0f, 200.0f),
                                    vek::vec2(100.0f, 264.0f)})
        EXPECT_FALSE(object->HitTest(border)) << border.x << "," << border.y;

    // Rate 0: thirty frames a second, one per fixed step.
    EXPECT_FLOAT_EQ(object->GetAnim().fFrameTime, 1.0f / 30.0f);
    object->Update();
    object->Update();
    EXPECT_EQ(object->GetAnim().iFrame, 2);
    for (int i = 0; i < 3; ++i) object->Update();
    EXPECT_EQ(object->GetAnim().iFrame, 1);  // looped

    // A missing sprite: no texture, no size, never hit.
    EXPECT_FALSE(object->SetSprite("icons00", "run", 3));
    EXPECT_EQ(object->GetTexture(), 0);
    EXPECT_EQ(object->GetFrames(), nullptr);
    EXPECT_FALSE(object->HitTest({100.0f, 200.0f}));
    EXPECT_FALSE(object->HitTest(object->GetPos()));
}

TEST_F(ObjectSprites, PendingTargetsDrawMarksFromTheRightEdge)
{
    cLevel level;  // made after the icons: its first object finds the mark
    auto* object = new Recorder(&level);
    ASSERT_TRUE(object->SetSprite("icons00", "walk", 0));
    object->SetPos(100.0f, 200.0f);  // right edge at 116
    for (int i = 0; i < 3; ++i) object->AddTarget();
    object->RemoveTarget();
    object->AddTarget();
    EXPECT_EQ(object->GetTargets(), 3);

    vek::cQuadBatch batch;
    object->DrawInto(batch);
    // One texture: one run of four quads, the sprite, then the marks.
    ASSERT_EQ(batch.uRunCount, 1u);
    ASSERT_EQ(batch.GetRuns()[0].uCount, 24u);
    const vek::cVertex2D* v = batch.GetVertices();
    EXPECT_FLOAT_EQ(v[0].x, 84.0f);
    const float marks[3] = {116.0f - 16.0f, 116.0f - 12.0f, 116.0f - 8.0f};
    for (int i = 0; i < 3; ++i) {
        const vek::cVertex2D* corner = v + 6 * (i + 1);  // bottom-left first
        EXPECT_FLOAT_EQ(corner->x, marks[i]) << i;
        EXPECT_FLOAT_EQ(corner->y, 200.0f) << i;
        EXPECT_FLOAT_EQ(corner[5].x - corner->x, 16.0f);
        EXPECT_FLOAT_EQ(corner[5].y - corner->y, 32.0f);
    }

    object->ClearTargets();
    object->RemoveTarget();
    EXPECT_EQ(object->GetTargets(), 0);
    vek::cQuadBatch plain;
    object->DrawInto(plain);
    EXPECT_EQ(plain.GetRuns()[0].uCount, 6u);
}

TEST(ObjectRecord, SaveAndLoadPutTheObjectBackOnItsCell)
{
    cLevel level;
    auto* object = new Recorder(&level);
    object->SetCell(3, 4);
    EXPECT_FLOAT_EQ(object->GetPos().x, 130.0f + 4.5f * 74.0f);
    EXPECT_FLOAT_EQ(object->GetPos().y, 130.0f + 3.0f * 67.5f + 0.1f);
    object->MoveBy(5.0f, 20.0f);  // still inside the cell
    EXPECT_EQ(object->GetCell(), cell(3, 4));
    vek::cBitStream out;
    ASSERT_TRUE(object->Save(out));
    ASSERT_EQ(out.GetByteCount(), 8u);
    const std::vector<uint8_t> expected = {3, 0, 0, 0, 4, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.GetData().begin()));

    auto* copy = new Recorder(&level);
    vek::cBitStream in;
    in.SetData(out.GetData().data(), 8);
    ASSERT_TRUE(copy->Load(in));
    EXPECT_EQ(copy->GetCell(), cell(3, 4));
    EXPECT_FLOAT_EQ(copy->GetPos().x, 463.0f);
    EXPECT_FLOAT_EQ(copy->GetPos().y, 332.6f);

    // Cut short: reported, and the object stands nowhere harmful.
    vek::cBitStream cut;
    cut.SetData(out.GetData().data(), 5);
    EXPECT_FALSE(copy->Load(cut));
    // An object off the field saves (-1, -1) and loads back off it.
    auto* stray = new Recorder(&level);
    vek::cBitStream off;
    stray->Save(off);
    vek::cBitStream back;
    back.SetData(off.GetData().data(), 8);
    stray->Load(back);
    EXPECT_EQ(stray->GetCell(), cell());
}

TEST(RandomNumbers, FollowTheSeedFromZero)
{
    RandomSeed() = 0;
    EXPECT_EQ(RandomInt(0, 9), 1);  // seeds 1, 69070, 475628535
    EXPECT_EQ(RandomInt(0, 9), 4);
    EXPECT_EQ(RandomInt(0, 9), 5);
    RandomSeed() = 0;
    EXPECT_FLOAT_EQ(RandomRange(0.0f, 1.0f), 1.0f / 32768.0f);
    EXPECT_FLOAT_EQ(RandomRange(0.0f, 1.0f), 3534.0f / 32768.0f);
    EXPECT_FLOAT_EQ(RandomRange(0.0f, 1.0f), 1015.0f / 32768.0f);

    RandomSeed() = 0;
    EXPECT_EQ(RandomInt(5, 4), 5);  // an empty range leaves the seed
    EXPECT_EQ(RandomSeed(), 0u);
    EXPECT_EQ(RandomInt(5, 5), 5);
    EXPECT_EQ(RandomSeed(), 1u);
    // The whole integer range neither overflows nor leaves it.
    for (int i = 0; i < 100; ++i) {
        const int32_t v = RandomInt(INT32_MIN, INT32_MAX);
        EXPECT_LE(v, INT32_MIN + 0x7fff);
    }
    EXPECT_EQ(GetUpgradeLevel(0), 0);  // no game object, no player
    EXPECT_EQ(GetUpgradeLevel(6), 0);
}

TEST(LevelObjects, UpgradesReachTheGardenerAndEveryWateringCan)
{
    cLevel level;
    auto* gardener = new cGardener(&level);
    auto* can1 = new cToolWater(&level);
    auto* can2 = new cToolWater(&level);
    GetProfileHost().pLevel = &level;
    cUpgrades upgrades;
    // Speed and watering can to level 2, on the field in play.
    for (int index : {0, 0, 1, 1}) upgrades.Upgrade(index);
    GetProfileHost().pLevel = nullptr;
    EXPECT_FLOAT_EQ(gardener->GetSpeed(), 340.0f);
    EXPECT_EQ(can1->GetCapacity(), 5);
    EXPECT_EQ(can2->GetCapacity(), 5);
    EXPECT_TRUE(can1->IsType(OBJ_TOOL));
    EXPECT_FALSE(gardener->IsType(OBJ_TOOL));
    EXPECT_FALSE(level.GetNullObject()->IsType(OBJ_TOOL));
}

} // namespace
