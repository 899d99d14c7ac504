#include "marshal/marshal_value.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zorvane {

namespace {
const ValueArray kNoChildren;
const PairArray kNoPairs;
const ByteBuffer kNoBytes;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    va_start(ap, fmt);
    vsnprintf(out.data(), out.size(), fmt, ap);
    va_end(ap);
    out.resize(static_cast<size_t>(n));
    return out;
}
}  // namespace

void MarshalValue::reset() {
    kind_ = Nil;
    intValue_ = 0;
    bigValue_ = 0;
    floatValue_ = 0.0;
    text_.clear();
    children_.reset();
    pairs_.reset();
    bytes_.reset();
}

void MarshalValue::setTrue() {
    reset();
    kind_ = True;
}

void MarshalValue::setFalse() {
    reset();
    kind_ = False;
}

void MarshalValue::setFixnum(int32_t v) {
    reset();
    kind_ = Fixnum;
    intValue_ = v;
}

void MarshalValue::setBignum(int64_t v) {
    reset();
    kind_ = Bignum;
    bigValue_ = v;
}

void MarshalValue::setFloat(double v) {
    reset();
    kind_ = Float;
    floatValue_ = v;
}

void MarshalValue::setString(std::string_view text) {
    reset();
    kind_ = String;
    text_.assign(text.data(), text.size());
}

void MarshalValue::setRawString(std::string bytes, int32_t kind) {
    reset();
    kind_ = kind;
    text_ = std::move(bytes);
}

void MarshalValue::setRegexp(std::string_view source, int optionByte) {
    reset();
    kind_ = Regexp;
    text_.assign(source.data(), source.size());
    intValue_ = optionByte;
}

void MarshalValue::setClass(std::string_view name) {
    reset();
    kind_ = ClassRef;
    text_.assign(name.data(), name.size());
}

void MarshalValue::setModule(std::string_view name) {
    reset();
    kind_ = ModuleRef;
    text_.assign(name.data(), name.size());
}

void MarshalValue::setLink(int32_t index) {
    reset();
    kind_ = Link;
    intValue_ = index;
}

void MarshalValue::setArray(std::shared_ptr<ValueArray> children) {
    reset();
    kind_ = Array;
    children_ = children ? std::move(children) : std::make_shared<ValueArray>();
}

void MarshalValue::setArray(ValueArray children) {
    setArray(std::make_shared<ValueArray>(std::move(children)));
}

void MarshalValue::setHash(std::shared_ptr<PairArray> pairs) {
    reset();
    kind_ = Hash;
    pairs_ = pairs ? std::move(pairs) : std::make_shared<PairArray>();
}

void MarshalValue::setHashWithDefault(std::shared_ptr<PairArray> pairs,
                                      const MarshalValue& defaultValue) {
    MarshalValue def = defaultValue;  // may alias a child of this node
    setHash(std::move(pairs));
    kind_ = HashDef;
    children_ = std::make_shared<ValueArray>(1, def);
}

void MarshalValue::setObject(const MarshalValue& classNode, std::shared_ptr<PairArray> pairs) {
    MarshalValue cls = classNode;
    reset();
    kind_ = Object;
    children_ = std::make_shared<ValueArray>(1, cls);
    pairs_ = pairs ? std::move(pairs) : std::make_shared<PairArray>();
}

void MarshalValue::setStruct(const MarshalValue& nameNode, std::shared_ptr<PairArray> pairs) {
    setObject(nameNode, std::move(pairs));
    kind_ = Struct;
}

void MarshalValue::setUserDump(const MarshalValue& classNode, ByteBuffer bytes) {
    MarshalValue cls = classNode;
    reset();
    kind_ = UserDump;
    children_ = std::make_shared<ValueArray>(1, cls);
    bytes_ = std::make_shared<ByteBuffer>(std::move(bytes));
}

void MarshalValue::setMarshalDump(const MarshalValue& classNode, const MarshalValue& data) {
    ValueArray kids{classNode, data};
    reset();
    kind_ = MarshalDump;
    children_ = std::make_shared<ValueArray>(std::move(kids));
}

void MarshalValue::setWithIvars(const MarshalValue& wrapped, std::shared_ptr<PairArray> pairs) {
    MarshalValue inner = wrapped;
    reset();
    kind_ = Ivars;
    children_ = std::make_shared<ValueArray>(1, inner);
    pairs_ = pairs ? std::move(pairs) : std::make_shared<PairArray>();
}

void MarshalValue::setUserClass(const MarshalValue& classNode, const MarshalValue& wrapped) {
    ValuePair pair{classNode, wrapped};
    reset();
    kind_ = UserClass;
    pairs_ = std::make_shared<PairArray>(1, std::move(pair));
}

int64_t MarshalValue::integer() const {
    if (kind_ == Fixnum) return intValue_;
    if (kind_ == Bignum) return bigValue_;
    return 0;
}

std::string MarshalValue::text() const {
    if (kind_ == Ivars && children_ && !children_->empty()) return (*children_)[0].text();
    if (kind_ == Float) return {};
    size_t nul = text_.find('\0');
    return nul == std::string::npos ? text_ : text_.substr(0, nul);
}

std::string MarshalValue::className() const {
    switch (kind_) {
        case Object:
        case Struct:
        case UserDump:
        case MarshalDump:
            return children_ && !children_->empty() ? (*children_)[0].text() : std::string();
        case UserClass:
            return pairs_ && !pairs_->empty() ? (*pairs_)[0].first.text() : std::string();
        default:
            return {};
    }
}

