#include "platform/audio_decode.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace vek::platform::audio {

namespace {

constexpr unsigned kMaxChannels = 8;
constexpr unsigned kMinRate = 1000;
constexpr unsigned kMaxRate = 384000;

bool PlausibleFormat(unsigned rate, unsigned channels)
{
    return channels >= 1 && channels <= kMaxChannels && rate >= kMinRate && rate <= kMaxRate;
}

// ---- WAV: SDL's loader, then one conversion to S16 at the file's own rate ----

class cWavSource : public cPcmSource {
public:
    static std::unique_ptr<cPcmSource> Open(const uint8_t* data, size_t length)
    {
        if (length > 0x7fffffff) return nullptr;
        // SDL allocates what a chunk header claims before reading it; a
        // damaged size would ask for gigabytes. Clamp every chunk size to
        // the bytes that are really there (a cut file then loads as far as
        // it goes).
        std::vector<uint8_t> fixed(data, data + length);
        auto get32 = [&](size_t at) {
            return uint32_t(fixed[at]) | (uint32_t(fixed[at + 1]) << 8) |
                   (uint32_t(fixed[at + 2]) << 16) | (uint32_t(fixed[at + 3]) << 24);
        };
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) fixed[at + i] = static_cast<uint8_t>(v >> (8 * i));
        };
        if (get32(4) > length - 8) put32(4, static_cast<uint32_t>(length - 8));
        bool dataCut = false;
        for (size_t at = 12; at + 8 <= length;) {
            const size_t room = length - at - 8;
            if (get32(at + 4) > room) {
                put32(at + 4, static_cast<uint32_t>(room));
                dataCut = dataCut || std::memcmp(fixed.data() + at, "data", 4) == 0;
            }
            at += 8 + get32(at + 4) + (get32(at + 4) & 1);
        }
        SDL_RWops* rw = SDL_RWFromConstMem(fixed.data(), static_cast<int>(length));
        if (!rw) return nullptr;
        SDL_AudioSpec spec;
        Uint8* buf = nullptr;
        Uint32 len = 0;
        if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len)) return nullptr;
        std::unique_ptr<cWavSource> src;
        if (PlausibleFormat(static_cast<unsigned>(spec.freq), spec.channels)) {
            src.reset(new cWavSource);
            if (!src->Take(spec, buf, len)) src.reset();
            if (src) src->bDataCut = dataCut;
        }
        SDL_FreeWAV(buf);
        return src;
    }

    size_t Read(int16_t* out, size_t frames) override
    {
        const size_t total = m_Pcm.size() / uChannels;
        const size_t n = std::min(frames, total - m_Pos);
        // No data at all (a chunk shorter than one frame) leaves no buffer to copy from.
        if (n > 0) std::memcpy(out, m_Pcm.data() + m_Pos * uChannels, n * uChannels * sizeof(int16_t));
        m_Pos += n;
        return n;
    }
    bool Rewind() override
    {
        m_Pos = 0;
        return true;
    }

private:
    bool Take(const SDL_AudioSpec& spec, const Uint8* buf, Uint32 len)
    {
        uRate = static_cast<unsigned>(spec.freq);
        uChannels = spec.channels;
        uSourceBits = SDL_AUDIO_BITSIZE(spec.format);
        const unsigned frameBytes = (uSourceBits / 8) * uChannels;
        if (frameBytes == 0) return false;
        const Uint32 usable = len - len % frameBytes;
        if (spec.format == AUDIO_U8 || spec.format == AUDIO_S8) {
            // Exact widening (SDL's converter goes through float and rounds).
            const int bias = spec.format == AUDIO_U8 ? 128 : 0;
            m_Pcm.resize(usable);
            for (Uint32 i = 0; i < usable; ++i) {
                const int v = spec.format == AUDIO_U8 ? int(buf[i]) : int(int8_t(buf[i]));
                m_Pcm[i] = static_cast<int16_t>((v - bias) * 256);
            }
            iTotalFrames = static_cast<int64_t>(m_Pcm.size() / uChannels);
            return true;
        }
        SDL_AudioCVT cvt;
        const int need = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq,
                                           AUDIO_S16SYS, spec.channels, spec.freq);
        if (need < 0) return false;
        if (usable == 0) {
            m_Pcm.clear();
        } else if (need == 0) {
            m_Pcm.resize(usable / 2);
            std::memcpy(m_Pcm.data(), buf, m_Pcm.size() * 2);
        } else {
            std::vector<Uint8> work(static_cast<size_t>(usable) * cvt.len_mult);
            std::memcpy(work.data(), buf, usable);
            cvt.buf = work.data();
            cvt.len = static_cast<int>(usable);
            if (SDL_ConvertAudio(&cvt) != 0) return false;
            m_Pcm.resize(static_cast<size_t>(cvt.len_cvt) / 2);
            std::memcpy(m_Pcm.data(), work.data(), m_Pcm.size() * 2);
        }
        m_Pcm.resize(m_Pcm.size() - m_Pcm.size() % uChannels);
        iTotalFrames = static_cast<int64_t>(m_Pcm.size() / uChannels);
        return true;
    }

    std::vector<int16_t> m_Pcm;
    size_t m_Pos = 0;
};

