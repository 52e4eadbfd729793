#pragma once
// Turns a text into its transfer form and back through a chain of simple
// steps named in a settings string: "base64" and "xor(N)" with N from 1 to
// 255, separated by blanks. Encoding runs the chain forwards, decoding
// backwards. A coder holds no key beyond the xor values of its settings; it
// is built, used once and thrown away.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"

namespace vek {

class cCoder {
public:
    using bytes = std::vector<uint8_t>;

    // Builds the chain; an empty or invalid settings string leaves it empty
    // (with a warning), and every Encode/Decode then fails.
    explicit cCoder(const string& settings);
    virtual ~cCoder() = default;

    // Replace the text with its coded / decoded form. false leaves the text
    // unchanged.
    bool Encode(string& text) const;
    bool Decode(string& text) const;

    // The same on bytes. On false the data may be partly processed.
    bool EncodeData(bytes& data) const;
    bool DecodeData(bytes& data) const;

    // RFC 4648 Base64 with "=" padding and "\r\n" after every 64 characters.
    static void EncodeBase64(bytes& data);
    // Skips every byte outside the alphabet (line breaks and "=" included).
    // false (data unchanged) when the count of alphabet characters cannot
    // come from Base64 (4k + 1).
    static bool DecodeBase64(bytes& data);
    static void Xor(bytes& data, uint8_t value);

    // "base64", or "xor(" + 1 to 3 digits with a value 1..255 + ")".
    static bool IsValidAlgorithm(const string& entry);
    // name "(" argument ")" with ")" last and a non-empty name.
    static bool ParseAlgorithm(const string& entry, string& name, string& argument);

    const strlist& GetAlgorithms() const { return m_lstAlgorithms; }

private:
    // Applies one entry of the chain; false for an entry that is no step.
    static bool ApplyStep(const string& entry, bytes& data, bool decode);

    strlist m_lstAlgorithms;
};

} // namespace vek
