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
    number_.bigValue = 0;
    text_.clear();
    payload_.reset();
}

MarshalPayload& MarshalValue::payload() {
    if (!payload_) payload_ = std::make_shared<MarshalPayload>();
    return *payload_;
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
    number_.bigValue = v;
}

void MarshalValue::setFloat(double v) {
    reset();
    kind_ = Float;
    number_.floatValue = v;
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

void MarshalValue::setStoredForm(ByteBuffer form) { payload().bytes = std::move(form); }

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
    ValueArray kids = children ? *children : ValueArray{};  // may alias this node's own
    setArray(std::move(kids));
}

void MarshalValue::setArray(ValueArray children) {
    reset();
    kind_ = Array;
    payload().children = std::move(children);
}

void MarshalValue::setHash(std::shared_ptr<PairArray> pairs) {
    PairArray entries = pairs ? *pairs : PairArray{};
    reset();
    kind_ = Hash;
    payload().pairs = std::move(entries);
}

void MarshalValue::setHashWithDefault(std::shared_ptr<PairArray> pairs,
                                      const MarshalValue& defaultValue) {
    MarshalValue def = defaultValue;
    setHash(std::move(pairs));
    kind_ = HashDef;
    payload().children.assign(1, def);
}

void MarshalValue::setObject(const MarshalValue& classNode, std::shared_ptr<PairArray> pairs) {
    std::string name = classNode.text();
    setHash(std::move(pairs));
    kind_ = Object;
    text_ = std::move(name);
}

void MarshalValue::setStruct(const MarshalValue& nameNode, std::shared_ptr<PairArray> pairs) {
    setObject(nameNode, std::move(pairs));
    kind_ = Struct;
}

void MarshalValue::setUserDump(const MarshalValue& classNode, ByteBuffer bytes) {
    std::string name = classNode.text();
    reset();
    kind_ = UserDump;
    text_ = std::move(name);
    payload().bytes = std::move(bytes);
}

void MarshalValue::setMarshalDump(const MarshalValue& classNode, const MarshalValue& data) {
    std::string name = classNode.text();
    MarshalValue inner = data;
    reset();
    kind_ = MarshalDump;
    text_ = std::move(name);
    payload().children.assign(1, inner);
}

void MarshalValue::setWithIvars(const MarshalValue& wrapped, std::shared_ptr<PairArray> pairs) {
    MarshalValue inner = wrapped;
    setHash(std::move(pairs));
    kind_ = Ivars;
    payload().children.assign(1, inner);
}

void MarshalValue::setUserClass(const MarshalValue& classNode, const MarshalValue& wrapped) {
    ValuePair pair{classNode, wrapped};
    reset();
    kind_ = UserClass;
    payload().pairs.assign(1, std::move(pair));
}

int64_t MarshalValue::integer() const {
    if (kind_ == Fixnum) return intValue_;
    if (kind_ == Bignum) return number_.bigValue;
    return 0;
}

namespace {
bool holdsClassName(int32_t kind) {
    return kind == MarshalValue::Object || kind == MarshalValue::Struct ||
           kind == MarshalValue::UserDump || kind == MarshalValue::MarshalDump;
}
}  // namespace

std::string MarshalValue::text() const {
    if (kind_ == Ivars) return children().empty() ? std::string() : children()[0].text();
    if (kind_ == Float || holdsClassName(kind_)) return {};
    size_t nul = text_.find('\0');
    return nul == std::string::npos ? text_ : text_.substr(0, nul);
}

std::string MarshalValue::className() const {
    if (holdsClassName(kind_)) return text_;
    if (kind_ == UserClass) return pairs().empty() ? std::string() : pairs()[0].first.text();
    return {};
}

const ValueArray& MarshalValue::children() const { return payload_ ? payload_->children : kNoChildren; }
const PairArray& MarshalValue::pairs() const { return payload_ ? payload_->pairs : kNoPairs; }
const ByteBuffer& MarshalValue::bytes() const { return payload_ ? payload_->bytes : kNoBytes; }

std::shared_ptr<ValueArray> MarshalValue::childrenShare() const {
    return payload_ ? std::shared_ptr<ValueArray>(payload_, &payload_->children) : nullptr;
}

std::shared_ptr<PairArray> MarshalValue::pairsShare() const {
    return payload_ ? std::shared_ptr<PairArray>(payload_, &payload_->pairs) : nullptr;
}

ValueArray& MarshalValue::mutableChildren() { return payload().children; }
PairArray& MarshalValue::mutablePairs() { return payload().pairs; }
ValueArray& MarshalValue::childrenForReading() { return payload().children; }
PairArray& MarshalValue::pairsForReading() { return payload().pairs; }

std::pair<MarshalValue, ByteBuffer> MarshalValue::userDump() const {
    if (kind_ != UserDump) return {};
    MarshalValue cls;
    cls.setSymbol(text_);
    return {cls, bytes()};
}

std::pair<MarshalValue, MarshalValue> MarshalValue::marshalDump() const {
    if (kind_ != MarshalDump || children().empty()) return {};
    MarshalValue cls;
    cls.setSymbol(text_);
    return {cls, children()[0]};
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
            return format("%" PRId64, number_.bigValue);
        case Float:
            return format("%.16g", number_.floatValue);
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
    auto childEq = [&](size_t i) {
        const ValueArray& a = children();
        const ValueArray& b = other.children();
        if (i >= a.size() || i >= b.size()) return a.size() <= i && b.size() <= i;
        return a[i].equals(b[i]);
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
            return number_.bigValue == other.number_.bigValue;
        case Float:
            return number_.floatValue == other.number_.floatValue;
        case Array:
            return children().size() == other.children().size();
        case Hash:
            return pairs().size() == other.pairs().size();
        case HashDef:
            return childEq(0) && pairs().size() == other.pairs().size();
        case Object:
        case Struct:
            return text_ == other.text_;
        case Ivars:
            return childEq(0);
        case MarshalDump:
            return text_ == other.text_ && childEq(0);
        case UserDump:
            return text_ == other.text_ && bytes() == other.bytes();
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
    out.number_ = number_;
    out.text_ = text_;
    if (payload_) {
        MarshalPayload& p = out.payload();
        p.bytes = payload_->bytes;
        p.children.reserve(payload_->children.size());
        for (const auto& c : payload_->children) p.children.push_back(c.deepCopy());
        p.pairs.reserve(payload_->pairs.size());
        for (const auto& q : payload_->pairs) p.pairs.emplace_back(q.first.deepCopy(), q.second.deepCopy());
    }
    return out;
}

}  // namespace zorvane
