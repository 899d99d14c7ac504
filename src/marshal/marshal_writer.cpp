#include "marshal/marshal_writer.h"

#include <cstdio>

namespace zorvane {

bool MarshalWriter::fail(MarshalError::Code code, int byte) {
    if (error_.ok()) {
        error_.code = code;
        error_.byte = byte;
        error_.offset = out_ ? out_->size() : 0;
    }
    return false;
}

void MarshalWriter::writeLong(std::string& out, int32_t n) {
    if (n == 0) {
        out.push_back(0);
    } else if (n >= 1 && n <= 122) {
        out.push_back(static_cast<char>(n + 5));
    } else if (n >= -123 && n <= -1) {
        out.push_back(static_cast<char>(n - 5));
    } else {
        int k;
        if (n > 0) {
            k = n <= 0xFF ? 1 : n <= 0xFFFF ? 2 : n <= 0xFFFFFF ? 3 : 4;
        } else {
            k = n >= -256 ? 1 : n >= -65536 ? 2 : n >= -16777216 ? 3 : 4;
        }
        out.push_back(static_cast<char>(n > 0 ? k : -k));
        uint32_t u = static_cast<uint32_t>(n);
        for (int i = 0; i < k; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    }
}

void MarshalWriter::writeBytes(std::string_view bytes) {
    writeLong(*out_, static_cast<int32_t>(bytes.size()));
    out_->append(bytes.data(), bytes.size());
}

void MarshalWriter::writeSymbol(std::string_view name) {
    auto it = symbols_.find(name);
    if (it != symbols_.end()) {
        out_->push_back(';');
        writeLong(*out_, it->second);
        return;
    }
    out_->push_back(':');
    writeBytes(name);
    symbols_.emplace(name, static_cast<int32_t>(symbols_.size()));
}

bool MarshalWriter::writePair(const ValuePair& pair, bool restrictWrapped) {
    writeSymbol(pair.first.rawText());
    if (restrictWrapped) {
        int32_t k = pair.second.kind();
        if (k != '"' && k != '/' && k != '[' && k != '{')
            return fail(MarshalError::Code::UnsupportedKind, k);
    }
    return writeValue(pair.second);
}

bool MarshalWriter::writePairs(const PairArray& pairs) {
    writeLong(*out_, static_cast<int32_t>(pairs.size()));
    for (const auto& pair : pairs)
        if (!writePair(pair, false)) return false;
    return true;
}

void MarshalWriter::writeBignum(const MarshalValue& node) {
    if (!node.storedForm().empty()) {  // wider than 64 bits when read: the stored digits
        out_->append(node.storedForm());
        return;
    }
    int64_t v = node.integer();
    out_->push_back(v <= 0 ? '-' : '+');
    uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    int words = 0;
    for (uint64_t m = mag; m != 0; m >>= 16) ++words;
    writeLong(*out_, words);
    for (int i = 0; i < words; ++i) {
        uint16_t w = static_cast<uint16_t>(mag >> (16 * i));
        out_->push_back(static_cast<char>(w & 0xFF));
        out_->push_back(static_cast<char>(w >> 8));
    }
}

void MarshalWriter::writeFloat(const MarshalValue& node) {
    // A float read from a file keeps its stored digits, so writing never changes its value.
    if (!node.rawText().empty()) {
        writeBytes(node.rawText());
        return;
    }
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.16g", node.floatValue());
    writeBytes(std::string_view(buf, static_cast<size_t>(n)));
}

void MarshalWriter::remember(const MarshalValue& node) {
    objects_.emplace(&node, static_cast<int32_t>(objects_.size()));
}

bool MarshalWriter::writeValue(const MarshalValue& node) {
    const int32_t kind = node.kind();
    switch (kind) {
        case '0':
        case 'T':
        case 'F':
            out_->push_back(static_cast<char>(kind));
            return true;
        case 'i':
            out_->push_back('i');
            writeLong(*out_, node.fixnum());
            return true;
        case 'l':
            remember(node);
            out_->push_back('l');
            writeBignum(node);
            return true;
        case 'f':
            remember(node);
            out_->push_back('f');
            writeFloat(node);
            return true;
        case '"':
            remember(node);
            out_->push_back('"');
            // A string that arrived compressed goes back compressed, as the editor expects.
            writeBytes(node.storedForm().empty() ? node.rawText() : node.storedForm());
            return true;
        case ':':  // a symbol where a value stands
            writeSymbol(node.rawText());
            return true;
        case 'c':
        case 'm':
            remember(node);
            out_->push_back(static_cast<char>(kind));
            writeBytes(node.rawText());
            return true;
        case '/':
            remember(node);
            out_->push_back('/');
            writeBytes(node.rawText());
            out_->push_back(static_cast<char>(node.fixnum()));
            return true;
        case '[':
            remember(node);
            out_->push_back('[');
            writeLong(*out_, static_cast<int32_t>(node.children().size()));
            for (const auto& kid : node.children())
                if (!writeValue(kid)) return false;
            return true;
        case '{':
        case '}': {
            remember(node);
            out_->push_back(static_cast<char>(kind));
            writeLong(*out_, static_cast<int32_t>(node.pairs().size()));
            for (const auto& pair : node.pairs())
                if (!writeValue(pair.first) || !writeValue(pair.second)) return false;
            if (kind == '}') {
                const MarshalValue nil;
                return writeValue(node.children().empty() ? nil : node.children()[0]);
            }
            return true;
        }
        case 'o':
        case 'S':
        case 'u':
        case 'U': {
            if (kind == 'U' && node.children().empty())
                return fail(MarshalError::Code::UnsupportedKind, kind);
            remember(node);
            out_->push_back(static_cast<char>(kind));
            writeSymbol(node.classNameView());
            if (kind == 'u') {
                writeBytes(node.bytes());
                return true;
            }
            if (kind == 'U') return writeValue(node.children()[0]);
            return writePairs(node.pairs());
        }
        case 'I':
            if (node.children().empty()) return fail(MarshalError::Code::UnsupportedKind, kind);
            out_->push_back('I');
            return writeValue(node.children()[0]) && writePairs(node.pairs());
        case 'C':
            if (node.pairs().empty()) return fail(MarshalError::Code::UnsupportedKind, kind);
            out_->push_back('C');
            return writePair(node.pairs()[0], true);
        case '@': {
            int32_t index = node.fixnum();
            if (index_) {
                const MarshalValue* target = index_->resolveLink(top_, node.fixnum());
                auto it = target ? objects_.find(target) : objects_.end();
                if (it != objects_.end()) index = it->second;
            }
            out_->push_back('@');
            writeLong(*out_, index);
            return true;
        }
        default:
            return fail(MarshalError::Code::UnsupportedKind, kind);
    }
}

bool MarshalWriter::writeAll(std::string& out, const MarshalValue& root,
                             const ValuePathIndex* index) {
    error_ = MarshalError{};
    out_ = &out;
    index_ = index;
    ValueArray tops = root.children();
    if (tops.empty()) return fail(MarshalError::Code::NotLoaded);
    for (top_ = 0; top_ < tops.size(); ++top_) {
        symbols_.clear();
        objects_.clear();
        out.push_back(4);
        out.push_back(8);
        if (!writeValue(tops[top_])) return false;
    }
    return true;
}

}  // namespace zorvane
