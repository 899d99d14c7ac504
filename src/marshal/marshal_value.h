// One node of a Ruby Marshal 4.8 tree: 24 bytes, its children, pairs and bytes held in a
// MarshalArena. A file's nodes live in the file's arena and its strings point into the
// file's own bytes until they are changed. What reads a tree holds views of it, valid while
// the file is loaded: `const MarshalValue&`, a ValueArray or PairArray of its nodes. A
// MarshalValue held anywhere else owns what it holds: copying a node out of a tree copies
// its contents into a small arena of the copy's own, as building a value on its own does,
// and copies of such a value share that arena. Assigning to a node inside an arena copies
// the new contents into that arena, so an arena never points into another one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvane {

class MarshalValue;
class MarshalArena;
class MarshalReader;
struct MarshalOwnedTree;
using ValuePair = std::pair<MarshalValue, MarshalValue>;
using ByteBuffer = std::string_view;

// A read-only run of nodes or pairs: a view, valid while what holds them lives.
template <typename T>
class NodeSpan {
  public:
    NodeSpan() = default;
    NodeSpan(const T* data, size_t size) : data_(data), size_(size) {}
    NodeSpan(const std::vector<T>& items) : data_(items.data()), size_(items.size()) {}
    // For a call's argument only: the list lives until the call returns.
    // Only GCC has the warning group; clang would warn about the unknown name instead.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winit-list-lifetime"
#endif
    NodeSpan(std::initializer_list<T> items) : data_(items.begin()), size_(items.size()) {}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    const T* begin() const {
        return data_;
    }
    const T* end() const {
        return data_ + size_;
    }
    size_t size() const {
        return size_;
    }
    bool empty() const {
        return size_ == 0;
    }
    const T& operator[](size_t i) const {
        return data_[i];
    }
    const T& at(size_t i) const;
    const T& front() const {
        return data_[0];
    }
    const T& back() const {
        return data_[size_ - 1];
    }

  private:
    const T* data_ = nullptr;
    size_t size_ = 0;
};

using ValueArray = NodeSpan<MarshalValue>;
using PairArray = NodeSpan<ValuePair>;
// What a built value is made from.
using ValueVector = std::vector<MarshalValue>;
using PairVector = std::vector<ValuePair>;

// Writable access to the children or pairs of one node, for code that edits a tree in
// place (the import). Growing the run reallocates it in the node's arena.
template <typename T>
class NodeEdit {
  public:
    NodeEdit(MarshalValue& node, MarshalArena& arena) : node_(node), arena_(arena) {}
    size_t size() const;
    bool empty() const { return size() == 0; }
    T* begin();
    T* end() { return begin() + size(); }
    T& operator[](size_t i) { return begin()[i]; }
    T& back() { return begin()[size() - 1]; }
    void push_back(const T& item);
    template <typename... Args>
    void emplace_back(Args&&... args) {
        push_back(T(std::forward<Args>(args)...));
    }
    void resize(size_t n);
    void clear() { resize(0); }

  private:
    MarshalValue& node_;
    MarshalArena& arena_;
};

