#pragma once
// Decoders behind the audio layer: WAV and OGG Vorbis files to interleaved
// signed 16-bit PCM at the file's own rate and channel count, and a rate and
// channel converter to the mixer's float format. Every input is untrusted: a
// file that cannot be decoded gives a null source, never a crash.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vek::platform::audio {

class cPcmSource {
public:
    virtual ~cPcmSource() = default;
    // Reads up to frames frames of interleaved S16; 0 at the end.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
    // Back to the first frame.
    virtual bool Rewind() = 0;

    unsigned uRate = 0;
    unsigned uChannels = 0;
    unsigned uSourceBits = 16;  // bits per sample in the file itself
    int64_t iTotalFrames = 0;   // exact frame count
    // A WAV whose data chunk claims more bytes than the file holds: the
    // sound is what is there. The caller decides whether to tell anyone.
    bool bDataCut = false;
};

// Opens a decoder over data. When owned is not empty the source takes it and
// data must point into it; otherwise data must outlive the source.
// Null when the bytes are neither a WAV nor an OGG Vorbis file we can decode.
std::unique_ptr<cPcmSource> OpenPcmSource(const uint8_t* data, size_t length,
                                          std::vector<uint8_t> owned = {});

// Decodes a whole source.
std::vector<int16_t> DecodeAll(cPcmSource& source);

// Converts S16 at any rate and channel count to float stereo at the mixer's
// rate, in pieces.
class cConverter {
public:
    cConverter(unsigned srcRate, unsigned srcChannels, unsigned dstRate);
    ~cConverter();
    cConverter(const cConverter&) = delete;
    cConverter& operator=(const cConverter&) = delete;

    bool IsValid() const { return m_pStream != nullptr; }
    bool Put(const int16_t* frames, size_t count);
    // Pushes out what is still held back by the resampler.
    void Flush();
    // Clears everything held (after a seek).
    void Clear();
    size_t Available() const;  // stereo frames ready
    // Up to frames stereo float frames; returns the count.
    size_t Get(float* out, size_t frames);

private:
    void* m_pStream = nullptr;
    unsigned m_uChannels;
};

// A whole source converted to float stereo at rate.
std::vector<float> ConvertAll(const std::vector<int16_t>& pcm, unsigned srcRate,
                              unsigned srcChannels, unsigned dstRate);

}  // namespace vek::platform::audio
