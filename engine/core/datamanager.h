#pragma once
// The data manager: whole-file helpers, image decoding and writing, sound
// data loading and the WAV writer. All members are static; the class only
// groups them (the game specialises it).
#include <cstddef>

#include "engine/core/vekstring.h"

namespace vek {

class cDataManager {
public:
    // ---- whole files (files and folders) ----

    // Result codes of the file operations. Lua knows 0 to 3 by these names.
    enum cResult {
        Ok = 0,
        Stop = 1,
        FileNotFound = 2,   // the file cannot be opened
        InternalError = 3,  // the file is empty, or its signature or header is wrong
        Failed = 4,         // no target (or source), or the decoding library failed
        Unsupported = 5,    // content of a kind that is not supported
        Unreadable = 6,     // something is at the path but cannot be read as a file
                            // (no permission, a folder, a named pipe, a device)
    };

    // No whole-file read takes a file or archive entry larger than this:
    // nothing the game reads comes near it, and a damaged or hostile file
    // (a deflate bomb, a directory that lies) cannot make a reader hold
    // hundreds of megabytes. Reading a cFile in pieces has no such limit.
    static constexpr size_t kMaxWholeFile = size_t(64) << 20;

    // The whole file as text ("rt": CR LF arrives as LF) into *target.
    // Ok, FileNotFound, InternalError (empty file, or larger than
    // kMaxWholeFile; target unchanged), Failed (no target).
    static int ReadText(string* target, const class filename& file);
    // The whole file into the stream (content replaced, read position 0).
    // Ok, FileNotFound, Unreadable, InternalError (empty or too large;
    // stream unchanged), Failed.
    static int ReadBinary(class cBitStream* target, const class filename& file);
    // The stream's bytes as the file's new content. The old file is replaced
    // in one step: on any failure it stays as it was and FileNotFound is
    // returned. Ok, FileNotFound, Failed (no source).
    static int WriteBinary(const class cBitStream* source, const class filename& file);

    // The one whole-file reader under every reader of this class (text,
    // binary, images, sounds), disk file or archive entry. `out` is any
    // buffer with resize(n) and data(): it is resized once to the bytes to
    // read, and at most once more to fewer (text mode, a file that shrank).
    // Memory is bounded by what the file really holds, never by what an
    // archive entry declares: a disk file's length is read into a buffer of
    // that length; an archive entry is read in pieces that grow with the
    // data, then into `out`. Above kMaxWholeFile the file is refused with a
    // warning naming it and its size, before anything is allocated.
    // Ok; FileNotFound (logged by cFile); Unreadable (logged by cFile);
    // InternalError (empty, out untouched); Unsupported (too large, out
    // untouched).
    template <class Buffer>
    static int ReadWholeFile(const class filename& file, const char* mode, Buffer& out)
    {
        size_t got = 0;
        const int result = ReadWholeFileInto(
            file, mode,
            [](void* buffer, size_t size) -> void* {
                Buffer& b = *static_cast<Buffer*>(buffer);
                b.resize(size);
                return b.data();
            },
            &out, got);
        if (result == Ok) out.resize(got);
        return result;
    }
    // The same with the buffer given as a function: place(buffer, n) gives
    // room for n bytes (keeping the first ones when n shrinks), or null.
    // got: the bytes read.
    static int ReadWholeFileInto(const class filename& file, const char* mode,
                                 void* (*place)(void* buffer, size_t size), void* buffer,
                                 size_t& got);

    // ---- images ----

    // Picks the reader by the lower-case extension ("png", "jpg", "bmp",
    // "dds"); another extension gives InternalError without opening the file,
    // a null target Failed. Every reader stores rows bottom-up, calls
    // Create only once the whole picture is read (a failure leaves the target
    // as it was) and logs why it failed.
    static int ReadImage(const class filename& file, class cImage* target);
    // Ok; FileNotFound; InternalError (wrong signature or header, truncated,
    // sizes out of range, a file larger than kMaxWholeFile); Failed (decoder
    // failure, a JPEG whose data ends long before its picture does);
    // Unsupported (cube maps, pixel layouts the engine has no format for).
    static int ReadDDS(class cImage* target, const class filename& file);
    static int ReadBMP(class cImage* target, const class filename& file);
    static int ReadJPEG(class cImage* target, const class filename& file);
    static int ReadPNG(class cImage* target, const class filename& file);
    // Formats 1, 2, 4 and 6 only. The file is replaced in one step, so a
    // failure never leaves a partial file. Ok; InternalError (no pixels, other
    // format); Failed (encoder failure); Unsupported (cannot be written).
    static int WritePNG(const class cImage* source, const class filename& file);

    // ---- sound data ----

    // What the sound readers fill in; the loading jobs then make the sound
    // manager's buffer objects from it.
    struct cSampleTarget {
        unsigned hHandle = 0;   // written: the sample, 0 on failure
        unsigned uMaxPlay = 1;  // read: simultaneous playbacks (clamped to 1..20)
    };
    struct cMusicTarget {
        unsigned hHandle = 0;   // written: the music module, 0 on failure
    };
    struct cStreamTarget {
        unsigned hHandle = 0;             // written: the stream, 0 on failure
        unsigned char* pData = nullptr;   // written: the file image the stream plays
                                          // from (new[]); the receiver owns it
    };

    // The whole file (folder or archive) loaded into the audio layer.
    // Ok, FileNotFound, InternalError (empty file, or larger than
    // kMaxWholeFile), Failed (no target, or the data cannot be decoded). A
    // WAV file whose data is cut short loads as far as it goes, with a
    // warning.
    static int ReadSoundBuffer(cSampleTarget* target, const class filename& file);
    static int ReadMusicBuffer(cMusicTarget* target, const class filename& file);
    static int ReadStreamBuffer(cStreamTarget* target, const class filename& file);
    // Decodes the sound file at source (a disk path, no macros, no archives)
    // to 16-bit PCM and writes it as a WAV file (mono: the channels
    // averaged). Ok, or Failed with no file left behind.
    static int WriteWAV(const string& source, const class filename& destination, bool mono);
};

} // namespace vek
