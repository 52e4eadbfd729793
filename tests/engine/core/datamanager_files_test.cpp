// The whole-file reads under every data manager reader: what they cost in
// memory for archive entries that lie about their size, deflate bombs and
// large files.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"
#include "support/zip_files.h"

VEKTEST_COUNT_ALLOCATIONS()

namespace {

using vek::cDataManager;
using vektest::PeakMemoryOf;

constexpr size_t kMiB = size_t(1) << 20;

class WholeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Whole");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroUserPath, m_strRoot + "/User");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override { m_pLog.reset(); }

    std::string Put(const std::string& name, const std::string& bytes)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strRoot + "/User/" + name, bytes));
        return "{UserPath}/" + name;
    }
    int Logged(const std::string& text) const
    {
        const std::string log = vektest::ReadFile(m_strRoot + "/App/_log.html");
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }
    // Letters that do not compress (no CR, so text mode changes nothing).
    static std::string Letters(size_t size)
    {
        std::string s = vektest::Noise(size, 7);
        for (char& c : s) c = static_cast<char>('a' + static_cast<unsigned char>(c) % 26);
        return s;
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cLog> m_pLog;
};

TEST_F(WholeFiles, EntriesCostWhatTheyHoldNotWhatTheyDeclare)
{
    const std::string data = Letters(kMiB);
    Put("lies.zip", vektest::MakeZip({{"lies.txt", data, true, 48 * kMiB}}));
    vek::cBitStream stream;
    int result = -1;
    const char* lies = "{UserPath}/lies.zip/lies.txt";
    size_t peak = PeakMemoryOf([&] { result = cDataManager::ReadBinary(&stream, lies); });
    EXPECT_EQ(result, 0);
    EXPECT_LT(peak, 4 * kMiB);
    ASSERT_EQ(stream.GetByteCount(), kMiB);
    EXPECT_EQ(std::string(stream.GetData().begin(), stream.GetData().end()), data);

    vek::string text;
    peak = PeakMemoryOf([&] { result = cDataManager::ReadText(&text, lies); });
    EXPECT_EQ(result, 0);
    EXPECT_LT(peak, 4 * kMiB);
    EXPECT_EQ(text, data);

    // An entry holding more than it declares is read no further than it
    // declares; what was read then fails the entry's checksum, so it is
    // refused rather than handed on as the file.
    Put("short.zip", vektest::MakeZeroBombZip("zeros.bin", 100000000, 2 * kMiB));
    const char* zeros = "{UserPath}/short.zip/zeros.bin";
    peak = PeakMemoryOf([&] { result = cDataManager::ReadBinary(&stream, zeros); });
    EXPECT_EQ(result, cDataManager::InternalError);
    EXPECT_EQ(stream.GetByteCount(), kMiB) << "the stream keeps what it held";
    EXPECT_LT(peak, 8 * kMiB);
}

TEST_F(WholeFiles, FilesAboveTheLimitAreRefusedUnread)
{
    // 100 MB of zeros in about 100 KB.
    const std::string bomb = vektest::MakeZeroBombZip("zeros.bin", 100000000);
    ASSERT_LT(bomb.size(), 200000u);
    Put("bomb.zip", bomb);
    const char* entry = "{UserPath}/bomb.zip/zeros.bin";
    vek::string text = "unchanged";
    vek::cBitStream stream;
    stream.WriteInt(7);
    int result = -1;
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadText(&text, entry); }), kMiB);
    EXPECT_EQ(result, 3);
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadBinary(&stream, entry); }), kMiB);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(stream.GetByteCount(), 4u);
    EXPECT_EQ(Logged("zeros.bin is too large to read whole (100000000 bytes)"), 2);

    // A disk file one byte above the limit (sparse: it takes no disk space).
    const std::string path = m_strRoot + "/User/huge.dat";
    ASSERT_TRUE(vektest::WriteFile(path, "x"));
    std::filesystem::resize_file(path, cDataManager::kMaxWholeFile + 1);
    const char* huge = "{UserPath}/huge.dat";
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadBinary(&stream, huge); }), kMiB);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(Logged("huge.dat is too large to read whole (" +
                     std::to_string(cDataManager::kMaxWholeFile + 1) + " bytes)"),
              1);
}

TEST_F(WholeFiles, TextAndBinaryHoldOneCopy)
{
    const std::string data = Letters(8 * kMiB);
    const std::string file = Put("big.txt", data);
    vek::string text;
    int result = -1;
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadText(&text, file); }), 9 * kMiB);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text, data);
    vek::cBitStream stream;
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadBinary(&stream, file); }), 9 * kMiB);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stream.GetByteCount(), data.size());
}

TEST_F(WholeFiles, DamagedEntriesAreNotReadAsTheirContent)
{
    // A stored entry with one byte changed: only its checksum tells.
    const std::string plain = Letters(5000);
    std::string stored = vektest::MakeZip({{"plain.txt", plain}});
    const size_t at = stored.find(plain);
    ASSERT_NE(at, std::string::npos);
    stored[at + 2500] = stored[at + 2500] == 'a' ? 'b' : 'a';
    // A deflated entry whose compressed data is overwritten half-way.
    std::string deflated = vektest::MakeZip({{"packed.bin", Letters(200000), true}});
    for (size_t i = 0; i < 64; ++i) deflated[30 + 10 + 2000 + i] = static_cast<char>(0xFF);
    const std::string archive1 = Put("stored.zip", stored);
    const std::string archive2 = Put("deflated.zip", deflated);

    vek::string text = "before";
    EXPECT_EQ(cDataManager::ReadText(&text, archive1 + "/plain.txt"), cDataManager::InternalError);
    EXPECT_EQ(text, "before");
    vek::cBitStream stream;
    EXPECT_EQ(cDataManager::ReadBinary(&stream, archive1 + "/plain.txt"), cDataManager::InternalError);
    EXPECT_EQ(cDataManager::ReadBinary(&stream, archive2 + "/packed.bin"), cDataManager::InternalError);
    EXPECT_EQ(stream.GetByteCount(), 0u);
    EXPECT_EQ(Logged("could not be read whole"), 3);

    // The undamaged entry next to it still reads.
    const std::string good = Put("good.zip", vektest::MakeZip({{"plain.txt", plain}, {"z.bin", plain, true}}));
    EXPECT_EQ(cDataManager::ReadText(&text, good + "/plain.txt"), cDataManager::Ok);
    EXPECT_EQ(text, plain);
    EXPECT_EQ(cDataManager::ReadBinary(&stream, good + "/z.bin"), cDataManager::Ok);
    EXPECT_EQ(stream.GetByteCount(), plain.size());
}

}  // namespace