const ValueArray& MarshalValue::children() const { return children_ ? *children_ : kNoChildren; }
const PairArray& MarshalValue::pairs() const { return pairs_ ? *pairs_ : kNoPairs; }
const ByteBuffer& MarshalValue::bytes() const { return bytes_ ? *bytes_ : kNoBytes; }

ValueArray& MarshalValue::mutableChildren() {
    if (!children_) children_ = std::make_shared<ValueArray>();
    return *children_;
}

PairArray& MarshalValue::mutablePairs() {
    if (!pairs_) pairs_ = std::make_shared<PairArray>();
    return *pairs_;
}

ValueArray& MarshalValue::childrenForReading() { return mutableChildren(); }
PairArray& MarshalValue::pairsForReading() { return mutablePairs(); }

std::pair<MarshalValue, ByteBuffer> MarshalValue::userDump() const {
    if (kind_ != UserDump || children().empty()) return {};
    return {children()[0], bytes()};
}

std::pair<MarshalValue, MarshalValue> MarshalValue::marshalDump() const {
    if (kind_ != MarshalDump || children().size() < 2) return {};
    return {children()[0], children()[1]};
}

std::optional<MarshalValue> MarshalValue::findInPairs(const MarshalValue& key) const {
    for (const auto& p : pairs())
        if (p.first.equals(key)) return p.second;
    return std::nullopt;
}

const MarshalValue* MarshalValue::findIvar(std::string_view name) const {
    for (const auto& p : pairs())
        if (p.first.kind_ == String && p.first.text_ == name) return &p.second;
    return nullptr;
}

std::string MarshalValue::toText(bool quoted) const {
    switch (kind_) {
        // Newer Ruby versions wrap every string with its encoding flag; show the string.
        case Ivars:
            return children().empty() ? std::string() : children()[0].toText(quoted);
        case String:
            return quoted ? "\"" + text() + "\"" : text();
        case Regexp:
            return quoted ? format("\"%s\"(option:%d)", text().c_str(), intValue_) : text();
        case Nil:
            return "nil";
        case True:
            return "true";
        case False:
            return "false";
        case Fixnum:
            return format("%d", intValue_);
        case Bignum:
            return format("%" PRId64, bigValue_);
        case Float:
            return format("%.16g", floatValue_);
        case Link:
            return format("@%d", intValue_);
        case Array: {
            std::string out = "[";
            bool first = true;
            for (const auto& c : children()) {
                if (!first) out += ",";
                first = false;
                out += c.toText(true);
            }
            return out + "]";
        }
        case Hash:
        case HashDef:
            return format("[Hash[%zu]]", pairs().size());
        case Struct:
            return format("[Struct[%zu]]", pairs().size());
        case Object:
            return quoted ? format("[Object[%zu]]", pairs().size()) + className() : className();
        case UserClass:
            return quoted ? "(" + className() + ")" : className();
        default:
            return {};
    }
}

bool MarshalValue::equals(const MarshalValue& other) const {
    if (kind_ != other.kind_) return false;
    auto child = [](const MarshalValue& v, size_t i) -> const MarshalValue* {
        return i < v.children().size() ? &v.children()[i] : nullptr;
    };
    auto childEq = [&](size_t i) {
        const MarshalValue* a = child(*this, i);
        const MarshalValue* b = child(other, i);
        if (!a || !b) return a == b;
        return a->equals(*b);
    };
    switch (kind_) {
        case String:
            return text_ == other.text_;
        case Regexp:
            return intValue_ == other.intValue_ && text_ == other.text_;
        case Nil:
        case True:
        case False:
            return true;
        case Fixnum:
        case Link:
            return intValue_ == other.intValue_;
        case Bignum:
            return bigValue_ == other.bigValue_;
        case Float:
            return floatValue_ == other.floatValue_;
        case Array:
            return children().size() == other.children().size();
        case Hash:
            return pairs().size() == other.pairs().size();
        case HashDef:
            return childEq(0) && pairs().size() == other.pairs().size();
        case Object:
        case Struct:
        case Ivars:
            return childEq(0);
        case MarshalDump:
            return childEq(0) && childEq(1);
        case UserDump:
            return childEq(0) && bytes() == other.bytes();
        case UserClass: {
            if (pairs().empty() || other.pairs().empty()) return pairs().size() == other.pairs().size();
            return pairs()[0].first.equals(other.pairs()[0].first) &&
                   pairs()[0].second.equals(other.pairs()[0].second);
        }
        default:
            return false;
    }
}

MarshalValue MarshalValue::deepCopy() const {
    MarshalValue out;
    out.kind_ = kind_;
    out.intValue_ = intValue_;
    out.bigValue_ = bigValue_;
    out.floatValue_ = floatValue_;
    out.text_ = text_;
    if (bytes_) out.bytes_ = std::make_shared<ByteBuffer>(*bytes_);
    if (children_) {
        auto kids = std::make_shared<ValueArray>();
        kids->reserve(children_->size());
        for (const auto& c : *children_) kids->push_back(c.deepCopy());
        out.children_ = std::move(kids);
    }
    if (pairs_) {
        auto ps = std::make_shared<PairArray>();
        ps->reserve(pairs_->size());
        for (const auto& p : *pairs_) ps->emplace_back(p.first.deepCopy(), p.second.deepCopy());
        out.pairs_ = std::move(ps);
    }
    return out;
}

}  // namespace zorvane
