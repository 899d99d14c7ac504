#include "marshal/marshal_reader.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "marshal/marshal_arena.h"

namespace zorvane {

namespace {

bool isZlibHeader(std::string_view s) {
    return s.size() >= 2 && static_cast<uint8_t>(s[0]) == 0x78 &&
           static_cast<uint8_t>(s[1]) == 0x9C;
}

// Inflates a whole zlib stream; fails on a zlib error, on input that ends before the
// stream does, or once the output would pass the cap.
enum class InflateResult { Ok, Error, TooLarge };
InflateResult inflateAll(std::string_view in, std::string& out, size_t cap) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return InflateResult::Error;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    out.clear();
    char chunk[32768];
    int rc = Z_OK;
    InflateResult result = InflateResult::Ok;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk);
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        size_t got = sizeof chunk - zs.avail_out;
        if (out.size() + got > cap) {
            result = InflateResult::TooLarge;
            break;
        }
        out.append(chunk, got);
        if (rc == Z_BUF_ERROR || (rc == Z_OK && got == 0 && zs.avail_in == 0)) {
            rc = Z_DATA_ERROR;  // input ended before the stream did
        }
    }
    inflateEnd(&zs);
    if (result != InflateResult::Ok) return result;
    return rc == Z_STREAM_END ? InflateResult::Ok : InflateResult::Error;
}

}  // namespace

bool MarshalReader::fail(MarshalError::Code code, int byte) {
    if (error_.ok()) {
        error_.code = code;
        error_.offset = static_cast<size_t>(p_ - begin_);
        error_.byte = byte;
    }
    return false;
}

bool MarshalReader::readByte(int& out) {
    if (p_ >= end_) return fail(MarshalError::Code::Truncated);
    out = *p_++;
    return true;
}

bool MarshalReader::readLong(int32_t& out) {
    if (p_ >= end_) return fail(MarshalError::Code::Truncated);
    int c = static_cast<int8_t>(*p_++);
    if (c == 0) {
        out = 0;
    } else if (c >= 5) {
        out = c - 5;
    } else if (c <= -5) {
        out = c + 5;
    } else if (c > 0) {
        if (end_ - p_ < c) return fail(MarshalError::Code::Truncated);
        uint32_t v = 0;
        for (int i = 0; i < c; ++i) v |= static_cast<uint32_t>(*p_++) << (8 * i);
        out = static_cast<int32_t>(v);
    } else {
        int n = -c;
        if (end_ - p_ < n) return fail(MarshalError::Code::Truncated);
        uint32_t v = 0xFFFFFFFFu;
        for (int i = 0; i < n; ++i) {
            v &= ~(uint32_t{0xFF} << (8 * i));
            v |= static_cast<uint32_t>(*p_++) << (8 * i);
        }
        out = static_cast<int32_t>(v);
    }
    return true;
}

// A count whose elements could not fit in what is left is refused before anything is
// allocated, so a tiny file cannot ask for a huge array.
bool MarshalReader::readCount(int32_t& out, size_t minBytesEach) {
    const uint8_t* at = p_;
    if (!readLong(out)) return false;
    if (out < 0) {
        p_ = at;
        return fail(MarshalError::Code::BadLength);
    }
    if (static_cast<size_t>(out) > static_cast<size_t>(end_ - p_) / minBytesEach) {
        p_ = at;
        return fail(MarshalError::Code::Truncated);
    }
    return true;
}

bool MarshalReader::readBytes(std::string_view& out) {
    int32_t len = 0;
    if (!readCount(len, 1)) return false;
    out = std::string_view(reinterpret_cast<const char*>(p_), static_cast<size_t>(len));
    p_ += len;
    // Texts are UTF-8 on this platform, so there is no code-page conversion to do: the
    // bytes are kept exactly as stored and written back unchanged.
    return true;
}

