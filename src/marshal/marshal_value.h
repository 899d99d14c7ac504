// One node of a Ruby Marshal 4.8 tree. Nodes are small values whose children, pairs and
// payload live in one shared, reference-counted buffer, so copying a node is cheap and the
// copies see the same contents; deepCopy() is the one operation that duplicates a subtree.
// Class names of objects, structs and dumps are held in the node itself (className()): a
// data file holds millions of objects, and a separate child per class name would double
// the allocations of reading one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvane {

class MarshalValue;
struct MarshalPayload;
using ValueArray = std::vector<MarshalValue>;
using ValuePair = std::pair<MarshalValue, MarshalValue>;
using PairArray = std::vector<ValuePair>;
using ByteBuffer = std::string;

class MarshalValue {
public:
    // The stream's own type characters name the kinds.
    enum Kind : int32_t {
        Nil = '0',
        True = 'T',
        False = 'F',
        Fixnum = 'i',
        Bignum = 'l',
        Float = 'f',
        String = '"',
        Regexp = '/',
        Array = '[',
        Hash = '{',
        HashDef = '}',
        Object = 'o',
        Struct = 'S',
        UserDump = 'u',
        MarshalDump = 'U',
        Ivars = 'I',
        UserClass = 'C',
        ClassRef = 'c',
        ModuleRef = 'm',
        Link = '@',
    };

    MarshalValue() = default;

    void reset();
    void setNil() { reset(); }
    void setTrue();
    void setFalse();
    void setFixnum(int32_t v);
    void setBignum(int64_t v);
    void setFloat(double v);
    void setString(std::string_view text);
    void setSymbol(std::string_view text) { setString(text); }
    void setRegexp(std::string_view source, int optionByte);
    void setClass(std::string_view name);
    void setModule(std::string_view name);
    void setLink(int32_t index);
    void setArray(std::shared_ptr<ValueArray> children);
    void setArray(ValueArray children);
    void setHash(std::shared_ptr<PairArray> pairs);
    void setHashWithDefault(std::shared_ptr<PairArray> pairs, const MarshalValue& defaultValue);
    void setObject(const MarshalValue& classNode, std::shared_ptr<PairArray> pairs);
    void setStruct(const MarshalValue& nameNode, std::shared_ptr<PairArray> pairs);
    void setUserDump(const MarshalValue& classNode, ByteBuffer bytes);
    void setMarshalDump(const MarshalValue& classNode, const MarshalValue& data);
    void setWithIvars(const MarshalValue& wrapped, std::shared_ptr<PairArray> pairs);
    void setUserClass(const MarshalValue& classNode, const MarshalValue& wrapped);

    int32_t kind() const { return kind_; }
    bool isNil() const { return kind_ == Nil; }
    // Fixnum sign-extended, bignum's low 64 bits, 0 for every other kind.
    int64_t integer() const;
    int32_t fixnum() const { return intValue_; }
    double floatValue() const { return kind_ == Float ? number_.floatValue : 0.0; }
    bool isTrue() const { return kind_ == True; }
    // The text up to its first zero byte. A string wrapped with instance variables (the
    // encoding flag that newer Ruby versions add) answers with the wrapped string's text.
    std::string text() const;
    // The stored bytes unchanged, zero bytes included: what the writer writes back.
    const std::string& rawText() const { return text_; }
    // The class name of an object, struct, user dump, marshal dump or user-class wrapper;
    // empty otherwise.
    std::string className() const;

    // Array elements; the default value of a hash with default; the wrapped value of an
    // instance-variable wrapper; the data of a marshal dump.
    const ValueArray& children() const;
    const PairArray& pairs() const;
    const ByteBuffer& bytes() const;
    std::shared_ptr<ValueArray> childrenShare() const;
    std::shared_ptr<PairArray> pairsShare() const;
    // Writable access for code that edits a tree in place (the import). Every holder of
    // the buffer sees the change.
    ValueArray& mutableChildren();
    PairArray& mutablePairs();

    // (class node, payload) of a user dump; (class node, data) of a marshal dump.
    std::pair<MarshalValue, ByteBuffer> userDump() const;
    std::pair<MarshalValue, MarshalValue> marshalDump() const;

    std::optional<MarshalValue> findInPairs(const MarshalValue& key) const;
    // Pointer into this node's own pairs, for the common look-up of an instance variable.
    const MarshalValue* findIvar(std::string_view name) const;

    std::string toText(bool quoted) const;
    bool equals(const MarshalValue& other) const;
    MarshalValue deepCopy() const;

    // Reader and writer internals: how a node came from the stream, so an unchanged node is
    // written back byte for byte (compressed strings, float texts, bignums wider than 64 bits).
    void setStoredForm(ByteBuffer form);
    void setFloatText(std::string text) { text_ = std::move(text); }
    void setRawString(std::string bytes, int32_t kind);
    std::vector<MarshalValue>& childrenForReading();
    PairArray& pairsForReading();
    void setKindForReading(int32_t kind) { kind_ = kind; }
    void setIntForReading(int32_t v) { intValue_ = v; }
    void setBigForReading(int64_t v) { number_.bigValue = v; }
    void setFloatForReading(double v) { number_.floatValue = v; }

private:
    int32_t kind_ = Nil;
    int32_t intValue_ = 0;
    // A node is a bignum or a float, never both: one 8-byte slot keeps nodes small.
    union Number {
        int64_t bigValue;
        double floatValue;
    } number_{0};
    std::string text_;
    std::shared_ptr<MarshalPayload> payload_;

    MarshalPayload& payload();
};

struct MarshalPayload {
    ValueArray children;
    PairArray pairs;
    ByteBuffer bytes;
};

}  // namespace zorvane
