#include "marshal_test_util.h"

#include <cstdio>

#include "support/test_support.h"

namespace ztest {

std::string hexBytes(const std::string& hex) {
    std::string out;
    unsigned v = 0;
    int digits = 0;
    for (char c : hex) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) continue;
        v = v * 16 + static_cast<unsigned>(d);
        if (++digits == 2) {
            out.push_back(static_cast<char>(v));
            v = 0;
            digits = 0;
        }
    }
    return out;
}

bool rubyWrite(const std::string& program, const std::string& outPath) {
    TempDir dir;
    std::string script = dir.file("p.rb");
    writeFile(script, "# encoding: utf-8\nOUT = ARGV[0]\n" + program);
    return run("ruby " + shellQuote(script) + " " + shellQuote(outPath) + " 2>&1") == 0;
}

std::string describe(const zorvane::MarshalValue& v) {
    using zorvane::MarshalValue;
    char buf[64];
    switch (v.kind()) {
        case MarshalValue::Nil:
            return "nil";
        case MarshalValue::True:
            return "true";
        case MarshalValue::False:
            return "false";
        case MarshalValue::Fixnum:
        case MarshalValue::Bignum:
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.integer()));
            return buf;
        case MarshalValue::Float:
            std::snprintf(buf, sizeof buf, "f(%.17g)", v.floatValue());
            return buf;
        case MarshalValue::String:
            return "s(" + std::string(v.rawText()) + ")";
        case MarshalValue::Symbol:
            return ":" + std::string(v.rawText());
        case MarshalValue::Ivars:
            return describe(v.children()[0]);
        case MarshalValue::Array: {
            std::string out = "[";
            for (size_t i = 0; i < v.children().size(); ++i)
                out += (i ? "," : "") + describe(v.children()[i]);
            return out + "]";
        }
        case MarshalValue::Hash: {
            std::string out = "{";
            for (size_t i = 0; i < v.pairs().size(); ++i)
                out += (i ? "," : "") + describe(v.pairs()[i].first) + "=>" +
                       describe(v.pairs()[i].second);
            return out + "}";
        }
        case MarshalValue::Object: {
            std::string out = "o(" + v.className();
            for (const auto& p : v.pairs()) out += "," + p.first.text() + "=" + describe(p.second);
            return out + ")";
        }
        case MarshalValue::UserDump: {
            std::string out = "u(" + v.className() + ",";
            for (unsigned char c : v.bytes()) {
                std::snprintf(buf, sizeof buf, "%02x", c);
                out += buf;
            }
            return out + ")";
        }
        case MarshalValue::Link:
            std::snprintf(buf, sizeof buf, "@%d", v.fixnum());
            return buf;
        default:
            std::snprintf(buf, sizeof buf, "?%c", static_cast<char>(v.kind()));
            return buf;
    }
}

}  // namespace ztest
