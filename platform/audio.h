#pragma once
// The audio layer: an output device (or a silent null output), a mixer of our
// own and the decoders for samples, tracker music and streams.
//
// Everything is addressed by 32-bit handles that carry their kind, a slot and
// a generation, so a handle whose object was freed or taken over simply makes
// every call fail instead of touching another object. Handle 0 is "none".
//
// The calls are safe from any thread; the mixer runs on the device's thread
// (or on the caller's thread through RenderForTest with the null output).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vek::platform::audio {

using tHandle = uint32_t;

// Global volumes, 0..10000.
enum eConfig { e_cfgVolSample = 4, e_cfgVolStream = 5, e_cfgVolMusic = 6 };
// Channel attributes.
enum eAttrib { e_attribVolume = 2 };
// Position and length units.
enum ePosMode { e_posByte = 0, e_posMusicOrder = 1 };
// Load and channel flags.
enum eFlags : unsigned {
    e_flagMono = 0x2,         // decoding streams: mix down to one channel
    e_flagLoop = 0x4,         // channel restarts at its end
    e_flag3D = 0x8,           // sample is positioned in 3D
    e_flagPrescan = 0x20000,  // streams and music: exact length up front
    e_flagOverPos = 0x20000,  // samples: a new playback takes over the longest playing
    e_flagDecode = 0x200000,  // streams: decode only, never played
};
enum eActive { e_stopped = 0, e_playing = 1, e_stalled = 2, e_paused = 3 };

// Device numbers for Init: 0 is the silent null output (nothing is opened;
// mixing happens only through RenderForTest), -1 and 1 the default device.
enum eDevice { e_deviceNull = 0, e_deviceDefault = 1 };

struct cChannelInfo {
    unsigned freq = 0;
    unsigned chans = 0;
    unsigned flags = 0;
};
struct cSampleInfo {
    unsigned flags = 0;
    unsigned length = 0;  // bytes of decoded PCM in the file's own format
    unsigned max = 0;
};
struct cDeviceInfo {
    std::string name;
    std::string driver;
    unsigned flags = 0;
    unsigned hwSize = 0, hwFree = 0, freeSam = 0, free3d = 0;
    unsigned minRate = 0, maxRate = 0;
    bool eax = false;
};

class cMixer;

class cAudio {
public:
    cAudio();
    ~cAudio();
    cAudio(const cAudio&) = delete;
    cAudio& operator=(const cAudio&) = delete;

    // Opens the output at freq Hz, stereo, 16-bit. False when no device can
    // be opened (or already initialised); every later call then fails.
    bool Init(int device, unsigned freq);
    // The null output: nothing is opened; tests pull frames with RenderForTest.
    bool InitNull(unsigned freq) { return Init(e_deviceNull, freq); }
    bool IsInitialised() const;
    // Output running / paused. While paused the output is silent, channels do
    // not advance, and slides go on.
    bool Start();
    bool Pause();
    // Closes the output and releases every handle.
    bool Free();

    bool SetConfig(eConfig option, unsigned value);  // value 0..10000
    int64_t GetConfig(eConfig option);               // -1 on failure

    bool Set3DFactors(float distance, float rolloff, float doppler);  // < 0 keeps a factor
    bool Get3DFactors(float* distance, float* rolloff, float* doppler);
    void Apply3D();

    // Loaders (the data is copied or decoded; the caller keeps its buffer),
    // except StreamCreateMemory, which plays from data: it must outlive the
    // stream. 0 on failure. dataCut, when given, tells whether the file's
    // sound data claimed more bytes than it holds (a cut WAV file): it is
    // still loaded, as far as it goes, and the caller may want to say so.
    tHandle SampleLoad(const void* data, size_t length, unsigned max, unsigned flags,
                       bool* dataCut = nullptr);
    tHandle MusicLoad(const void* data, size_t length, unsigned flags);
    tHandle StreamCreateMemory(const void* data, size_t length, unsigned flags,
                               bool* dataCut = nullptr);
    // A decoding stream over a file on disk (native path), for ChannelGetData.
    tHandle DecodeStreamOpen(const std::string& nativePath, unsigned flags);
    bool SampleFree(tHandle sample);
    bool MusicFree(tHandle music);
    bool StreamFree(tHandle stream);  // playing and decoding streams

    // A channel of the sample (a fresh one starts stopped at position 0; it
    // cannot be taken by another call until it was played). With a maximum
    // of 1 the sample handle itself is the one shared channel.
    tHandle SampleGetChannel(tHandle sample, bool onlyNew);
    bool SampleGetInfo(tHandle sample, cSampleInfo& info);

    bool ChannelGetInfo(tHandle channel, cChannelInfo& info);
    bool ChannelSet3DAttributes(tHandle channel, int mode, float min, float max, int iangle,
                                int oangle, float outvol);
    bool ChannelPlay(tHandle channel, bool restart);
    // A sample channel is freed by Stop; music and streams keep their place.
    bool ChannelStop(tHandle channel);
    bool ChannelPause(tHandle channel);
    eActive ChannelIsActive(tHandle channel);
    // (old & ~mask) | (flags & mask) for the changeable flags; -1 on failure.
    int64_t ChannelFlags(tHandle channel, unsigned flags, unsigned mask);
    bool ChannelSetAttribute(tHandle channel, eAttrib attrib, float value);
    bool ChannelGetAttribute(tHandle channel, eAttrib attrib, float* value);
    bool ChannelSlideAttribute(tHandle channel, eAttrib attrib, float value, unsigned ms);
    // Music order mode: order in the low 16 bits, row in the high 16 bits.
    int64_t ChannelGetPosition(tHandle channel, ePosMode mode);
    bool ChannelSetPosition(tHandle channel, uint64_t pos, ePosMode mode);
    int64_t ChannelGetLength(tHandle channel, ePosMode mode);  // -1 on failure
    // Decoding streams: up to bytes of interleaved little-endian signed
    // 16-bit PCM; -1 on failure or once everything was handed out.
    int ChannelGetData(tHandle decodeStream, void* buffer, unsigned bytes);

    bool GetInfo(cDeviceInfo& info);
    int GetDevice();  // -1 when not initialised
    bool GetDeviceInfo(int device, std::string& name, std::string& driver);

    // Mixes frames of output (stereo, interleaved) exactly as the device
    // would; meant for the null output.
    void RenderForTest(int16_t* stereoOut, size_t frames);

private:
    std::unique_ptr<cMixer> m_pMixer;
};

// The process-wide audio layer the engine uses.
cAudio& Audio();

// Tests: make Init of the default device open the null output instead, so a
// whole engine can run with deterministic output.
void UseNullOutputForDefaultDevice(bool enable);

}  // namespace vek::platform::audio
