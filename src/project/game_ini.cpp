#include "project/game_ini.h"

#include <iconv.h>

#include <cerrno>

#include "platform/codepage.h"
#include "platform/file_util.h"
#include "platform/ini_file.h"

namespace zorvane {

namespace {

// Whole-text conversion that fails on the first byte sequence the code page rejects.
bool convertStrict(const std::string& in, const char* from, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(in.size() * 3 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    out.resize(out.size() - dstLeft);
    return true;
}

}  // namespace

std::string decodeSystemText(const std::string& bytes, std::string* encoding) {
    std::string out;
    if (isValidUtf8(bytes)) {
        if (encoding) *encoding = "UTF-8";
        return bytes;
    }
    if (convertStrict(bytes, "CP932", out)) {
        if (encoding) *encoding = "CP932";
        return out;
    }
    if (convertStrict(bytes, "GBK", out)) {
        if (encoding) *encoding = "GBK";
        return out;
    }
    if (encoding) *encoding = "CP932";
    return cp932ToUtf8(bytes);
}

bool readGameIni(const std::string& path, GameIni& out, std::string* error) {
    out = GameIni{};
    std::string bytes;
    if (!readRegularFile(path, kMaxGameIniBytes, bytes, error)) return false;
    IniFile ini = IniFile::fromText(decodeSystemText(bytes, &out.encoding));
    out.title = ini.get("Game", "Title", "");
    for (int n = 0; n < 3; ++n) {
        std::string name = ini.get("Game", "RTP" + std::to_string(n + 1), "");
        if (name.size() > 511) name.resize(511);
        out.rtp[n] = name;
    }
    out.library = ini.get("Game", "Library", "");
    return true;
}

}  // namespace zorvane