// The cap of one string is the least of its own cap, what the file has left and what the
// project has left.
bool MarshalReader::inflateString(MarshalValue& node, std::string_view stored) {
    size_t fileLeft = limits_.perFile > inflated_ ? limits_.perFile - inflated_ : 0;
    size_t projectLeft = limits_.projectLeft ? limits_.projectLeft->load() : SIZE_MAX;
    size_t cap = std::min({limits_.perString, fileLeft, projectLeft});
    std::string inflated;
    InflateResult r = inflateAll(stored, inflated, cap);
    if (r != InflateResult::Ok) {
        p_ = reinterpret_cast<const uint8_t*>(stored.data());
        if (r == InflateResult::Error) return fail(MarshalError::Code::Zlib);
        if (cap == limits_.perString) return fail(MarshalError::Code::TooLarge);
        if (cap == fileLeft)
            return fail(MarshalError::Code::FileInflateBudget,
                        static_cast<int>(limits_.perFile >> 20));
        return fail(MarshalError::Code::ProjectInflateBudget,
                    static_cast<int>(InflateLimits::kPerProject >> 20));
    }
    inflated_ += inflated.size();
    if (limits_.projectLeft) limits_.projectLeft->fetch_sub(std::min(inflated.size(), projectLeft));
    std::string_view text = arena_->adopt(std::move(inflated));
    Text* form = arena_->allocateArray<Text>(1);
    form->data = stored.data();
    form->size = static_cast<uint32_t>(stored.size());
    node.a_.text = text.data();
    node.n_ = static_cast<uint32_t>(text.size());
    node.b_.stored = form;
    return true;
}

bool MarshalReader::readString(MarshalValue& node) {
    std::string_view bytes;
    if (!readBytes(bytes)) return false;
    node.kind_ = MarshalValue::String;
    if (isZlibHeader(bytes)) return inflateString(node, bytes);
    node.a_.text = bytes.data();
    node.n_ = static_cast<uint32_t>(bytes.size());
    return true;
}

// Symbols are interned once per dump: every later use shares the first one's text, which
// stays in the file's bytes.
bool MarshalReader::readSymbolText(const Text*& out) {
    int type = 0;
    if (!readByte(type)) return false;
    if (type == ':') {
        std::string_view name;
        if (!readBytes(name)) return false;
        Text* t = arena_->allocateArray<Text>(1);
        t->data = name.data();
        t->size = static_cast<uint32_t>(name.size());
        symbols_.push_back(t);
        out = t;
        return true;
    }
    if (type == ';') {
        int32_t index = 0;
        if (!readLong(index)) return false;
        static const Text kEmpty{"", 0};
        out = index >= 0 && static_cast<size_t>(index) < symbols_.size()
                  ? symbols_[static_cast<size_t>(index)]
                  : &kEmpty;
        return true;
    }
    --p_;
    return fail(MarshalError::Code::BadSymbol, type);
}

bool MarshalReader::readSymbol(MarshalValue& node, int32_t kind) {
    const Text* name = nullptr;
    if (!readSymbolText(name)) return false;
    node.kind_ = static_cast<uint8_t>(kind);
    node.a_.text = name->data;
    node.n_ = name->size;
    return true;
}

bool MarshalReader::readPair(ValuePair& pair, bool restrictWrapped, int depth) {
    if (!readSymbol(pair.first, MarshalValue::String)) return false;
    if (restrictWrapped) {
        if (p_ >= end_) return fail(MarshalError::Code::Truncated);
        int next = *p_;
        if (next != '"' && next != '/' && next != '[' && next != '{')
            return fail(MarshalError::Code::BadWrapped, next);
    }
    return readValue(pair.second, depth + 1);
}

bool MarshalReader::readPairs(MarshalValue& node, int depth) {
    int32_t count = 0;
    if (!readCount(count, 3)) return false;
    node.a_.pairs = MarshalValue::newPairs(*arena_, static_cast<size_t>(count));
    node.n_ = static_cast<uint32_t>(count);
    for (int32_t i = 0; i < count; ++i)
        if (!readPair(node.a_.pairs[i], false, depth)) return false;
    return true;
}

