// UTF-8 validity, free of Qt so the stand-alone translation library can
// check its input with the same rule as the settings reader.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelm24 {

// Whether the bytes are whole UTF-8 characters: no overlong forms, no
// surrogates, nothing beyond U+10FFFF.
inline bool IsValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        int follow = 0;
        unsigned int code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) follow = 1, code = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) follow = 2, code = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) follow = 3, code = c & 0x07;
        else return false;
        if (i + follow >= n) return false;
        for (int k = 1; k <= follow; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if ((follow == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (follow == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += follow + 1;
    }
    return true;
}

}  // namespace kelm24
