// UTF-8 <-> CP932 through iconv. The name "CP932" matters: glibc's SHIFT_JIS refuses
// characters that Windows maps (～ U+FF5E, ① ...). Unmappable characters are handled one
// at a time so that the rest of the text survives.
#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace zorvane {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// One conversion descriptor per thread and direction: iconv_t carries shift state and
// must not be shared between threads.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }
    void reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  private:
    iconv_t cd_;
};

const IconvHandle& toCp932() {
    thread_local IconvHandle handle("CP932", "UTF-8");
    return handle;
}

const IconvHandle& fromCp932() {
    thread_local IconvHandle handle("UTF-8", "CP932");
    return handle;
}

// Decodes the well-formed character at pos (caller checked its length).
char32_t decodeChar(std::string_view s, size_t pos, size_t len) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    if (len == 1) return b(0);
    if (len == 2) return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if (len == 3) return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
}

void appendFallback(std::string& out, char32_t c, Unmappable how) {
    if (how == Unmappable::Question) {
        out += '?';
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "&#%u;", static_cast<unsigned>(c));
    out += buffer;
}

// Runs iconv over in; on an invalid or unmappable sequence it stops and returns the
// number of input bytes consumed. Returns in.size() when everything was converted.
size_t convertRun(const IconvHandle& cd, std::string_view in, std::string& out) {
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - inLeft;
}

// Converts a run of well-formed UTF-8; an unmappable character becomes the fallback. Returns
// how many characters became "?".
size_t encodeValidRun(std::string_view run, Unmappable how, std::string& out) {
    size_t lost = 0;
    const IconvHandle& cd = toCp932();
    size_t pos = 0;
    while (pos < run.size()) {
        if (!cd.valid()) {
            out += '?';
            pos += 1;
            ++lost;
            continue;
        }
        cd.reset();
        pos += convertRun(cd, run.substr(pos), out);
        if (pos >= run.size()) break;
        size_t len = utf8CharLength(run, pos);
        if (len == 0) len = 1;
        appendFallback(out, decodeChar(run, pos, len), how);
        if (how == Unmappable::Question) ++lost;
        pos += len;
    }
    return lost;
}

}  // namespace

size_t utf8CharLength(std::string_view s, size_t pos) {
    if (pos >= s.size()) return 0;
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    unsigned char c = b(0);
    if (c < 0x80) return 1;
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;  // overlong
        if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;  // overlong
        if (c == 0xF4) hi = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    if (b(1) < lo || b(1) > hi) return 0;
    for (size_t i = 2; i < len; ++i)
        if ((b(i) & 0xC0) != 0x80) return 0;
    return len;
}

bool isValidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        size_t len = utf8CharLength(bytes, pos);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

std::string utf8ToCp932(std::string_view utf8, Unmappable how, size_t* lost) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0, replaced = 0;
    while (pos < utf8.size()) {
        size_t end = pos;
        size_t len;
        while (end < utf8.size() && (len = utf8CharLength(utf8, end)) > 0) end += len;
        replaced += encodeValidRun(utf8.substr(pos, end - pos), how, out);
        if (end < utf8.size()) {
            out += '?';  // a byte that is not UTF-8 at all
            ++replaced;
            ++end;
        }
        pos = end;
    }
    if (lost) *lost += replaced;
    return out;
}

std::string cp932ToUtf8(std::string_view cp932) {
    const IconvHandle& cd = fromCp932();
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    size_t pos = 0;
    while (pos < cp932.size()) {
        if (!cd.valid()) return displayUtf8(cp932);
        cd.reset();
        pos += convertRun(cd, cp932.substr(pos), out);
        if (pos < cp932.size()) {
            out += kReplacement;
            ++pos;  // the trail byte may be a character of its own
        }
    }
    return out;
}

std::string toUtf8Lenient(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    return cp932ToUtf8(bytes);
}

std::string displayUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t pos = 0; pos < bytes.size();) {
        size_t len = utf8CharLength(bytes, pos);
        if (len == 0) {
            out += kReplacement;
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

}  // namespace zorvane
