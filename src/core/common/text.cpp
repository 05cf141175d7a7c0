#include "common/text.hpp"

namespace vantro {

// Decodes like Python's bytes.decode("utf-8", "replace"): every maximal
// subpart of an ill-formed sequence becomes one U+FFFD (surrogates, overlong
// forms and values above U+10FFFF are ill-formed), so offsets match the host.
Text from_utf8(std::string_view s) {
    Text out;
    out.reserve(s.size());
    const std::size_t n = s.size();
    std::size_t i = 0;
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    while (i < n) {
        const unsigned char c = byte(i);
        if (c < 0x80) { out.push_back(c); ++i; continue; }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3; cp = c & 0x0F;
            if (c == 0xE0) lo = 0xA0;
            else if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4; cp = c & 0x07;
            if (c == 0xF0) lo = 0x90;
            else if (c == 0xF4) hi = 0x8F;
        } else { out.push_back(0xFFFD); ++i; continue; }
        std::size_t k = 1;
        for (; k < len && i + k < n; ++k) {
            const unsigned char cc = byte(i + k);
            if (cc < (k == 1 ? lo : 0x80) || cc > (k == 1 ? hi : 0xBF)) break;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (k < len) { out.push_back(0xFFFD); i += k; continue; }
        out.push_back(cp);
        i += len;
    }
    return out;
}

Text decimal(std::int64_t n) {
    const std::string digits = std::to_string(n);
    return Text(digits.begin(), digits.end());
}

std::string to_utf8(TextView s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t cp : s) {
        if (cp < 0x80) out.push_back(static_cast<char>(cp));
        else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace vantro
