// A skipping walk over Marshal 4.8: every value is stepped over by its type byte, only the
// symbols are kept (a symbol link names an ivar by its index), and only the top array's
// objects look at their ivars.
#include "marshal/name_scan.h"

#include <cstdint>

namespace zorvane {

namespace {

constexpr int kMaxDepth = 1000;

class Scanner {
  public:
    explicit Scanner(std::string_view bytes) : p_(bytes) {}

    bool header() { return byte() == 4 && byte() == 8 && ok_; }
    bool atEnd() const { return ok_ && at_ == p_.size(); }
    bool ok() const { return ok_; }

    int type() { return byte(); }

    long number() {
        const int c = static_cast<int8_t>(byte());
        if (c == 0) return 0;
        if (c >= 5) return c - 5;
        if (c <= -5) return c + 5;
        // Unsigned: a cut file gives byte() == -1, and a shifted negative value is undefined.
        unsigned long v = 0;
        if (c > 0) {
            for (int i = 0; i < c; ++i) v |= (unsigned long)(byte() & 0xFF) << (8 * i);
            return long(v);
        }
        v = ~0UL;
        for (int i = 0; i < -c; ++i) {
            v &= ~(0xFFUL << (8 * i));
            v |= (unsigned long)(byte() & 0xFF) << (8 * i);
        }
        return long(v);
    }

    std::string_view bytes() {
        const long n = number();
        if (n < 0 || size_t(n) > p_.size() - at_) return fail();
        std::string_view out = p_.substr(at_, size_t(n));
        at_ += size_t(n);
        return out;
    }

    // A symbol or a symbol link; "" (and a failure) for anything else.
    std::string_view symbol() {
        const int t = type();
        if (t == ':') {
            symbols_.push_back(bytes());
            return symbols_.back();
        }
        if (t == ';') {
            const long i = number();
            if (i >= 0 && size_t(i) < symbols_.size()) return symbols_[size_t(i)];
        }
        return fail();
    }

    // Steps over one value whose type byte was read.
    void skip(int t, int depth) {
        if (!ok_ || depth > kMaxDepth) {
            fail();
            return;
        }
        switch (t) {
            case '0':
            case 'T':
            case 'F':
                return;
            case 'i':
            case '@':
                number();
                return;
            case ':':
            case ';':
                --at_;
                symbol();
                return;
            case '"':
            case 'f':
            case 'c':
            case 'm':
            case 'M':
                bytes();
                return;
            case '/':
                bytes();
                byte();
                return;
            case 'l':
                byte();
                skipRaw(size_t(number()) * 2);
                return;
            case 'I':
                skip(type(), depth + 1);
                pairs(depth);
                return;
            case 'e':
            case 'C':
            case 'U':
            case 'd':
                symbol();
                skip(type(), depth + 1);
                return;
            case 'u':
                symbol();
                bytes();
                return;
            case 'o':
            case 'S':
                symbol();
                pairs(depth);
                return;
            case '[':
                for (long n = count(); n > 0 && ok_; --n) skip(type(), depth + 1);
                return;
            case '{':
            case '}':
                for (long n = count(); n > 0 && ok_; --n) {
                    skip(type(), depth + 1);
                    skip(type(), depth + 1);
                }
                if (t == '}') skip(type(), depth + 1);
                return;
            default:
                fail();
        }
    }

    // A count of elements or pairs; a negative one is a damaged file.
    long count() {
        const long n = number();
        if (n < 0 || size_t(n) > p_.size()) fail();
        return ok_ ? n : 0;
    }

    // The ivar pairs of an object or of an I wrapper.
    void pairs(int depth) {
        for (long n = count(); n > 0 && ok_; --n) {
            symbol();
            skip(type(), depth + 1);
        }
    }

    // A name's value: a string (maybe with ivars) or nil; false for anything else.
    bool nameValue(std::string& out) {
        int t = type();
        const bool wrapped = t == 'I';
        if (wrapped) t = type();
        if (t == '0' && !wrapped) return true;
        if (t != '"') return false;
        std::string_view text = bytes();
        out.assign(text.substr(0, text.find('\0')));
        if (wrapped) pairs(0);
        return ok_;
    }

    std::string_view fail() {
        ok_ = false;
        at_ = p_.size();
        return {};
    }

  private:
    int byte() {
        if (at_ >= p_.size()) {
            fail();
            return -1;
        }
        return static_cast<unsigned char>(p_[at_++]);
    }
    void skipRaw(size_t n) {
        if (n > p_.size() - at_)
            fail();
        else
            at_ += n;
    }

    std::string_view p_;
    size_t at_ = 0;
    bool ok_ = true;
    std::vector<std::string_view> symbols_;
};

}  // namespace

std::optional<ScannedNames> scanArrayNames(std::string_view bytes) {
    Scanner s(bytes);
    if (!s.header() || s.type() != '[') return std::nullopt;
    ScannedNames out;
    const long n = s.count();
    out.names.resize(size_t(n));
    out.classes.resize(size_t(n));
    for (long i = 0; i < n && s.ok(); ++i) {
        const int t = s.type();
        if (t == '0') continue;
        if (t != 'o') return std::nullopt;
        out.classes[size_t(i)] = std::string(s.symbol());
        bool named = false;
        for (long k = s.count(); k > 0 && s.ok(); --k) {
            // The first @name counts, as a look-up by name finds it first.
            if (s.symbol() == "@name" && !named) {
                named = true;
                if (!s.nameValue(out.names[size_t(i)])) return std::nullopt;
            } else {
                s.skip(s.type(), 1);
            }
        }
    }
    if (!s.atEnd()) return std::nullopt;
    return out;
}

}  // namespace zorvane
