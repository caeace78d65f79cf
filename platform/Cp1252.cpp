// Windows-1252 to UTF-8 and back, by table, without iconv (which refuses the five undefined bytes).
#include "platform/Cp1252.h"

#include <cstdint>

#include "platform/Utf8.h"

namespace tw::platform {

namespace {

// Code points of bytes 0x80..0x9F; the rest of the bytes are their own code point (Latin-1).
constexpr char32_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                               0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                               0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (High[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::string Cp1252::toUtf8(std::string_view ansi) const {
    std::string out;
    out.reserve(ansi.size());
    for (const char ch : ansi) {
        const auto b = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? High[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

std::string Cp1252::fromUtf8(std::string_view s) const {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<std::uint8_t>(s[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool ok = true;
        std::size_t k = 1;
        for (; ok && k <= static_cast<std::size_t>(extra); ++k) {
            if (i + k >= s.size() || (static_cast<std::uint8_t>(s[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (static_cast<std::uint8_t>(s[i + k]) & 0x3F);
        }
        // Overlong forms and values past U+10FFFF are not UTF-8: they must not sneak in as ASCII.
        static constexpr char32_t Least[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && (c < Least[extra] || c > 0x10FFFF)) {
            out += '?';
            i += static_cast<std::size_t>(extra) + 1;
            continue;
        }
        if (!ok) {
            out += '?';
            i += k;
            continue;
        }
        out += ByteFor(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace tw::platform
