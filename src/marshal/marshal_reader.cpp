#include "marshal/marshal_reader.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <cstring>
#include <deque>

#include "marshal/byte_stream.h"

namespace zorvane {

namespace {

bool isZlibHeader(const std::string& s) {
    return s.size() >= 2 && static_cast<uint8_t>(s[0]) == 0x78 && static_cast<uint8_t>(s[1]) == 0x9C;
}

// Inflates a whole zlib stream; fails on a zlib error, on input that ends before the
// stream does, or once the output would pass the cap.
enum class InflateResult { Ok, Error, TooLarge };
InflateResult inflateAll(const std::string& in, std::string& out, size_t cap) {
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

bool MarshalReader::readBytes(std::string& out, std::string* storedForm) {
    int32_t len = 0;
    if (!readCount(len, 1)) return false;
    out.assign(reinterpret_cast<const char*>(p_), static_cast<size_t>(len));
    const uint8_t* start = p_;
    p_ += len;
    if (storedForm && isZlibHeader(out)) {
        std::string inflated;
        InflateResult r = inflateAll(out, inflated, inflateLimit_);
        if (r != InflateResult::Ok) {
            p_ = start;
            return fail(r == InflateResult::TooLarge ? MarshalError::Code::TooLarge
                                                     : MarshalError::Code::Zlib);
        }
        *storedForm = std::move(out);
        out = std::move(inflated);
    }
    // Texts are UTF-8 on this platform, so there is no code-page conversion to do: the
    // bytes are kept exactly as stored and written back unchanged.
    return true;
}

bool MarshalReader::readSymbolText(std::string& out) {
    int type = 0;
    if (!readByte(type)) return false;
    if (type == ':') {
        if (!readBytes(out, nullptr)) return false;
        symbols_.push_back(out);
        return true;
    }
    if (type == ';') {
        int32_t index = 0;
        if (!readLong(index)) return false;
        if (index >= 0 && static_cast<size_t>(index) < symbols_.size())
            out = symbols_[static_cast<size_t>(index)];
        else
            out.clear();
        return true;
    }
    --p_;
    return fail(MarshalError::Code::BadSymbol, type);
}

bool MarshalReader::readSymbol(MarshalValue& node) {
    std::string name;
    if (!readSymbolText(name)) return false;
    node.setRawString(std::move(name), MarshalValue::String);
    return true;
}

bool MarshalReader::readPair(ValuePair& pair, bool restrictWrapped, int depth) {
    if (!readSymbol(pair.first)) return false;
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
    PairArray& pairs = node.pairsForReading();
    pairs.resize(static_cast<size_t>(count));
    for (auto& pair : pairs)
        if (!readPair(pair, false, depth)) return false;
    return true;
}

bool MarshalReader::readBignum(MarshalValue& node) {
    const uint8_t* start = p_;
    int sign = 0;
    if (!readByte(sign)) return false;
    node.setKindForReading(MarshalValue::Bignum);
    if (sign != '+' && sign != '-') {
        node.setBigForReading(0);
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
    node.setBigForReading(sign == '-' ? -value : value);
    if (words > 4)  // wider than 64 bits: keep the stored digits for writing back
        node.setStoredForm(std::string(reinterpret_cast<const char*>(start),
                                       static_cast<size_t>(p_ - start)));
    return true;
}

bool MarshalReader::readFloat(MarshalValue& node) {
    std::string digits;
    if (!readBytes(digits, nullptr)) return false;
    double v = 0.0;
    std::string_view s(digits.c_str());  // ends at the first zero byte
    if (s == "inf") v = HUGE_VAL;
    else if (s == "-inf") v = -HUGE_VAL;
    else if (s == "nan") v = std::numeric_limits<double>::quiet_NaN();
    else if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc()) v = 0.0;
    node.setKindForReading(MarshalValue::Float);
    node.setFloatForReading(v);
    node.setFloatText(std::move(digits));
    return true;
}

// The one child of a wrapper (the wrapped value, a dump's data, a hash's default): the
// path index does not reach it, so objects registered inside it get no path.
bool MarshalReader::readPathlessChild(MarshalValue& node, int depth) {
    ValueArray& kids = node.childrenForReading();
    kids.resize(1);
    PathlessScope scope(pathless_);
    return readValue(kids[0], depth + 1);
}

void MarshalReader::registerObject(const MarshalValue& node) {
    current_.objects.push_back(pathless_ > 0 ? nullptr : &node);
}

bool MarshalReader::readValue(MarshalValue& node, int depth) {
    if (depth > kMaxDepth) return fail(MarshalError::Code::TooDeep);
    int type = 0;
    if (!readByte(type)) return false;
    // Nodes arrive fresh from their parent's buffer: nothing to reset.
    switch (type) {
        case '0': return true;
        case 'T': node.setTrue(); return true;
        case 'F': node.setFalse(); return true;
        case 'i': {
            int32_t v = 0;
            if (!readLong(v)) return false;
            node.setFixnum(v);
            return true;
        }
        case 'l': registerObject(node); return readBignum(node);
        case 'f': registerObject(node); return readFloat(node);
        case '"':
        case 'c':
        case 'm': {
            registerObject(node);
            std::string text, stored;
            if (!readBytes(text, type == '"' ? &stored : nullptr)) return false;
            node.setRawString(std::move(text), type);
            if (!stored.empty()) node.setStoredForm(std::move(stored));
            return true;
        }
        case '/': {
            registerObject(node);
            std::string text;
            int option = 0;
            if (!readBytes(text, nullptr) || !readByte(option)) return false;
            node.setRawString(std::move(text), MarshalValue::Regexp);
            node.setIntForReading(option);
            return true;
        }
        case '[': {
            registerObject(node);
            int32_t count = 0;
            if (!readCount(count, 1)) return false;
            node.setKindForReading(MarshalValue::Array);
            ValueArray& kids = node.childrenForReading();
            kids.resize(static_cast<size_t>(count));
            for (auto& kid : kids)
                if (!readValue(kid, depth + 1)) return false;
            return true;
        }
        case '{':
        case '}': {
            registerObject(node);
            int32_t count = 0;
            if (!readCount(count, 2)) return false;
            node.setKindForReading(type);
            PairArray& pairs = node.pairsForReading();
            pairs.resize(static_cast<size_t>(count));
            for (auto& pair : pairs)
                if (!readValue(pair.first, depth + 1) || !readValue(pair.second, depth + 1))
                    return false;
            if (type == '}') return readPathlessChild(node, depth);
            return true;
        }
        case 'o':
        case 'S': {
            registerObject(node);
            std::string name;
            if (!readSymbolText(name)) return false;
            node.setRawString(std::move(name), type);
            return readPairs(node, depth);
        }
        case 'u': {
            registerObject(node);
            std::string name;
            if (!readSymbolText(name)) return false;
            node.setRawString(std::move(name), MarshalValue::UserDump);
            int32_t len = 0;
            if (!readCount(len, 1)) return false;
            node.setStoredForm(std::string(reinterpret_cast<const char*>(p_), static_cast<size_t>(len)));
            p_ += len;
            return true;
        }
        case 'U': {
            registerObject(node);
            std::string name;
            if (!readSymbolText(name)) return false;
            node.setRawString(std::move(name), MarshalValue::MarshalDump);
            return readPathlessChild(node, depth);
        }
        case 'I': {
            node.setKindForReading(MarshalValue::Ivars);
            return readPathlessChild(node, depth) && readPairs(node, depth);
        }
        case 'C': {
            node.setKindForReading(MarshalValue::UserClass);
            PairArray& pairs = node.pairsForReading();
            pairs.resize(1);
            PathlessScope scope(pathless_);
            return readPair(pairs[0], true, depth);
        }
        case '@': {
            int32_t index = 0;
            if (!readLong(index)) return false;
            node.setLink(index);
            current_.links.emplace_back(&node, index);
            return true;
        }
        default:
            --p_;
            return fail(MarshalError::Code::UnsupportedType, type);
    }
}

bool MarshalReader::readAll(const uint8_t* data, size_t size, MarshalValue& root,
                            ValuePathIndex& index) {
    error_ = MarshalError{};
    index.clear();
    begin_ = p_ = data;
    end_ = data + size;
    std::deque<MarshalValue> tops;  // stable addresses while the object tables point at them
    std::vector<TopLevelObjects> tables;
    while (p_ < end_) {
        symbols_.clear();
        current_ = TopLevelObjects{};
        pathless_ = 0;
        if (end_ - p_ < 2) return fail(MarshalError::Code::Truncated);
        if (p_[0] != 4 || p_[1] != 8) return fail(MarshalError::Code::BadVersion);
        p_ += 2;
        tops.emplace_back();
        if (!readValue(tops.back(), 1)) return false;
        tables.push_back(std::move(current_));
    }
    ValueArray values(tops.begin(), tops.end());
    root.setArray(std::move(values));
    // The top-level nodes were copied into the root: point the tables at the copies.
    const ValueArray& kids = root.children();
    for (size_t i = 0; i < tables.size(); ++i) {
        for (auto& obj : tables[i].objects)
            if (obj == &tops[i]) obj = &kids[i];
        for (auto& link : tables[i].links)
            if (link.first == &tops[i]) link.first = &kids[i];
    }
    index.build(root);
    index.setObjectTables(std::move(tables));
    return true;
}

bool MarshalReader::readAll(ByteStream& stream, MarshalValue& root, ValuePathIndex& index) {
    if (const uint8_t* mem = stream.data()) {
        size_t at = stream.position();
        bool ok = readAll(mem + at, stream.size() - at, root, index);
        stream.seek(static_cast<int64_t>(p_ - begin_), 1);
        return ok;
    }
    std::string all;
    char buf[65536];
    size_t n;
    while ((n = stream.read(buf, sizeof buf)) > 0) all.append(buf, n);
    return readAll(reinterpret_cast<const uint8_t*>(all.data()), all.size(), root, index);
}

}  // namespace zorvane