// ---- OGG Vorbis over a memory block ----

struct cMemFile {
    const uint8_t* data;
    size_t length;
    size_t pos;
};

size_t MemRead(void* ptr, size_t size, size_t nmemb, void* user)
{
    auto* f = static_cast<cMemFile*>(user);
    if (size == 0) return 0;
    const size_t n = std::min(nmemb, (f->length - f->pos) / size);
    std::memcpy(ptr, f->data + f->pos, n * size);
    f->pos += n * size;
    return n;
}

int MemSeek(void* user, ogg_int64_t offset, int whence)
{
    auto* f = static_cast<cMemFile*>(user);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(f->pos);
    else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(f->length);
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(f->length)) return -1;
    f->pos = static_cast<size_t>(to);
    return 0;
}

long MemTell(void* user)
{
    return static_cast<long>(static_cast<cMemFile*>(user)->pos);
}

class cOggSource : public cPcmSource {
public:
    static std::unique_ptr<cPcmSource> Open(const uint8_t* data, size_t length,
                                            std::vector<uint8_t>&& owned)
    {
        std::unique_ptr<cOggSource> src(new cOggSource);
        src->m_Owned = std::move(owned);
        src->m_File = {data, length, 0};
        const ov_callbacks cb = {MemRead, MemSeek, nullptr, MemTell};
        if (ov_open_callbacks(&src->m_File, &src->m_Vf, nullptr, 0, cb) != 0) return nullptr;
        src->m_bOpen = true;
        const vorbis_info* vi = ov_info(&src->m_Vf, -1);
        if (!vi || vi->rate <= 0 || !PlausibleFormat(static_cast<unsigned>(vi->rate),
                                                     static_cast<unsigned>(vi->channels)))
            return nullptr;
        src->uRate = static_cast<unsigned>(vi->rate);
        src->uChannels = static_cast<unsigned>(vi->channels);
        src->uSourceBits = 16;
        const ogg_int64_t total = ov_pcm_total(&src->m_Vf, -1);
        src->iTotalFrames = total > 0 ? total : 0;
        return src;
    }

    ~cOggSource() override
    {
        if (m_bOpen) ov_clear(&m_Vf);
    }

    size_t Read(int16_t* out, size_t frames) override
    {
        size_t done = 0;
        int errors = 0;
        const size_t frameBytes = uChannels * sizeof(int16_t);
        while (done < frames && !m_bEnded) {
            const size_t want = std::min<size_t>((frames - done) * frameBytes, 1 << 16);
            int section = 0;
            const long got = ov_read(&m_Vf, reinterpret_cast<char*>(out + done * uChannels),
                                     static_cast<int>(want), 0, 2, 1, &section);
            if (got == 0) {
                m_bEnded = true;
            } else if (got < 0) {
                // A hole in the data: skip it, but give up on a file that
                // is nothing but holes.
                if (got != OV_HOLE || ++errors > 64) m_bEnded = true;
            } else {
                const vorbis_info* vi = ov_info(&m_Vf, section);
                if (!vi || static_cast<unsigned>(vi->channels) != uChannels) {
                    // A chained file whose later part has another layout:
                    // what we have so far is the sound.
                    m_bEnded = true;
                    break;
                }
                done += static_cast<size_t>(got) / frameBytes;
            }
        }
        return done;
    }

    bool Rewind() override
    {
        m_bEnded = false;
        return ov_pcm_seek(&m_Vf, 0) == 0;
    }

private:
    cOggSource() = default;

    std::vector<uint8_t> m_Owned;
    cMemFile m_File{};
    OggVorbis_File m_Vf{};
    bool m_bOpen = false;
    bool m_bEnded = false;
};

}  // namespace

