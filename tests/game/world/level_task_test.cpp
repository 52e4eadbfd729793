#include "game/world/level_task.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/bitstream.h"
#include "game/screens/controls.h"
#include "game/world/ware.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Catalogue : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
    }
    void TearDown() override { DestroyWareManager(); }
};

Bytes Written(const vek::cBitStream& s)
{
    return Bytes(s.GetData().begin(), s.GetData().begin() + static_cast<long>(s.GetByteCount()));
}

vek::cBitStream Reading(const Bytes& bytes)
{
    vek::cBitStream s;
    s.SetData(bytes.data(), bytes.size());
    return s;
}

TEST_F(Catalogue, MakeLevelTaskNamesAWareOrAnAnimal)
{
    const cLevelTask egg = MakeLevelTask("egg", 3, 12.5f);
    EXPECT_EQ(egg.iKind, -1);
    EXPECT_EQ(egg.iWare, 17);
    EXPECT_EQ(egg.iAmount, 3);
    EXPECT_FLOAT_EQ(egg.fTime, 12.5f);
    EXPECT_EQ(egg.pLine, nullptr);

    const cLevelTask goat = MakeLevelTask("goat", 2, 0.0f);
    EXPECT_EQ(goat.iKind, 1);
    EXPECT_EQ(goat.iWare, NO_WARE);
    EXPECT_EQ(MakeLevelTask("peacock", 1, 0).iKind, 3);
    EXPECT_EQ(MakeLevelTask("Goat", 1, 0).iKind, -1);  // compared exactly
    EXPECT_TRUE(MakeLevelTask("", 0, 0).IsEmpty());

    cLevelTaskSet set{"house02", 90.0f, {egg, goat}, 1};
    ResetLevelTasks(set);
    EXPECT_TRUE(set.strName.empty());
    EXPECT_EQ(set.fTimeLimit, 0.0f);
    EXPECT_EQ(set.bDone, 0);
    EXPECT_TRUE(set.vecTasks.empty());
}

TEST_F(Catalogue, FindersSkipEmptyTasks)
{
    cLevelTaskSet set;
    AddLevelTask(4, "milk", set, 0.0f);
    AddLevelTask(2, "goat", set, 30.0f);
    AddLevelTask(6, "milk", set, 0.0f);
    ASSERT_EQ(set.vecTasks.size(), 3u);
    EXPECT_EQ(set.vecTasks[1].iKind, 1);
    EXPECT_FLOAT_EQ(set.vecTasks[1].fTime, 30.0f);

    std::vector<cLevelTask>& tasks = set.vecTasks;
    EXPECT_EQ(FindTaskByWare(tasks, 18), &tasks[0]);
    EXPECT_EQ(FindTaskByKind(tasks, 1), &tasks[1]);
    // A closed ware task and a bought-out animal task are empty: the next
    // matching task is found, or none.
    tasks[0].iWare = NO_WARE;
    EXPECT_EQ(FindTaskByWare(tasks, 18), &tasks[2]);
    tasks[1].iKind = -1;
    EXPECT_EQ(FindTaskByKind(tasks, 1), nullptr);
    EXPECT_EQ(FindTaskByWare(tasks, NO_WARE), nullptr);
    // Ware tasks have kind -1, but -1 is no animal kind.
    EXPECT_EQ(FindTaskByKind(tasks, -1), nullptr);
}

TEST_F(Catalogue, TaskLineShowsWhatIsStillWanted)
{
    cTaskCtrl line("task0", nullptr);
    cLevelTask task = MakeLevelTask("egg", 3, 0.0f);
    UpdateTaskControl(task);  // no line yet: nothing to show
    task.pLine = &line;
    UpdateTaskControl(task);
    EXPECT_EQ(line.GetText(), "3");
    EXPECT_FALSE(line.IsChecked());
    task.iAmount = 0;
    UpdateTaskControl(task);
    EXPECT_EQ(line.GetText(), "0");
    EXPECT_TRUE(line.IsChecked());
    task.iAmount = -2;  // more delivered than asked
    UpdateTaskControl(task);
    EXPECT_EQ(line.GetText(), "0");
    EXPECT_TRUE(line.IsChecked());
    // Without a GUI there is no panel to find.
    EXPECT_EQ(GetTaskControl(0), nullptr);
    EXPECT_EQ(GetTaskControl(4), nullptr);
}

