#pragma once
// The sound manager and its playback objects.
//
// The manager owns every loaded sound resource in four id tables (samples,
// music modules, streams and the named musics over them); entry 0 of each is
// a default object named "unnamed" that plays nothing. cSound is one channel
// of a sample, made and owned by whoever plays the effect; cMusic is a named
// piece of music the manager owns and the game finds by name.
//
// Handles and channels are those of the audio layer (platform/audio.h):
// game code may call the layer directly on cMusic::GetChannel() or on a
// sound's channel (is-active, stop, pause).
#include <cstdint>

#include "engine/core/container.h"
#include "engine/core/vekstring.h"

namespace vek {

class cMusic;

class cSoundManager {
public:
    enum eStream { e_All = 0, e_Sound = 1, e_Music = 2 };
    // Dump also takes this kind: the stream buffers only.
    static constexpr int e_DumpStreams = 3;

    // A sample (short effect, decoded whole).
    class cSoundBuffer {
    public:
        // Stores the fields and adds itself to the manager's sample table.
        cSoundBuffer(const string& name, uint32_t handle, bool reserved);
        // Frees the sample (and with it every channel of it).
        virtual ~cSoundBuffer();
        cSoundBuffer(const cSoundBuffer&) = delete;
        cSoundBuffer& operator=(const cSoundBuffer&) = delete;

        const string& GetName() const { return m_strName; }

        uint32_t m_hHandle = 0;
        string m_strName;
    };

    // A tracker music module.
    class cMusicBuffer {
    public:
        cMusicBuffer(const string& name, uint32_t handle, bool reserved);
        virtual ~cMusicBuffer();
        cMusicBuffer(const cMusicBuffer&) = delete;
        cMusicBuffer& operator=(const cMusicBuffer&) = delete;

        const string& GetName() const { return m_strName; }

        uint32_t m_hHandle = 0;
        string m_strName;
    };

    // A stream played from a file image kept in memory.
    class cStreamBuffer {
    public:
        // Takes ownership of data (allocated with new[]; may be null).
        cStreamBuffer(const string& name, uint32_t handle, unsigned char* data, bool reserved);
        // Frees the stream, then the file image it played from.
        virtual ~cStreamBuffer();
        cStreamBuffer(const cStreamBuffer&) = delete;
        cStreamBuffer& operator=(const cStreamBuffer&) = delete;

        const string& GetName() const { return m_strName; }

        uint32_t m_hHandle = 0;
        string m_strName;
        unsigned char* m_pData = nullptr;
    };

    cSoundManager();
    // Releases the audio layer, then the tables: musics, stream buffers,
    // music buffers, sample buffers.
    virtual ~cSoundManager();
    cSoundManager(const cSoundManager&) = delete;
    cSoundManager& operator=(const cSoundManager&) = delete;

    // Creates the default objects and opens the output. Called only by
    // CreateSoundManager, after the global pointer is set.
    bool Init();

    // Global volume 0..1: e_Sound the samples; e_Music the music modules and
    // streams, and every music's own volume.
    void SetVolume(eStream kind, float volume);
    // e_Sound: the sample volume; every other kind: the music volume.
    float GetVolume(eStream kind);
    bool Set3DSettings(float distance, float rolloff, float doppler, bool apply);
    bool Get3DSettings(float* distance, float* rolloff, float* doppler);

    // Lists the buffer tables (kind 0 all, 1 samples, 2 music, 3 streams)
    // and the volumes on the console and in the HTML log. Always true.
    bool Dump(int kind);
    // The output device's capabilities, for the system information dump.
    // False (with a warning) without a manager or a device.
    static bool DumpConfig();

    // The application gained (true) or lost (false) activation: the output
    // runs only while the application is active.
    void OnActivateApp(bool active);

    cContainerPtr<cSoundBuffer> m_SoundBuffers{30};
    cContainerPtr<cMusicBuffer> m_MusicBuffers{10};
    cContainerPtr<cStreamBuffer> m_StreamBuffers{10};
    cContainerPtr<cMusic> m_Musics{10};
    bool m_bApply3D = false;
    bool m_bPaused = false;
    float m_fMinDistance3D = -1.0f;
    float m_fMaxDistance3D = -1.0f;
};

// The manager while it exists.
extern cSoundManager* g_pSoundManager;

// Make and destroy the process-wide manager (warnings when called twice or
// with nothing to destroy). A manager whose output could not be opened stays
// in place and silent; CreateSoundManager then returns false.
bool CreateSoundManager();
bool DestroySoundManager();

// One channel of a sample. A sound owns nothing: its channel belongs to the
// sample, so an effect that does not loop plays to its end after the object
// is gone. Overlapping playbacks of one effect need several sound objects.
class cSound {
public:
    // Looks the sample up by name ("unnamed" is the silent default).
    explicit cSound(const string& bufferName);
    // The sample of that id in the manager's table.
    explicit cSound(uint32_t bufferId);
    // Stops the channel if it loops.
    virtual ~cSound();
    cSound(const cSound&) = delete;
    cSound& operator=(const cSound&) = delete;

    // Takes a channel of the sample with that id.
    void Init(uint32_t bufferId);
    bool Play(bool restart);
    bool SetVolume(float volume);
    // Slides the volume to 0; the channel goes on playing silently.
    bool FadeOut(float seconds);
    bool IsLooped();
    // True while its channel plays; false without a channel.
    bool IsPlaying();
    uint32_t GetChannel() const { return m_hChannel; }

    uint32_t m_hChannel = 0;
    uint32_t m_uBufferId = 0;
    bool m_bWarned = false;
};

// A named piece of music: a module started at an order, or a stream.
// Registered in and owned by the manager; destroying it does not stop it.
class cMusic {
public:
    cMusic(const string& name, const string& bufferName, bool reserved);
    cMusic(const string& name, const string& bufferName, int offset, int length, bool reserved);
    // A stream music: its name is also its stream buffer's name.
    cMusic(const string& streamName, bool reserved);
    virtual ~cMusic();
    cMusic(const cMusic&) = delete;
    cMusic& operator=(const cMusic&) = delete;

    // The channel of its buffer; 0 when the buffer is missing.
    uint32_t GetChannel();
    bool Play();
    bool Pause();
    bool IsPlaying();
    bool SetVolume(float volume);
    void SetLoop();
    // Fade in from 0 to the global music volume, or out to 0.
    bool Fade(bool fadeIn, float seconds);

    const string& GetName() const { return m_strName; }

    string m_strName;
    uint32_t m_uBufferId = 0;
    int32_t m_iKind = 0;    // 0 module, 1 stream
    int32_t m_iOffset = 0;  // start order of a module
    int32_t m_iLength = 0;  // length in orders, for the dump

private:
    void Register(const string& bufferName, bool reserved);
};

}  // namespace vek
