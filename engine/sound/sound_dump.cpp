// The sound manager's two reports: its buffer tables and the output device.
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "platform/audio.h"

namespace vek {

namespace audio = platform::audio;

namespace {

constexpr float kKb = 0.0009765625f;

const char* const kShortRule = "  +----+------------------------+------------+\n";
const char* const kLongRule =
    "  +----+-----------------------------------------------------------------+------------+\n";
const char* const kLongHead =
    "  |  N |                           Buffer file                           |  size (Kb) |\n";
const char* const kMusicRule = "  +----+------------------------+--------------+--------------+\n";

// Lines go to the console and the HTML log as plain text.
void Out(const char* format, const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
         const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg)
{
    LogContinuation(format, a1, a2, a3, a4);
}

// Byte length of a music or stream channel; only the low 32 bits count.
uint32_t ChannelBytes(uint32_t handle)
{
    return static_cast<uint32_t>(audio::Audio().ChannelGetLength(handle, audio::e_posByte));
}

// Rows of a music-buffer or stream-buffer table; returns the byte total.
template <class T>
uint32_t DumpLongTable(const cContainerPtr<T>& table, int& count)
{
    uint32_t total = 0;
    for (uint32_t i = 1; i < table.Count(); ++i) {
        const T* b = table.At(i);
        if (!b) continue;
        const uint32_t bytes = ChannelBytes(b->m_hHandle);
        Out("  | %2i | %63s |  %8.1f  |\n", static_cast<int>(i), b->m_strName,
            static_cast<double>(bytes * kKb));
        total += bytes;
        ++count;
    }
    return total;
}

}  // namespace

bool cSoundManager::Dump(int kind)
{
    uint32_t soundBytes = 0;
    uint32_t musicBytes = 0;
    if (kind == 0 || kind == e_Sound) {
        Out("Sound Buffers. ^1Blue Buffers^6 - mono for using 3D.\n");
        Out(kShortRule);
        Out("  |  N |      Buffer name       |   size (Kb)|\n");
        Out(kShortRule);
        int count = 0;
        for (uint32_t i = 1; i < m_SoundBuffers.Count(); ++i) {
            const cSoundBuffer* b = m_SoundBuffers.At(i);
            if (!b || b->m_hHandle == 0) continue;
            audio::cSampleInfo info;
            const bool known = audio::Audio().SampleGetInfo(b->m_hHandle, info);
            const uint32_t bytes = known ? info.length : 0;
            const double kb = static_cast<double>(bytes * kKb);
            if (known && (info.flags & audio::e_flag3D))
                Out("  | %2i | ^1%22s^6 |  %8.1f  |\n", static_cast<int>(i), b->m_strName, kb);
            else
                Out("  | %2i | %22s |  %8.1f  |\n", static_cast<int>(i), b->m_strName, kb);
            soundBytes += bytes;
            ++count;
        }
        Out(kShortRule);
        Out("Sound buffers count: %i. All buffers size (Kb): %.1f\n", count,
            static_cast<double>(soundBytes * kKb));
    }
    if (kind == 0 || kind == e_Music) {
        Out("Music Buffers.\n");
        Out(kLongRule);
        Out(kLongHead);
        Out(kLongRule);
        int count = 0;
        musicBytes = DumpLongTable(m_MusicBuffers, count);
        Out(kLongRule);
        Out("Music buffers count: %i. All music buffers size: %.1f\n", count,
            static_cast<double>(musicBytes * kKb));

        Out("Musics.\n");
        Out(kMusicRule);
        Out("  |  N |       music name       |    Offset    |    Length    |\n");
        Out(kMusicRule);
        int musics = 0;
        for (uint32_t i = 1; i < m_Musics.Count(); ++i) {
            const cMusic* m = m_Musics.At(i);
            if (!m) continue;
            Out("  | %2i | %22s |  %10i  |  %10i  |\n", static_cast<int>(i), m->m_strName,
                m->m_iOffset, m->m_iLength);
            ++musics;
        }
        Out(kMusicRule);
        Out("Musics count: %i\n", musics);
    }
    if (kind == 0 || kind == e_DumpStreams) {
        Out("Stream Buffers.\n");
        Out(kLongRule);
        Out(kLongHead);
        Out(kLongRule);
        int count = 0;
        const uint32_t streamBytes = DumpLongTable(m_StreamBuffers, count);
        Out(kLongRule);
        Out("Stream buffers count: %i. All Stream buffers size: %.1f\n", count,
            static_cast<double>(streamBytes * kKb));
    }
    if (kind == 0)
        Out("Sound manager occuped %.1f Kb of memory.\n",
            static_cast<double>((soundBytes + musicBytes) * kKb));
    Out("Settings:\n");
    Out("Volumes: sound %.3f, music %.3f\n", static_cast<double>(GetVolume(e_Sound)),
        static_cast<double>(GetVolume(e_Music)));
    return true;
}

bool cSoundManager::DumpConfig()
{
    const char* sender = "cSoundManager";
    if (!g_pSoundManager) {
        LogWarning(sender, "DumpConfig: info is unavailable - sound manager was not initialized\n");
        return false;
    }
    audio::cAudio& a = audio::Audio();
    audio::cDeviceInfo info;
    if (!a.GetInfo(info)) {
        LogWarning(sender, "DumpConfig: BASS_GetInfo\n");
        return false;
    }
    Out("Sound System:\n");
    const int device = a.GetDevice();
    std::string name, driver;
    if (device != -1 && a.GetDeviceInfo(device, name, driver)) {
        Out("  %s\n", name);
        Out("  Driver: %s\n", driver);
    }
    struct cFlagLine {
        unsigned flag;
        const char* text;
    };
    static const cFlagLine kFlags[] = {
        {0x20, "  The device's drivers do not have DirectSound support, so it is being emulated\n"},
        {0x40, "  The device driver has been certified by Microsoft\n"},
        {0x100, "  Mono Buffers are supported by hardware mixing\n"},
        {0x200, "  Stereo Buffers are supported by hardware mixing\n"},
        {0x400, "  8-bit Buffers are supported by hardware mixing\n"},
        {0x800, "  16-bit Buffers are supported by hardware mixing\n"},
    };
    for (const cFlagLine& f : kFlags)
        if (info.flags & f.flag) Out(f.text);
    Out("  Total hardware memory: %i\n", info.hwSize);
    Out("  Free hardware memory: %i\n", info.hwFree);
    Out("  The number of free Buffer slots in the hardware: %i\n", info.freeSam);
    Out("  The number of free 3D Buffer slots in the hardware: %i\n", info.free3d);
    Out("  The minimum Buffer rate supported by the hardware: %i\n", info.minRate);
    Out("  The maximum Buffer rate supported by the hardware: %i\n", info.maxRate);
    Out("  EAX: %s\n", info.eax ? "enabled" : "disabled");
    return true;
}

}  // namespace vek