std::unique_ptr<cPcmSource> OpenPcmSource(const uint8_t* data, size_t length,
                                          std::vector<uint8_t> owned)
{
    if (!data || length < 12) return nullptr;
    if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        return cWavSource::Open(data, length);
    if (std::memcmp(data, "OggS", 4) == 0) return cOggSource::Open(data, length, std::move(owned));
    return nullptr;
}

std::vector<int16_t> DecodeAll(cPcmSource& source)
{
    std::vector<int16_t> pcm;
    if (source.iTotalFrames > 0 && source.iTotalFrames < (int64_t(1) << 28))
        pcm.reserve(static_cast<size_t>(source.iTotalFrames) * source.uChannels);
    std::vector<int16_t> chunk(4096 * source.uChannels);
    for (;;) {
        const size_t got = source.Read(chunk.data(), 4096);
        if (got == 0) break;
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + got * source.uChannels);
    }
    return pcm;
}

// ---- conversion to the mixer's format ----

cConverter::cConverter(unsigned srcRate, unsigned srcChannels, unsigned dstRate)
    : m_uChannels(srcChannels)
{
    m_pStream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(srcChannels),
                                   static_cast<int>(srcRate), AUDIO_F32SYS, 2,
                                   static_cast<int>(dstRate));
}

cConverter::~cConverter()
{
    if (m_pStream) SDL_FreeAudioStream(static_cast<SDL_AudioStream*>(m_pStream));
}

bool cConverter::Put(const int16_t* frames, size_t count)
{
    if (!m_pStream) return false;
    const size_t bytes = count * m_uChannels * sizeof(int16_t);
    if (bytes == 0) return true;
    if (bytes > 0x7fffffff) return false;
    return SDL_AudioStreamPut(static_cast<SDL_AudioStream*>(m_pStream), frames,
                              static_cast<int>(bytes)) == 0;
}

void cConverter::Flush()
{
    if (m_pStream) SDL_AudioStreamFlush(static_cast<SDL_AudioStream*>(m_pStream));
}

void cConverter::Clear()
{
    if (m_pStream) SDL_AudioStreamClear(static_cast<SDL_AudioStream*>(m_pStream));
}

size_t cConverter::Available() const
{
    if (!m_pStream) return 0;
    const int bytes = SDL_AudioStreamAvailable(static_cast<SDL_AudioStream*>(m_pStream));
    return bytes > 0 ? static_cast<size_t>(bytes) / (2 * sizeof(float)) : 0;
}

size_t cConverter::Get(float* out, size_t frames)
{
    if (!m_pStream || frames == 0) return 0;
    const size_t bytes = std::min<size_t>(frames * 2 * sizeof(float), 0x7ffffff8);
    const int got = SDL_AudioStreamGet(static_cast<SDL_AudioStream*>(m_pStream), out,
                                       static_cast<int>(bytes));
    return got > 0 ? static_cast<size_t>(got) / (2 * sizeof(float)) : 0;
}

std::vector<float> ConvertAll(const std::vector<int16_t>& pcm, unsigned srcRate,
                              unsigned srcChannels, unsigned dstRate)
{
    std::vector<float> out;
    if (srcChannels == 0) return out;
    const size_t frames = pcm.size() / srcChannels;
    // Same rate, mono or stereo: no resampler needed, and the samples stay
    // exact (the tests rely on exact amplitudes through the mixer).
    if (srcRate == dstRate && (srcChannels == 1 || srcChannels == 2)) {
        out.resize(frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            const float l = pcm[i * srcChannels] / 32768.0f;
            const float r = pcm[i * srcChannels + srcChannels - 1] / 32768.0f;
            out[2 * i] = l;
            out[2 * i + 1] = r;
        }
        return out;
    }
    cConverter conv(srcRate, srcChannels, dstRate);
    if (!conv.IsValid()) return out;
    // Put in pieces so the intermediate buffers stay small.
    constexpr size_t kPiece = 16384;
    std::vector<float> chunk(kPiece * 2);
    for (size_t at = 0; at < frames; at += kPiece) {
        const size_t n = std::min(kPiece, frames - at);
        if (!conv.Put(pcm.data() + at * srcChannels, n)) return {};
        for (size_t got; (got = conv.Get(chunk.data(), kPiece)) > 0;)
            out.insert(out.end(), chunk.begin(), chunk.begin() + got * 2);
    }
    conv.Flush();
    for (size_t got; (got = conv.Get(chunk.data(), kPiece)) > 0;)
        out.insert(out.end(), chunk.begin(), chunk.begin() + got * 2);
    return out;
}

}  // namespace vek::platform::audio
