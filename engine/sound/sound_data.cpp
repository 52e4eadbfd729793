// Sound files into the audio layer, and decoded sound back out as WAV files.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "platform/audio.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace audio = platform::audio;

namespace {

constexpr const char* kSender = "cDataManager";
constexpr unsigned kMaxPlaybacks = 20;
constexpr unsigned kLoadFlags = 0x20000;  // samples: take over the longest playing; streams: prescan
constexpr unsigned kMusicFlags = 0x21400;
constexpr unsigned kHeaderSize = 44;
constexpr unsigned kChunk = 20000;

// The whole file through the data manager's one whole-file reader, which
// bounds the memory by what the file really holds and refuses files above
// its limit; that refusal reads as InternalError here, like an empty file.
template <class Buffer>
int ReadWhole(const filename& file, Buffer& bytes)
{
    const int result = cDataManager::ReadWholeFile(file, "rb", bytes);
    if (result == cDataManager::Unreadable) return cDataManager::FileNotFound;
    return result == cDataManager::Unsupported ? cDataManager::InternalError : result;
}

// The file image a stream plays from, read straight into the new[] block the
// stream buffer takes over.
class cStreamBlock {
public:
    void resize(size_t size)
    {
        if (!m_pData || size > m_uCapacity) {
            std::unique_ptr<unsigned char[]> grown(new unsigned char[size ? size : 1]);
            if (m_pData) std::memcpy(grown.get(), m_pData.get(), m_uSize);
            m_pData = std::move(grown);
            m_uCapacity = size;
        }
        m_uSize = size;
    }
    unsigned char* data() { return m_pData.get(); }
    size_t size() const { return m_uSize; }
    unsigned char* release() { return m_pData.release(); }

private:
    std::unique_ptr<unsigned char[]> m_pData;
    size_t m_uSize = 0;
    size_t m_uCapacity = 0;
};

void Put16(unsigned char* at, unsigned v)
{
    at[0] = static_cast<unsigned char>(v & 255);
    at[1] = static_cast<unsigned char>((v >> 8) & 255);
}

void Put32(unsigned char* at, uint32_t v)
{
    Put16(at, v & 0xffff);
    Put16(at + 2, v >> 16);
}

}  // namespace

int cDataManager::ReadSoundBuffer(cSampleTarget* target, const filename& file)
{
    if (!target) return Failed;
    std::vector<unsigned char> bytes;
    const int rc = ReadWhole(file, bytes);
    if (rc != Ok) return rc;
    target->uMaxPlay = std::min(std::max(target->uMaxPlay, 1u), kMaxPlaybacks);
    bool cut = false;
    target->hHandle = audio::Audio().SampleLoad(bytes.data(), bytes.size(), target->uMaxPlay,
                                                kLoadFlags, &cut);
    if (!target->hHandle) LogWarning(kSender, "ReadSoundBuffer: BASS_SampleLoad %s\n", file.path);
    else if (cut) LogWarning(kSender, "ReadSoundBuffer: sound data of %s cut short\n", file.path);
    return target->hHandle ? Ok : Failed;
}

int cDataManager::ReadMusicBuffer(cMusicTarget* target, const filename& file)
{
    if (!target) return Failed;
    std::vector<unsigned char> bytes;
    const int rc = ReadWhole(file, bytes);
    if (rc != Ok) return rc;
    target->hHandle = audio::Audio().MusicLoad(bytes.data(), bytes.size(), kMusicFlags);
    if (!target->hHandle) LogWarning(kSender, "ReadMusicBuffer: %s\n", file.path);
    return target->hHandle ? Ok : Failed;
}

int cDataManager::ReadStreamBuffer(cStreamTarget* target, const filename& file)
{
    if (!target) return Failed;
    cStreamBlock block;
    const int rc = ReadWhole(file, block);
    if (rc != Ok) return rc;
    // The stream plays from this block for as long as it lives.
    bool cut = false;
    target->hHandle =
        audio::Audio().StreamCreateMemory(block.data(), block.size(), kLoadFlags, &cut);
    if (!target->hHandle) {
        LogWarning(kSender, "ReadStreamBuffer: %s\n", file.path);
        return Failed;
    }
    if (cut) LogWarning(kSender, "ReadStreamBuffer: sound data of %s cut short\n", file.path);
    target->pData = block.release();
    return Ok;
}

int cDataManager::WriteWAV(const string& source, const filename& destination, bool mono)
{
    audio::cAudio& a = audio::Audio();
    const unsigned flags = audio::e_flagDecode | (mono ? audio::e_flagMono : 0u);
    const audio::tHandle stream = a.DecodeStreamOpen(platform::ToNativePath(source), flags);
    if (!stream) {
        LogWarning(kSender, "WriteWAV: BASS_StreamCreateFile %s\n", source);
        return Failed;
    }
    // The decoding stream is freed on every path from here on.
    auto fail = [&](const char* format) {
        a.StreamFree(stream);
        LogWarning(kSender, format, destination.path);
        return Failed;
    };
    // Archives are read-only: such a destination can never be written.
    if (destination.path.empty() || !destination.zip.empty())
        return fail("WriteWAV: file not opened %s\n");

    audio::cChannelInfo info;
    if (!a.ChannelGetInfo(stream, info)) return fail("WriteWAV: BASS_ChannelGetInfo %s\n");
    const unsigned channels = info.chans;
    const unsigned blockAlign = channels * 16 / 8;
    const int64_t length = a.ChannelGetLength(stream, audio::e_posByte);
    if (length < 0) return fail("WriteWAV: BASS_ChannelGetLength %s\n");

    // Never more than twice the reported length: a decoder that reports a
    // wrong length cannot make the file grow without end.
    const uint64_t limit = kHeaderSize + 2 * static_cast<uint64_t>(length);
    std::vector<unsigned char> out(kHeaderSize, 0);
    out.reserve(static_cast<size_t>(std::min<uint64_t>(kHeaderSize + length, 1u << 30)));
    std::vector<unsigned char> chunk(kChunk);
    while (out.size() < limit && a.ChannelIsActive(stream) == audio::e_playing) {
        const unsigned room = static_cast<unsigned>(std::min<uint64_t>(kChunk, limit - out.size()));
        const int got = a.ChannelGetData(stream, chunk.data(), room);
        // An error ends the data; it is never taken as a byte count.
        if (got <= 0) break;
        out.insert(out.end(), chunk.begin(), chunk.begin() + got);
    }
    if (!a.StreamFree(stream)) LogWarning(kSender, "WriteWAV: BASS_StreamFree %s\n", destination.path);

    const uint32_t total = static_cast<uint32_t>(std::min<uint64_t>(out.size(), 0xffffffffu));
    unsigned char* h = out.data();
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, total - 8);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, channels);
    Put32(h + 24, info.freq);
    Put32(h + 28, info.freq * blockAlign);
    Put16(h + 32, blockAlign);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, total - kHeaderSize);
    // Written beside the destination and renamed over it: a failed write
    // leaves no half file.
    if (!platform::WriteFileReplacing(platform::ToNativePath(destination.path), out.data(),
                                      out.size())) {
        LogWarning(kSender, "WriteWAV: file not opened %s\n", destination.path);
        return Failed;
    }
    cFileSystem fs;
    fs.FullAccess(destination);
    return Ok;
}

}  // namespace vek