bool MarshalReader::readBignum(MarshalValue& node) {
    const uint8_t* start = p_;
    int sign = 0;
    if (!readByte(sign)) return false;
    node.kind_ = MarshalValue::Bignum;
    if (sign != '+' && sign != '-') {
        node.a_.big = 0;
        return true;
    }
    int32_t words = 0;
    if (!readLong(words)) return false;
    uint64_t magnitude = 0;
    if (words > 0) {
        if (static_cast<size_t>(words) > static_cast<size_t>(end_ - p_) / 2)
            return fail(MarshalError::Code::Truncated);
        for (int32_t w = 0; w < words; ++w) {
            uint64_t word = static_cast<uint64_t>(p_[0]) | static_cast<uint64_t>(p_[1]) << 8;
            if (w < 4) magnitude |= word << (16 * w);
            p_ += 2;
        }
    }
    int64_t value = static_cast<int64_t>(magnitude);
    node.a_.big = sign == '-' ? -value : value;
    if (words > 4) {  // wider than 64 bits: keep the stored digits for writing back
        Text* form = arena_->allocateArray<Text>(1);
        form->data = reinterpret_cast<const char*>(start);
        form->size = static_cast<uint32_t>(p_ - start);
        node.b_.stored = form;
    }
    return true;
}

bool MarshalReader::readFloat(MarshalValue& node) {
    std::string_view digits;
    if (!readBytes(digits)) return false;
    double v = 0.0;
    std::string_view s = digits.substr(0, digits.find('\0'));
    if (s == "inf")
        v = HUGE_VAL;
    else if (s == "-inf")
        v = -HUGE_VAL;
    else if (s == "nan")
        v = std::numeric_limits<double>::quiet_NaN();
    else if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc())
        v = 0.0;
    node.kind_ = MarshalValue::Float;
    node.a_.real = v;
    node.b_.digits = digits.data();
    node.n_ = static_cast<uint32_t>(digits.size());
    return true;
}

// The one child of a wrapper (the wrapped value, a dump's data, a hash's default).
bool MarshalReader::readPathlessChild(MarshalValue*& child, int depth) {
    child = MarshalValue::newNodes(*arena_, 1);
    return readValue(*child, depth + 1);
}

// Every object gets its number, wrapped ones too: a link may name the string inside an
// instance-variable wrapper, and the writer must find it to renumber the link.
void MarshalReader::registerObject(const MarshalValue& node) {
    current_.objects.push_back(&node);
}