using ValueEdit = NodeEdit<MarshalValue>;
using PairEdit = NodeEdit<ValuePair>;

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
        Symbol = ':',
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
    // A copy of a node of a tree owns a copy of its contents; a copy of a value that owns
    // its contents shares them.
    MarshalValue(const MarshalValue& other);
    MarshalValue(MarshalValue&& other);
    MarshalValue& operator=(const MarshalValue& other);
    MarshalValue& operator=(MarshalValue&& other);
    ~MarshalValue() {
        if (flags_ & kOwned) release();
    }

    void reset();
    void setNil() { reset(); }
    void setTrue();
    void setFalse();
    void setFixnum(int32_t v);
    void setBignum(int64_t v);
    void setFloat(double v);
    void setString(std::string_view text);
    // Class and instance-variable names: stored as symbols, held as strings.
    void setSymbol(std::string_view text) { setString(text); }
    // A symbol where a value is expected (":name", a hash key of newer script packs).
    void setSymbolValue(std::string_view text);
    void setRegexp(std::string_view source, int optionByte);
    void setClass(std::string_view name);
    void setModule(std::string_view name);
    void setLink(int32_t index);
    void setArray(const ValueVector& children);
    void setHash(const PairVector& pairs);
    void setHashWithDefault(const PairVector& pairs, const MarshalValue& defaultValue);
    void setObject(const MarshalValue& classNode, const PairVector& pairs);
    void setStruct(const MarshalValue& nameNode, const PairVector& pairs);
    void setUserDump(const MarshalValue& classNode, std::string_view bytes);
    void setMarshalDump(const MarshalValue& classNode, const MarshalValue& data);
    void setWithIvars(const MarshalValue& wrapped, const PairVector& pairs);
    void setUserClass(const MarshalValue& classNode, const MarshalValue& wrapped);

    int32_t kind() const { return kind_; }
    bool isNil() const { return kind_ == Nil; }
    // Fixnum sign-extended, bignum's low 64 bits, 0 for every other kind.
    int64_t integer() const;
    // A fixnum's value, a link's index, a regular expression's option byte; 0 otherwise.
    int32_t fixnum() const;
    double floatValue() const;
    bool isTrue() const { return kind_ == True; }
    // The text up to its first zero byte. A string wrapped with instance variables (the
    // encoding flag that newer Ruby versions add) answers with the wrapped string's text.
    std::string text() const { return std::string(textView()); }
    std::string_view textView() const;
    // The stored bytes unchanged, zero bytes included: what the writer writes back (the
    // stored digits of a float).
    std::string_view rawText() const;
    // The class name of an object, struct, user dump, marshal dump or user-class wrapper;
    // empty otherwise.
    std::string className() const { return std::string(classNameView()); }
    std::string_view classNameView() const;

    // Array elements; the default value of a hash with default; the wrapped value of an
    // instance-variable wrapper; the data of a marshal dump.
    ValueArray children() const;
    PairArray pairs() const;
    // A user dump's payload; the stored form of a compressed string or a wide bignum.
    std::string_view bytes() const;
    // Writable access for code that edits a tree in place (the import). Inside a tree every
    // holder sees the change; a value copied out of a tree becomes a copy of its own first.
    ValueEdit mutableChildren();
    PairEdit mutablePairs();

    // The value of the first pair whose key meets `key` as a hash key, or null.
    const MarshalValue* findInPairs(const MarshalValue& key) const;
    // Pointer into this node's own pairs, for the common look-up of an instance variable.
    const MarshalValue* findIvar(std::string_view name) const;

    std::string toText(bool quoted) const;
    // Whether two values meet as hash keys: same kind and same scalar contents (a symbol
    // meets the string of its name). Shallow on purpose: arrays and hashes compare by size,
    // objects and structs by class name, and class references never meet.
    bool sameHashKey(const MarshalValue& other) const;
    // A value of its own with the same contents, independent of any tree.
    MarshalValue deepCopy() const;

  private:
    friend class MarshalReader;
    friend class MarshalWriter;
    template <typename T>
    friend class NodeEdit;
    friend struct MarshalOwnedTree;

    enum Flag : uint8_t { kInArena = 1, kOwned = 2, kGrown = 4 };
    // The same 24 bytes (an owned tree shared): a node on its way into an arena, where
    // place() copies or shares what it points to. Never handed out.
    struct Shallow {};
    MarshalValue(const MarshalValue& other, Shallow);
    struct Text {
        const char* data;
        uint32_t size;
        std::string_view view() const { return {data, size}; }
    };

    const MarshalValue& self() const { return (flags_ & kOwned) ? ownedNode(a_.owned) : *this; }
    static const MarshalValue& ownedNode(const MarshalOwnedTree* tree);
    void release();
    // Where a change of this node goes: the node itself inside its arena, or a fresh
    // owned tree of this value's own.
    MarshalValue& beginEdit(MarshalArena*& arena);
    void endEdit(MarshalValue& target);
    // The node to change in place and its arena; a view becomes a value of its own first.
    MarshalValue& editable(MarshalArena*& arena);
    const MarshalValue& unwrapped() const;
    std::string_view rawTextOrBytes() const;
    void makeScalar(int32_t kind);
    void setText(int32_t kind, std::string_view text);
    void setNamedPairs(int32_t kind, const MarshalValue& classNode, const PairVector& pairs);
    std::string_view storedForm() const;
    // Whatever the node points to (its text, children, pairs, class name or stored
    // form), or null for a value held in its 24 bytes alone.
    const void* content() const;
    // Makes this view of src (or src itself) the owner of a copy of src's contents.
    void ownCopyOf(const MarshalValue& src);
    // Puts src into dst, a node inside arena: shared when src already lives there, copied
    // into it otherwise.
    static void place(MarshalArena& arena, MarshalValue& dst, const MarshalValue& src);
    static MarshalValue* placeAll(MarshalArena& arena, const MarshalValue* src, size_t n);
    static ValuePair* placeAll(MarshalArena& arena, const ValuePair* src, size_t n);
    static const Text* internText(MarshalArena& arena, std::string_view text);
    static MarshalValue* newNodes(MarshalArena& arena, size_t n);
    static ValuePair* newPairs(MarshalArena& arena, size_t n);
    size_t capacity() const;
    void appendText(std::string& out, bool quoted) const;

    uint8_t kind_ = Nil;
    uint8_t flags_ = 0;
    uint16_t small_ = 0;  // a regular expression's option byte
    uint32_t n_ = 0;      // fixnum, link index, byte length or element count
    union {
        int64_t big;
        double real;
        const char* text;
        MarshalValue* kids;
        ValuePair* pairs;
        MarshalOwnedTree* owned;
    } a_{0};
    union {
        const Text* name;     // class name of objects, structs and dumps
        const Text* stored;   // compressed string or wide bignum as stored
        const char* digits;   // a float's stored text (length in n_)
        MarshalValue* child;  // wrapped value, hash default
    } b_{nullptr};
};

template <typename T>
const T& NodeSpan<T>::at(size_t i) const {
    if (i >= size_) throw std::out_of_range("NodeSpan::at");
    return data_[i];
}

}  // namespace zorvane