TEST_F(Catalogue, TaskRecordHasItsSavedLayout)
{
    vek::cBitStream out;
    WriteLevelTask(out, MakeLevelTask("egg", 5, 2.5f));
    WriteLevelTask(out, MakeLevelTask("hive", 1, 0.0f));
    const Bytes expected = {
        0x03, 0x00, 'e', 'g', 'g', 0xFF, 0xFF, 0xFF, 0xFF, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x40,
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(Written(out), expected);

    // Read back and written again, the bytes are the same.
    vek::cBitStream in = Reading(expected);
    vek::cBitStream again;
    for (int i = 0; i < 2; ++i) {
        cLevelTask task = MakeLevelTask("", 0, 0.0f);
        ASSERT_TRUE(ReadLevelTask(in, task, 1.0f));
        WriteLevelTask(again, task);
    }
    EXPECT_EQ(Written(again), expected);
}

TEST_F(Catalogue, OldSavesHaveNoAppearanceTimeAndUnknownWaresBecomeNone)
{
    // version 0.7: name, kind, amount only
    const Bytes old = {0x04, 0x00, 'm', 'i', 'l', 'k', 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00,
                       0x05, 0x00, 'm', 'a', 'n', 'g', 'o', 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00};
    vek::cBitStream in = Reading(old);
    cLevelTask milk = MakeLevelTask("", 0, 0.0f), mango = MakeLevelTask("", 0, 0.0f);
    ASSERT_TRUE(ReadLevelTask(in, milk, 0.7f));
    ASSERT_TRUE(ReadLevelTask(in, mango, 0.7f));
    EXPECT_EQ(milk.iWare, 18);
    EXPECT_EQ(milk.iAmount, 2);
    EXPECT_EQ(milk.fTime, 0.0f);
    EXPECT_EQ(mango.iWare, NO_WARE);
    EXPECT_EQ(mango.iAmount, 3);
    EXPECT_TRUE(in.AtEnd());
}

TEST_F(Catalogue, TaskListCountsNeverReachPastTheStream)
{
    std::vector<cLevelTask> tasks = {MakeLevelTask("egg", 5, 2.5f), MakeLevelTask("plant03", 4, 0.0f),
                                     MakeLevelTask("nib", 1, 30.0f)};
    vek::cBitStream out;
    WriteLevelTasks(out, tasks);
    const Bytes whole = Written(out);

    std::vector<cLevelTask> read;
    vek::cBitStream in = Reading(whole);
    ASSERT_TRUE(ReadLevelTasks(in, read, 1.0f));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].iWare, 3);
    EXPECT_FLOAT_EQ(read[2].fTime, 30.0f);

    // Every cut of the file loads something sensible and says it was short.
    for (size_t len = 0; len < whole.size(); ++len) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(len));
        vek::cBitStream s = Reading(cut);
        EXPECT_FALSE(ReadLevelTasks(s, read, 1.0f)) << len;
        EXPECT_LE(read.size(), 3u) << len;
    }

    // A damaged count: huge, or negative.
    for (uint32_t count : {0x7fffffffu, 0xffffffffu, 0x80000000u}) {
        Bytes hostile = whole;
        std::memcpy(hostile.data(), &count, 4);
        vek::cBitStream s = Reading(hostile);
        EXPECT_FALSE(ReadLevelTasks(s, read, 1.0f));
        EXPECT_LE(read.size(), 3u);
    }
}

TEST_F(Catalogue, RandomBytesReadAsTasksStayInsideTheTables)
{
    // Random streams, some starting with a plausible record: the reader
    // never reads past the stream and gives only known kinds and wares.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 69069u + 1u;
        return static_cast<uint8_t>(seed >> 24);
    };
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes(static_cast<size_t>(next() % 64));
        for (uint8_t& b : bytes) b = next();
        if (round % 3 == 0 && bytes.size() > 8) {
            bytes[0] = static_cast<uint8_t>(next() % 3);  // a small count
            bytes[1] = bytes[2] = bytes[3] = 0;
            bytes[4] = static_cast<uint8_t>(next() % 4);  // a short name
            bytes[5] = 0;
        }
        for (float version : {0.5f, 0.9f}) {
            vek::cBitStream in = Reading(bytes);
            std::vector<cLevelTask> tasks;
            ReadLevelTasks(in, tasks, version);
            EXPECT_LE(tasks.size() * 10, bytes.size());
            for (const cLevelTask& task : tasks) {
                EXPECT_GE(task.iKind, -1);
                EXPECT_LE(task.iKind, 3);
                EXPECT_TRUE(task.iWare == NO_WARE || (task.iWare >= 0 && task.iWare < 21)) << task.iWare;
                EXPECT_EQ(task.pLine, nullptr);
            }
        }
    }
}

