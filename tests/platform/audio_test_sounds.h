#pragma once
// Sound files built in memory for the audio tests: PCM WAV files and a small
// 4-channel module with three orders. The OGG files come from
// tools/make-test-sounds.sh (tests/data/audio).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vektest {

inline void Put16(std::string& s, unsigned v)
{
    s.push_back(char(v & 255));
    s.push_back(char((v >> 8) & 255));
}
inline void Put32(std::string& s, unsigned v)
{
    Put16(s, v & 0xffff);
    Put16(s, v >> 16);
}
inline unsigned Get16(const std::string& s, size_t at)
{
    return uint8_t(s[at]) | (unsigned(uint8_t(s[at + 1])) << 8);
}
inline unsigned Get32(const std::string& s, size_t at)
{
    return Get16(s, at) | (Get16(s, at + 2) << 16);
}

// A PCM WAV file; samples are interleaved, 8-bit values given as 0..255.
inline std::string MakeWav(unsigned rate, unsigned channels, unsigned bits,
                           const std::vector<int>& samples)
{
    const unsigned bytes = unsigned(samples.size()) * bits / 8;
    std::string s = "RIFF";
    Put32(s, 36 + bytes);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);
    Put16(s, channels);
    Put32(s, rate);
    Put32(s, rate * channels * bits / 8);
    Put16(s, channels * bits / 8);
    Put16(s, bits);
    s += "data";
    Put32(s, bytes);
    for (int v : samples) {
        if (bits == 8) s.push_back(char(v & 255));
        else Put16(s, unsigned(v) & 0xffff);
    }
    return s;
}

// frames of a constant value in every channel (16-bit).
inline std::string MakeConstantWav(unsigned rate, unsigned channels, size_t frames, int value)
{
    return MakeWav(rate, channels, 16, std::vector<int>(frames * channels, value));
}

// A "M.K." module, three orders over three patterns, one looped square-wave
// sample played at row 0 of every pattern. speed (ticks per row) and bpm are
// set at row 0 of the first pattern; 64 rows per pattern.
inline std::string MakeModule(int speed, int bpm)
{
    std::string m(1084 + 3 * 1024 + 32, '\0');
    const char title[] = "test module";
    m.replace(0, sizeof(title) - 1, title);
    const size_t s = 20;
    m.replace(s, 6, "square");
    m[s + 23] = 16;  // length in words
    m[s + 25] = 64;  // volume
    m[s + 29] = 16;  // loop length in words
    m[950] = 3;      // song length
    m[951] = 127;
    m[952] = 0;
    m[953] = 1;
    m[954] = 2;
    m.replace(1080, 4, "M.K.");
    for (int p = 0; p < 3; ++p) {
        const size_t row0 = 1084 + size_t(p) * 1024;
        const unsigned period = 428u >> p;
        m[row0 + 0] = char(period >> 8);
        m[row0 + 1] = char(period & 255);
        m[row0 + 2] = 0x10;
        if (p == 0) {
            m[row0 + 4 + 2] = 0x0F;
            m[row0 + 4 + 3] = char(speed);
            m[row0 + 8 + 2] = 0x0F;
            m[row0 + 8 + 3] = char(bpm);
        }
    }
    for (int i = 0; i < 32; ++i) m[1084 + 3 * 1024 + size_t(i)] = char(i < 16 ? 0x40 : 0xC0);
    return m;
}

// A file of the repository (VEK_REPO_DIR); empty when missing.
inline std::string RepoFile(const std::string& relative)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    std::ifstream in(std::string(repo ? repo : ".") + "/" + relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Largest absolute sample value of interleaved stereo frames [from, to).
inline int Peak(const std::vector<int16_t>& pcm, size_t from, size_t to)
{
    int peak = 0;
    for (size_t i = from * 2; i < to * 2 && i < pcm.size(); ++i)
        peak = std::max(peak, std::abs(int(pcm[i])));
    return peak;
}

}  // namespace vektest