bool MarshalReader::readValue(MarshalValue& node, int depth) {
    if (depth > kMaxDepth) return fail(MarshalError::Code::TooDeep);
    int type = 0;
    if (!readByte(type)) return false;
    // Nodes arrive fresh (nil) from their parent's run: only what differs is set.
    switch (type) {
        case '0':
            return true;
        case 'T':
        case 'F':
            node.kind_ = static_cast<uint8_t>(type);
            return true;
        case 'i': {
            int32_t v = 0;
            if (!readLong(v)) return false;
            node.kind_ = MarshalValue::Fixnum;
            node.n_ = static_cast<uint32_t>(v);
            return true;
        }
        case 'l':
            registerObject(node);
            return readBignum(node);
        case 'f':
            registerObject(node);
            return readFloat(node);
        case '"':
            registerObject(node);
            return readString(node);
        case ':':
        case ';':
            --p_;
            return readSymbol(node, MarshalValue::Symbol);
        case 'c':
        case 'm':
        case '/': {
            registerObject(node);
            std::string_view text;
            if (!readBytes(text)) return false;
            node.kind_ = static_cast<uint8_t>(type);
            node.a_.text = text.data();
            node.n_ = static_cast<uint32_t>(text.size());
            if (type != '/') return true;
            int option = 0;
            if (!readByte(option)) return false;
            node.small_ = static_cast<uint16_t>(option);
            return true;
        }
        case '[': {
            registerObject(node);
            int32_t count = 0;
            if (!readCount(count, 1)) return false;
            node.kind_ = MarshalValue::Array;
            node.a_.kids = MarshalValue::newNodes(*arena_, static_cast<size_t>(count));
            node.n_ = static_cast<uint32_t>(count);
            for (int32_t i = 0; i < count; ++i)
                if (!readValue(node.a_.kids[i], depth + 1)) return false;
            return true;
        }
        case '{':
        case '}': {
            registerObject(node);
            int32_t count = 0;
            if (!readCount(count, 2)) return false;
            node.kind_ = static_cast<uint8_t>(type);
            node.a_.pairs = MarshalValue::newPairs(*arena_, static_cast<size_t>(count));
            node.n_ = static_cast<uint32_t>(count);
            for (int32_t i = 0; i < count; ++i) {
                ValuePair& pair = node.a_.pairs[i];
                if (!readValue(pair.first, depth + 1) || !readValue(pair.second, depth + 1))
                    return false;
            }
            if (type == '}') return readPathlessChild(node.b_.child, depth);
            return true;
        }
        case 'o':
        case 'S': {
            registerObject(node);
            node.kind_ = static_cast<uint8_t>(type);
            return readSymbolText(node.b_.name) && readPairs(node, depth);
        }
        case 'u': {
            registerObject(node);
            node.kind_ = MarshalValue::UserDump;
            std::string_view payload;
            if (!readSymbolText(node.b_.name) || !readBytes(payload)) return false;
            node.a_.text = payload.data();
            node.n_ = static_cast<uint32_t>(payload.size());
            return true;
        }
        case 'U': {
            registerObject(node);
            node.kind_ = MarshalValue::MarshalDump;
            if (!readSymbolText(node.b_.name)) return false;
            node.n_ = 1;
            return readPathlessChild(node.a_.kids, depth);
        }
        case 'I': {
            node.kind_ = MarshalValue::Ivars;
            return readPathlessChild(node.b_.child, depth) && readPairs(node, depth);
        }
        case 'C': {
            node.kind_ = MarshalValue::UserClass;
            node.a_.pairs = MarshalValue::newPairs(*arena_, 1);
            node.n_ = 1;
            return readPair(node.a_.pairs[0], true, depth);
        }
        case '@': {
            int32_t index = 0;
            if (!readLong(index)) return false;
            node.kind_ = MarshalValue::Link;
            node.n_ = static_cast<uint32_t>(index);
            current_.links.emplace_back(&node, index);
            return true;
        }
        default:
            --p_;
            return fail(MarshalError::Code::UnsupportedType, type);
    }
}

bool MarshalReader::readAll(MarshalArena& arena, const uint8_t* data, size_t size,
                            MarshalValue*& root, ValuePathIndex& index) {
    error_ = MarshalError{};
    index.clear();
    arena_ = &arena;
    inflated_ = 0;
    begin_ = p_ = data;
    end_ = data + size;
    std::vector<TopLevelObjects> tables;
    std::vector<MarshalValue*> tops;
    while (p_ < end_) {
        symbols_.clear();
        current_ = TopLevelObjects{};
        if (end_ - p_ < 2) return fail(MarshalError::Code::Truncated);
        if (p_[0] != 4 || p_[1] != 8) return fail(MarshalError::Code::BadVersion);
        p_ += 2;
        tops.push_back(MarshalValue::newNodes(arena, 1));
        if (!readValue(*tops.back(), 1)) return false;
        tables.push_back(std::move(current_));
    }
    root = MarshalValue::newNodes(arena, 1);
    root->kind_ = MarshalValue::Array;
    root->a_.kids = MarshalValue::newNodes(arena, tops.size());
    root->n_ = static_cast<uint32_t>(tops.size());
    // The top-level nodes were read apart: move them into the root and point the object
    // tables at their new places.
    for (size_t i = 0; i < tops.size(); ++i) {
        std::memcpy(static_cast<void*>(&root->a_.kids[i]), tops[i], sizeof(MarshalValue));
        for (auto& obj : tables[i].objects)
            if (obj == tops[i]) obj = &root->a_.kids[i];
        for (auto& link : tables[i].links)
            if (link.first == tops[i]) link.first = &root->a_.kids[i];
    }
    index.build(*root);
    index.setObjectTables(std::move(tables));
    return true;
}

}  // namespace zorvane