TEST_F(Catalogue, DamagedIndicesAndKindsStayInsideTheTables)
{
    const Bytes wares = {0x04, 0x00, 0x00, 0x00, 0x15, 0x00, 0x00, 0x00, 0xFD, 0xFF, 0xFF, 0xFF,
                         0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};  // 21, -3, 20, 0
    vek::cBitStream in = Reading(wares);
    std::vector<int32_t> list;
    ASSERT_TRUE(ReadWareList(list, &in));
    EXPECT_EQ(list, (std::vector<int32_t>{20, 0}));

    const Bytes task = {0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    vek::cBitStream t = Reading(task);
    cLevelTask read = MakeLevelTask("", 0, 0.0f);
    ASSERT_TRUE(ReadLevelTask(t, read, 1.0f));
    EXPECT_EQ(read.iKind, -1);
    EXPECT_TRUE(read.IsEmpty());

    // In a saved list such a task refuses the whole list: left out, it
    // could leave no task, and a level without tasks is won.
    std::vector<cLevelTask> tasks = {MakeLevelTask("egg", 2, 0.0f), MakeLevelTask("milk", 1, 5.0f),
                                     MakeLevelTask("honey", 3, 0.0f)};
    tasks[1].iKind = 7;
    vek::cBitStream out;
    WriteLevelTasks(out, tasks);
    vek::cBitStream in2 = Reading(Written(out));
    std::vector<cLevelTask> back;
    bool refused = false;
    int32_t unknownKind = -1;
    EXPECT_FALSE(ReadLevelTasks(in2, back, 1.0f, &refused, &unknownKind));
    EXPECT_TRUE(refused);
    EXPECT_EQ(unknownKind, 7);
    EXPECT_TRUE(back.empty());
}

TEST(WareList, SavedFormDropsNoWareAndBoundsItsCount)
{
    EXPECT_FALSE(WriteWareList({1}, nullptr));
    std::vector<int32_t> list = {9};
    EXPECT_FALSE(ReadWareList(list, nullptr));

    vek::cBitStream out;
    ASSERT_TRUE(WriteWareList({4, NO_WARE, 7}, &out));
    const Bytes expected = {0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,
                            0xE8, 0x03, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};
    EXPECT_EQ(Written(out), expected);

    vek::cBitStream in = Reading(expected);
    ASSERT_TRUE(ReadWareList(list, &in));
    EXPECT_EQ(list, (std::vector<int32_t>{4, 7}));
    vek::cBitStream again;
    WriteWareList({0, 20, 5}, &again);
    vek::cBitStream back = Reading(Written(again));
    ReadWareList(list, &back);
    vek::cBitStream third;
    WriteWareList(list, &third);
    EXPECT_EQ(Written(third), Written(again));

    // A count of 0x7fffffff refuses the list, and nothing after the count
    // is read; so does a negative one.
    const Bytes huge = {0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03};
    vek::cBitStream h = Reading(huge);
    EXPECT_FALSE(ReadWareList(list, &h));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(h.BytesLeft(), huge.size() - 4);
    const Bytes top = {0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0x00};
    vek::cBitStream t = Reading(top);
    EXPECT_FALSE(ReadWareList(list, &t));
    EXPECT_TRUE(list.empty());
    const Bytes empty;
    vek::cBitStream e = Reading(empty);
    ASSERT_TRUE(ReadWareList(list, &e));
    EXPECT_TRUE(list.empty());
}

} // namespace

namespace {

TEST(FinishedLevel, MedalAndTimeRecord)
{
    EXPECT_EQ(LevelMedal(500.0f, 0.0f), 0);  // no limit
    EXPECT_EQ(LevelMedal(60.0f, 60.0f), 0);  // exactly at the limit
    EXPECT_EQ(LevelMedal(60.01f, 60.0f), 1);
    EXPECT_EQ(LevelMedal(89.99f, 60.0f), 1);
    EXPECT_EQ(LevelMedal(90.0f, 60.0f), 2);  // exactly 1.5 times the limit
    EXPECT_EQ(LevelMedal(1e9f, 60.0f), 2);

    // The progress runs 0..1 toward gold, again 0..1 toward silver, then 0.
    EXPECT_EQ(LevelMedalProgress(500.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(LevelMedalProgress(0.0f, 60.0f), 0.0f);
    EXPECT_FLOAT_EQ(LevelMedalProgress(45.0f, 60.0f), 0.75f);
    EXPECT_FLOAT_EQ(LevelMedalProgress(60.0f, 60.0f), 0.0f);
    EXPECT_FLOAT_EQ(LevelMedalProgress(75.0f, 60.0f), 0.5f);
    EXPECT_EQ(LevelMedalProgress(90.0f, 60.0f), 0.0f);

    std::vector<float> times = {10.0f};
    EXPECT_TRUE(StoreLevelTime(times, 3, 42.0f));
    EXPECT_EQ(times, (std::vector<float>{10.0f, 0.0f, 0.0f, 42.0f}));
    EXPECT_TRUE(StoreLevelTime(times, 0, 7.0f));
    EXPECT_EQ(times[0], 7.0f);
    EXPECT_FALSE(StoreLevelTime(times, 2147483647, 1.0f));
    EXPECT_FALSE(StoreLevelTime(times, -1, 1.0f));
    EXPECT_FALSE(StoreLevelTime(times, kLevelCount, 1.0f));
    EXPECT_EQ(times.size(), 4u);
}

} // namespace
