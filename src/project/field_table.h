// Records are read through tables of field descriptors: the instance-variable name, the
// member it fills and, by the member's type, how the value is taken (text, integer,
// boolean, id set, Table, audio file). A missing variable leaves the member's default.
#pragma once

#include <algorithm>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "marshal/marshal_value.h"
#include "marshal/rgss_types.h"
#include "project/records.h"

namespace zorvane {

template <class R>
struct FieldSpec {
    const char* ivar;
    std::variant<std::string R::*, int32_t R::*, bool R::*, IdSet R::*, Table R::*,
                 AudioFile R::*>
        member;
};

template <class R>
using FieldTable = std::vector<FieldSpec<R>>;

inline void readFieldValue(const MarshalValue& v, std::string& out) { out = v.text(); }
inline void readFieldValue(const MarshalValue& v, int32_t& out) {
    out = static_cast<int32_t>(v.integer());
}
inline void readFieldValue(const MarshalValue& v, bool& out) { out = v.isTrue(); }
inline void readFieldValue(const MarshalValue& v, IdSet& out) {
    out.clear();
    out.reserve(v.children().size());
    for (const auto& e : v.children()) out.push_back(static_cast<int32_t>(e.integer()));
    // The editor writes them in order: sorting large classes' sets again was most of their read.
    if (!std::is_sorted(out.begin(), out.end())) std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}
inline void readFieldValue(const MarshalValue& v, Table& out) {
    Table t;
    out = t.decode(v) ? t : Table{};
}
inline void readFieldValue(const MarshalValue& v, AudioFile& out) { out.decode(v); }

template <class R>
void readFields(const MarshalValue& object, R& record, const FieldTable<R>& table) {
    for (const auto& field : table) {
        const MarshalValue* v = object.findIvar(field.ivar);
        if (!v) continue;
        std::visit([&](auto member) { readFieldValue(*v, record.*member); }, field.member);
    }
}

}  // namespace zorvane
