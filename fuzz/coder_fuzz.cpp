// Decodes arbitrary text through every step a coder chain can hold, and
// through a chain named by the input itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/coder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using vek::cCoder;
    const cCoder::bytes input(data, data + size);

    // Base64 decoding: a success must survive encoding and decoding again.
    cCoder::bytes decoded = input;
    if (cCoder::DecodeBase64(decoded)) {
        cCoder::bytes again = decoded;
        cCoder::EncodeBase64(again);
        if (!cCoder::DecodeBase64(again) || again != decoded)
            std::abort();
    } else if (decoded != input) {
        std::abort();   // a failed step must leave the bytes alone
    }

    // Xor is its own inverse.
    cCoder::bytes flipped = input;
    const uint8_t value = size ? data[0] : 0;
    cCoder::Xor(flipped, value);
    cCoder::Xor(flipped, value);
    if (flipped != input)
        std::abort();

    // The first line names a chain; the rest is decoded by it. Whatever the
    // settings, a failed decoding leaves the text unchanged.
    const std::string text(size ? reinterpret_cast<const char*>(data) : "", size);
    const size_t eol = text.find('\n');
    const vek::string settings(text.substr(0, eol));
    const vek::string body(eol == std::string::npos ? std::string() : text.substr(eol + 1));
    cCoder coder(settings);
    vek::string work = body;
    if (!coder.Decode(work) && work != body)
        std::abort();
    vek::string round = body;
    if (coder.Encode(round) && (!coder.Decode(round) || round != body))
        std::abort();
    return 0;
}
