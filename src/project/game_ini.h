// Reads Game.ini, which the editor writes in the system code page: UTF-8 when the bytes
// are valid UTF-8, else Shift_JIS (CP932); projects made on Chinese systems are in GBK,
// which is tried when the bytes are not valid CP932.
#pragma once

#include <cstdint>
#include <string>

namespace zorvane {

struct GameIni {
    std::string title;
    std::string rtp[3];
    std::string library;
    std::string encoding;  // "UTF-8", "CP932" or "GBK": how the file was read
};

// A real Game.ini holds a few lines; anything much bigger is not one.
constexpr uint64_t kMaxGameIniBytes = 64 * 1024;

// False when the file cannot be read (the fields are then empty, *error says why): also
// when it is not a regular file or larger than kMaxGameIniBytes.
bool readGameIni(const std::string& path, GameIni& out, std::string* error = nullptr);
// The decoding rule above, for any such text.
std::string decodeSystemText(const std::string& bytes, std::string* encoding = nullptr);

}  // namespace zorvane
