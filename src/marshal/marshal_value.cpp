#include "marshal/marshal_value.h"

#include <atomic>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "marshal/marshal_arena.h"
#include "platform/string_util.h"

namespace zorvane {

// The contents of a value built on its own, shared by its copies.
struct MarshalOwnedTree {
    std::atomic<int> refs{1};
    MarshalArena arena{512};
    MarshalValue node;
};

namespace {

bool holdsClassName(int32_t kind) {
    return kind == MarshalValue::Object || kind == MarshalValue::Struct ||
           kind == MarshalValue::UserDump || kind == MarshalValue::MarshalDump;
}

bool holdsText(int32_t kind) {
    return kind == MarshalValue::String || kind == MarshalValue::Symbol ||
           kind == MarshalValue::Regexp || kind == MarshalValue::ClassRef ||
           kind == MarshalValue::ModuleRef;
}

bool holdsPairs(int32_t kind) {
    return kind == MarshalValue::Hash || kind == MarshalValue::HashDef ||
           kind == MarshalValue::Object || kind == MarshalValue::Struct ||
           kind == MarshalValue::Ivars || kind == MarshalValue::UserClass;
}

bool holdsChild(int32_t kind) {
    return kind == MarshalValue::HashDef || kind == MarshalValue::Ivars;
}

size_t bitCeil(size_t n) {
    size_t c = 1;
    while (c < n) c <<= 1;
    return c;
}

}  // namespace

// ---- ownership -------------------------------------------------------------------------

const MarshalValue& MarshalValue::ownedNode(const MarshalOwnedTree* tree) {
    return tree->node;
}

void MarshalValue::release() {
    MarshalOwnedTree* tree = a_.owned;
    flags_ &= static_cast<uint8_t>(~kOwned);
    a_.owned = nullptr;
    if (tree->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        std::unique_ptr<MarshalOwnedTree> last(tree);
}

MarshalValue::MarshalValue(const MarshalValue& other, Shallow)
    : kind_(other.kind_),
      flags_(static_cast<uint8_t>(other.flags_ & ~kInArena)),
      small_(other.small_),
      n_(other.n_),
      a_(other.a_),
      b_(other.b_) {
    if (flags_ & kOwned) a_.owned->refs.fetch_add(1, std::memory_order_relaxed);
}

MarshalValue::MarshalValue(const MarshalValue& other) : MarshalValue(other, Shallow{}) {
    if (!(flags_ & kOwned) && content()) ownCopyOf(other);
}

MarshalValue::MarshalValue(MarshalValue&& other) : MarshalValue(other, Shallow{}) {
    if (!(flags_ & kOwned)) {
        if (content()) ownCopyOf(other);  // a node of a tree stays where it is
        return;
    }
    other.release();  // the reference moved here
    other.kind_ = Nil;
}

void MarshalValue::ownCopyOf(const MarshalValue& src) {
    auto tree = std::make_unique<MarshalOwnedTree>();
    place(tree->arena, tree->node, src);
    tree->node.flags_ = 0;     // held by the tree, not one of its arena's nodes
    kind_ = tree->node.kind_;  // an owned value answers kind() without looking inside
    flags_ = kOwned;
    small_ = 0;
    n_ = 0;
    a_.owned = tree.release();
    b_.child = nullptr;
}

MarshalValue& MarshalValue::operator=(const MarshalValue& other) {
    if (this == &other) return *this;
    if (flags_ & kInArena) {
        MarshalArena* arena = MarshalArena::containing(this);
        if (arena) {
            // other may live inside this node's subtree; a node of the same arena is shared.
            MarshalValue keep(other, Shallow{});
            place(*arena, *this, keep);
            return *this;
        }
    }
    MarshalValue copy(other);
    if (flags_ & kOwned) release();
    kind_ = copy.kind_;
    flags_ = copy.flags_;
    small_ = copy.small_;
    n_ = copy.n_;
    a_ = copy.a_;
    b_ = copy.b_;
    copy.flags_ = 0;  // the reference moved here
    return *this;
}

MarshalValue& MarshalValue::operator=(MarshalValue&& other) {
    if (this == &other) return *this;
    if ((flags_ & kInArena) || !(other.flags_ & kOwned))
        return *this = static_cast<const MarshalValue&>(other);
    MarshalValue moved(std::move(other));
    return *this = static_cast<const MarshalValue&>(moved);
}

void MarshalValue::makeScalar(int32_t kind) {
    if (flags_ & kOwned) release();
    kind_ = static_cast<uint8_t>(kind);
    flags_ &= kInArena;
    small_ = 0;
    n_ = 0;
    a_.big = 0;
    b_.child = nullptr;
}

MarshalValue& MarshalValue::beginEdit(MarshalArena*& arena) {
    if (flags_ & kInArena) {
        arena = MarshalArena::containing(this);
        if (arena) return *this;
    }
    auto tree = std::make_unique<MarshalOwnedTree>();
    arena = &tree->arena;
    makeScalar(Nil);
    flags_ = kOwned;
    a_.owned = tree.release();
    return a_.owned->node;
}

void MarshalValue::endEdit(MarshalValue& target) {
    if (&target == this) return;
    kind_ = target.kind_;  // an owned value answers kind() without looking inside
}

// ---- building --------------------------------------------------------------------------

MarshalValue* MarshalValue::newNodes(MarshalArena& arena, size_t n) {
    if (n == 0) return nullptr;
    MarshalValue* nodes = arena.allocateArray<MarshalValue>(n);
    for (size_t i = 0; i < n; ++i) {
        MarshalValue* node = ::new (static_cast<void*>(nodes + i)) MarshalValue();
        node->flags_ = kInArena;
    }
    return nodes;
}

ValuePair* MarshalValue::newPairs(MarshalArena& arena, size_t n) {
    if (n == 0) return nullptr;
    ValuePair* pairs = arena.allocateArray<ValuePair>(n);
    for (size_t i = 0; i < n; ++i) {
        ValuePair* pair = ::new (static_cast<void*>(pairs + i)) ValuePair();
        pair->first.flags_ = kInArena;
        pair->second.flags_ = kInArena;
    }
    return pairs;
}

const MarshalValue::Text* MarshalValue::internText(MarshalArena& arena, std::string_view text) {
    Text* t = arena.allocateArray<Text>(1);
    std::string_view copy = arena.copy(text);
    t->data = copy.data();
    t->size = static_cast<uint32_t>(copy.size());
    return t;
}

const void* MarshalValue::content() const {
    const bool first = holdsText(kind_) || holdsPairs(kind_) || kind_ == Array ||
                       kind_ == MarshalDump || kind_ == UserDump;
    if (first && a_.text) return a_.text;
    // A compressed string that inflates to nothing still holds its stored form.
    const bool second = kind_ == Bignum || kind_ == Float || kind_ == String ||
                        holdsClassName(kind_) || holdsChild(kind_);
    return second ? static_cast<const void*>(b_.name) : nullptr;
}

MarshalValue* MarshalValue::placeAll(MarshalArena& arena, const MarshalValue* src, size_t n) {
    MarshalValue* out = newNodes(arena, n);
    for (size_t i = 0; i < n; ++i) place(arena, out[i], src[i]);
    return out;
}

ValuePair* MarshalValue::placeAll(MarshalArena& arena, const ValuePair* src, size_t n) {
    ValuePair* out = newPairs(arena, n);
    for (size_t i = 0; i < n; ++i) {
        place(arena, out[i].first, src[i].first);
        place(arena, out[i].second, src[i].second);
    }
    return out;
}

void MarshalValue::place(MarshalArena& arena, MarshalValue& dst, const MarshalValue& from) {
    const MarshalValue& src = from.self();
    const void* inside = src.content();
    MarshalValue out;  // built aside: src may be dst itself or inside it
    out.kind_ = src.kind_;
    out.small_ = src.small_;
    out.n_ = src.n_;
    out.a_ = src.a_;
    out.b_ = src.b_;
    if (inside && MarshalArena::containing(inside) != &arena) {
        if (holdsText(src.kind_) || src.kind_ == UserDump)
            out.a_.text = arena.copy(src.rawTextOrBytes()).data();
        if (src.kind_ == Float) out.b_.digits = arena.copy(src.rawText()).data();
        if (src.kind_ == Array || src.kind_ == MarshalDump)
            out.a_.kids = placeAll(arena, src.a_.kids, src.n_);
        if (holdsPairs(src.kind_)) out.a_.pairs = placeAll(arena, src.a_.pairs, src.n_);
        if (holdsChild(src.kind_) && src.b_.child) out.b_.child = placeAll(arena, src.b_.child, 1);
        if (holdsClassName(src.kind_)) out.b_.name = internText(arena, src.classNameView());
        if ((src.kind_ == String || src.kind_ == Bignum) && src.b_.stored)
            out.b_.stored = internText(arena, src.b_.stored->view());
        out.flags_ = 0;
    }
    if (dst.flags_ & kOwned) dst.release();
    dst.kind_ = out.kind_;
    dst.flags_ = kInArena;
    dst.small_ = out.small_;
    dst.n_ = out.n_;
    dst.a_ = out.a_;
    dst.b_ = out.b_;
}

void MarshalValue::reset() {
    makeScalar(Nil);
}
void MarshalValue::setTrue() {
    makeScalar(True);
}
void MarshalValue::setFalse() {
    makeScalar(False);
}

void MarshalValue::setFixnum(int32_t v) {
    makeScalar(Fixnum);
    n_ = static_cast<uint32_t>(v);
}

void MarshalValue::setLink(int32_t index) {
    makeScalar(Link);
    n_ = static_cast<uint32_t>(index);
}

void MarshalValue::setBignum(int64_t v) {
    makeScalar(Bignum);
    a_.big = v;
}

void MarshalValue::setFloat(double v) {
    makeScalar(Float);
    a_.real = v;
}

void MarshalValue::setText(int32_t kind, std::string_view text) {
    std::string keep(text);  // text may point into this node's old contents
    MarshalArena* arena = nullptr;
    MarshalValue& t = beginEdit(arena);
    t.makeScalar(kind);
    t.a_.text = arena->copy(keep).data();
    t.n_ = static_cast<uint32_t>(keep.size());
    endEdit(t);
}

void MarshalValue::setString(std::string_view text) {
    setText(String, text);
}
void MarshalValue::setSymbolValue(std::string_view text) {
    setText(Symbol, text);
}
void MarshalValue::setClass(std::string_view name) {
    setText(ClassRef, name);
}
void MarshalValue::setModule(std::string_view name) {
    setText(ModuleRef, name);
}

void MarshalValue::setRegexp(std::string_view source, int optionByte) {
    setText(Regexp, source);
    MarshalValue& t = (flags_ & kOwned) ? a_.owned->node : *this;
    t.small_ = static_cast<uint16_t>(optionByte & 0xFF);
}

void MarshalValue::setArray(const ValueVector& children) {
    ValueVector keep = children;
    MarshalArena* arena = nullptr;
    MarshalValue& t = beginEdit(arena);
    MarshalValue* kids = placeAll(*arena, keep.data(), keep.size());
    t.makeScalar(Array);
    t.a_.kids = kids;
    t.n_ = static_cast<uint32_t>(keep.size());
    endEdit(t);
}

void MarshalValue::setNamedPairs(int32_t kind, const MarshalValue& classNode,
                                 const PairVector& pairs) {
    std::string name = classNode.text();
    PairVector keep = pairs;
    MarshalArena* arena = nullptr;
    MarshalValue& t = beginEdit(arena);
    ValuePair* placed = placeAll(*arena, keep.data(), keep.size());
    t.makeScalar(kind);
    t.a_.pairs = placed;
    t.n_ = static_cast<uint32_t>(keep.size());
    if (holdsClassName(kind)) t.b_.name = internText(*arena, name);
    endEdit(t);
}

void MarshalValue::setHash(const PairVector& pairs) {
    setNamedPairs(Hash, MarshalValue(), pairs);
}

void MarshalValue::setHashWithDefault(const PairVector& pairs, const MarshalValue& defaultValue) {
    MarshalValue def = defaultValue;
    setNamedPairs(HashDef, MarshalValue(), pairs);
    MarshalArena* arena = nullptr;
    MarshalValue& t = editable(arena);
    t.b_.child = placeAll(*arena, &def, 1);
}

void MarshalValue::setObject(const MarshalValue& classNode, const PairVector& pairs) {
    setNamedPairs(Object, classNode, pairs);
}

void MarshalValue::setStruct(const MarshalValue& nameNode, const PairVector& pairs) {
    setNamedPairs(Struct, nameNode, pairs);
}

void MarshalValue::setWithIvars(const MarshalValue& wrapped, const PairVector& pairs) {
    MarshalValue inner = wrapped;
    setNamedPairs(Ivars, MarshalValue(), pairs);
    MarshalArena* arena = nullptr;
    MarshalValue& t = editable(arena);
    t.b_.child = placeAll(*arena, &inner, 1);
}

void MarshalValue::setUserClass(const MarshalValue& classNode, const MarshalValue& wrapped) {
    setNamedPairs(UserClass, MarshalValue(), PairVector{ValuePair{classNode, wrapped}});
}

void MarshalValue::setUserDump(const MarshalValue& classNode, std::string_view bytes) {
    std::string name = classNode.text();
    std::string keep(bytes);
    MarshalArena* arena = nullptr;
    MarshalValue& t = beginEdit(arena);
    t.makeScalar(UserDump);
    t.a_.text = arena->copy(keep).data();
    t.n_ = static_cast<uint32_t>(keep.size());
    t.b_.name = internText(*arena, name);
    endEdit(t);
}

void MarshalValue::setMarshalDump(const MarshalValue& classNode, const MarshalValue& data) {
    std::string name = classNode.text();
    MarshalValue inner = data;
    MarshalArena* arena = nullptr;
    MarshalValue& t = beginEdit(arena);
    MarshalValue* kids = placeAll(*arena, &inner, 1);
    t.makeScalar(MarshalDump);
    t.a_.kids = kids;
    t.n_ = 1;
    t.b_.name = internText(*arena, name);
    endEdit(t);
}

MarshalValue& MarshalValue::editable(MarshalArena*& arena) {
    if (flags_ & kInArena) {
        arena = MarshalArena::containing(this);
        if (arena) return *this;
    }
    if (!(flags_ & kOwned)) ownCopyOf(*this);
    arena = &a_.owned->arena;
    return a_.owned->node;
}

// ---- reading ---------------------------------------------------------------------------

int64_t MarshalValue::integer() const {
    if (kind_ == Fixnum) return static_cast<int32_t>(n_);
    if (kind_ == Bignum) return self().a_.big;
    return 0;
}

int32_t MarshalValue::fixnum() const {
    if (kind_ == Fixnum || kind_ == Link) return static_cast<int32_t>(n_);
    if (kind_ == Regexp) return self().small_;
    return 0;
}

double MarshalValue::floatValue() const {
    return kind_ == Float ? self().a_.real : 0.0;
}

std::string_view MarshalValue::rawText() const {
    const MarshalValue& s = self();
    if (holdsText(s.kind_)) return {s.a_.text, s.n_};
    if (s.kind_ == Float) return {s.b_.digits, s.n_};
    return {};
}

std::string_view MarshalValue::rawTextOrBytes() const {
    return kind_ == UserDump ? std::string_view(a_.text, n_) : rawText();
}

// Instance-variable wrappers may nest; an empty one unwraps to itself.
const MarshalValue& MarshalValue::unwrapped() const {
    const MarshalValue* s = &self();
    while (s->kind_ == Ivars && s->b_.child) s = &s->b_.child->self();
    return *s;
}

std::string_view MarshalValue::textView() const {
    const MarshalValue* s = &unwrapped();
    if (!holdsText(s->kind_)) return {};
    std::string_view all(s->a_.text, s->n_);
    size_t nul = all.find('\0');
    return nul == std::string_view::npos ? all : all.substr(0, nul);
}

std::string_view MarshalValue::classNameView() const {
    const MarshalValue& s = self();
    if (holdsClassName(s.kind_)) return s.b_.name ? s.b_.name->view() : std::string_view();
    if (s.kind_ == UserClass) return s.n_ ? s.a_.pairs[0].first.textView() : std::string_view();
    return {};
}

ValueArray MarshalValue::children() const {
    const MarshalValue& s = self();
    if (s.kind_ == Array || s.kind_ == MarshalDump) return {s.a_.kids, s.n_};
    if (holdsChild(s.kind_) && s.b_.child) return {s.b_.child, 1};
    return {};
}

PairArray MarshalValue::pairs() const {
    const MarshalValue& s = self();
    if (holdsPairs(s.kind_)) return {s.a_.pairs, s.n_};
    return {};
}

std::string_view MarshalValue::storedForm() const {
    const MarshalValue& s = self();
    if ((s.kind_ == String || s.kind_ == Bignum) && s.b_.stored) return s.b_.stored->view();
    return {};
}

std::string_view MarshalValue::bytes() const {
    const MarshalValue& s = self();
    if (s.kind_ == UserDump) return {s.a_.text, s.n_};
    return storedForm();
}

const MarshalValue* MarshalValue::findInPairs(const MarshalValue& key) const {
    for (const auto& p : pairs())
        if (p.first.sameHashKey(key)) return &p.second;
    return nullptr;
}

const MarshalValue* MarshalValue::findIvar(std::string_view name) const {
    for (const auto& p : pairs()) {
        const MarshalValue& k = p.first.self();
        // Every name starts with "@": the last letter tells most apart before a compare.
        if ((k.kind_ == String || k.kind_ == Symbol) && k.n_ == name.size() &&
            (name.empty() || k.a_.text[name.size() - 1] == name.back()) &&
            std::memcmp(k.a_.text, name.data(), name.size()) == 0)
            return &p.second;
    }
    return nullptr;
}

// ---- editing ---------------------------------------------------------------------------

size_t MarshalValue::capacity() const {
    if (!(flags_ & kGrown)) return n_;
    return bitCeil(n_ < 1 ? 1 : n_);
}

ValueEdit MarshalValue::mutableChildren() {
    MarshalArena* arena = nullptr;
    MarshalValue& t = editable(arena);
    if (t.kind_ == Nil) t.kind_ = Array;  // a fresh value becomes an empty array
    endEdit(t);
    return ValueEdit(t, *arena);
}

PairEdit MarshalValue::mutablePairs() {
    MarshalArena* arena = nullptr;
    MarshalValue& t = editable(arena);
    if (t.kind_ == Nil) t.kind_ = Hash;
    endEdit(t);
    return PairEdit(t, *arena);
}

template <>
size_t NodeEdit<MarshalValue>::size() const {
    return node_.kind_ == MarshalValue::Array || node_.kind_ == MarshalValue::MarshalDump ? node_.n_
                                                                                          : 0;
}

template <>
void NodeEdit<MarshalValue>::push_back(const MarshalValue& item) {
    MarshalValue keep(item, MarshalValue::Shallow{});  // item may be one of these nodes
    resize(size() + 1);
    back() = keep;
}

template <>
size_t NodeEdit<ValuePair>::size() const {
    return holdsPairs(node_.kind_) ? node_.n_ : 0;
}

template <>
void NodeEdit<ValuePair>::push_back(const ValuePair& item) {
    MarshalValue key(item.first, MarshalValue::Shallow{});  // item may be one of these pairs
    MarshalValue value(item.second, MarshalValue::Shallow{});
    resize(size() + 1);
    back().first = key;
    back().second = value;
}

template <typename T>
T* NodeEdit<T>::begin() {
    if (!size()) return nullptr;
    if constexpr (std::is_same_v<T, ValuePair>)
        return node_.a_.pairs;
    else
        return node_.a_.kids;
}

// Children and pairs grow alike: a run that must get longer than its capacity moves to a
// fresh run of the next power of two in the arena (the old one stays there unused until
// the arena goes), so a loop of push_back copies each item a constant number of times.
template <typename T>
void NodeEdit<T>::resize(size_t n) {
    constexpr bool pairs = std::is_same_v<T, ValuePair>;
    T** items;
    if constexpr (pairs)
        items = &node_.a_.pairs;
    else
        items = &node_.a_.kids;
    size_t have = size();
    if (n > node_.capacity() || (n > have && !*items)) {
        T* grown;
        if constexpr (pairs)
            grown = MarshalValue::newPairs(arena_, bitCeil(n));
        else
            grown = MarshalValue::newNodes(arena_, bitCeil(n));
        if (have) std::memcpy(static_cast<void*>(grown), *items, have * sizeof(T));
        *items = grown;
        node_.flags_ |= MarshalValue::kGrown;
    }
    for (size_t i = have; i < n; ++i) {
        if constexpr (pairs) {
            (*items)[i].first.makeScalar(MarshalValue::Nil);
            (*items)[i].second.makeScalar(MarshalValue::Nil);
        } else {
            (*items)[i].makeScalar(MarshalValue::Nil);
        }
    }
    node_.n_ = static_cast<uint32_t>(n);
}

template class NodeEdit<MarshalValue>;
template class NodeEdit<ValuePair>;

// ---- whole values ----------------------------------------------------------------------

MarshalValue MarshalValue::deepCopy() const {
    MarshalValue out(self(), Shallow{});
    if (out.content()) out.ownCopyOf(self());
    return out;
}

void MarshalValue::appendText(std::string& out, bool quoted) const {
    const MarshalValue* node = &unwrapped();  // newer Ruby versions wrap strings
    switch (node->kind_) {
        case String:
            if (quoted) out += '"';
            out += node->textView();
            if (quoted) out += '"';
            return;
        case Symbol:
            if (quoted) out += ':';
            out += node->textView();
            return;
        case Regexp:
            out += quoted ? format("\"%s\"(option:%d)", std::string(node->textView()).c_str(),
                                   node->small_)
                          : std::string(node->textView());
            return;
        case Nil:
            out += "nil";
            return;
        case True:
            out += "true";
            return;
        case False:
            out += "false";
            return;
        case Fixnum:
            out += format("%d", static_cast<int32_t>(node->n_));
            return;
        case Bignum:
            out += format("%" PRId64, node->a_.big);
            return;
        case Float:
            out += format("%.16g", node->a_.real);
            return;
        case Link:
            out += format("@%d", static_cast<int32_t>(node->n_));
            return;
        case Hash:
        case HashDef:
            out += format("[Hash[%u]]", node->n_);
            return;
        case Struct:
            out += format("[Struct[%u]]", node->n_);
            return;
        case Object:
            if (quoted) out += format("[Object[%u]]", node->n_);
            out += node->classNameView();
            return;
        case UserClass:
            if (quoted)
                out += "(" + node->className() + ")";
            else
                out += node->classNameView();
            return;
        default:
            return;
    }
}

// Arrays are walked with a stack of their own, so no nesting depth exhausts the call stack.
std::string MarshalValue::toText(bool quoted) const {
    std::string out;
    struct Level {
        ValueArray items;
        size_t next;
    };
    std::vector<Level> stack;
    const MarshalValue* node = &unwrapped();
    bool nested = false;
    for (;;) {
        if (node && node->kind_ == Array) {
            out += '[';
            stack.push_back({node->children(), 0});
        } else if (node) {
            node->appendText(out, quoted || nested);
        }
        node = nullptr;
        while (!stack.empty() && stack.back().next == stack.back().items.size()) {
            out += ']';
            stack.pop_back();
        }
        if (stack.empty()) return out;
        Level& top = stack.back();
        if (top.next > 0) out += ',';
        node = &top.items[top.next++].unwrapped();
        nested = true;
    }
}

bool MarshalValue::sameHashKey(const MarshalValue& other) const {
    const MarshalValue& a = self();
    const MarshalValue& b = other.self();
    if (a.kind_ != b.kind_) {
        // A key read as a symbol equals the same name built as a string.
        bool names =
            (a.kind_ == String || a.kind_ == Symbol) && (b.kind_ == String || b.kind_ == Symbol);
        return names && a.rawText() == b.rawText();
    }
    auto childEq = [&]() {
        ValueArray x = a.children(), y = b.children();
        if (x.empty() || y.empty()) return x.size() == y.size();
        return x[0].sameHashKey(y[0]);
    };
    switch (a.kind_) {
        case String:
        case Symbol:
            return a.rawText() == b.rawText();
        case Regexp:
            return a.small_ == b.small_ && a.rawText() == b.rawText();
        case Nil:
        case True:
        case False:
            return true;
        case Fixnum:
        case Link:
            return a.n_ == b.n_;
        case Bignum:
            return a.a_.big == b.a_.big;
        case Float:
            return a.a_.real == b.a_.real;
        case Array:
        case Hash:
            return a.n_ == b.n_;
        case HashDef:
            return childEq() && a.n_ == b.n_;
        case Object:
        case Struct:
            return a.classNameView() == b.classNameView();
        case Ivars:
            return childEq();
        case MarshalDump:
            return a.classNameView() == b.classNameView() && childEq();
        case UserDump:
            return a.classNameView() == b.classNameView() && a.bytes() == b.bytes();
        case UserClass: {
            if (a.n_ == 0 || b.n_ == 0) return a.n_ == b.n_;
            return a.a_.pairs[0].first.sameHashKey(b.a_.pairs[0].first) &&
                   a.a_.pairs[0].second.sameHashKey(b.a_.pairs[0].second);
        }
        default:
            return false;
    }
}

}  // namespace zorvane
