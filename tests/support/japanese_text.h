// Whether a text the program wrote in English still holds Japanese.
#pragma once

#include <string>

namespace ztest {

// A code point from U+3000 on (kana, kanji, full-width forms): in UTF-8 a byte from 0xE3 on
// can only lead one of those.
inline bool hasJapanese(const std::string& utf8) {
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0xE3) return true;
    return false;
}

}  // namespace ztest
