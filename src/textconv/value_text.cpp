// Values and records as stable lines. The order of a record's fields comes from the
// database record tables (the editor's own order), never from the file, so an editor that
// writes the variables in another order makes no difference.
#include "textconv/value_text.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "marshal/rgss_types.h"
#include "marshal/value_path_index.h"
#include "project/labels.h"
#include "project/project_database.h"
#include "project/record_tables.h"

namespace zorvane {

namespace {

constexpr int kMaxDepth = 64;  // deeper values are cut: data files never nest this far

struct FieldInfo {
    std::string_view ivar;
    bool isSet;  // an id set: shown sorted, as the editor treats it
};
using FieldOrder = std::vector<FieldInfo>;

template <class R>
FieldOrder orderOf(const FieldTable<R>& table, std::initializer_list<const char*> more = {}) {
    FieldOrder order;
    for (const auto& f : table)
        order.push_back({f.ivar, std::holds_alternative<IdSet R::*>(f.member)});
    for (const char* ivar : more) order.push_back({ivar, false});
    return order;
}

FieldOrder plain(std::initializer_list<const char*> ivars) {
    FieldOrder order;
    for (const char* ivar : ivars) order.push_back({ivar, false});
    return order;
}

const FieldOrder* fieldOrderOf(const std::string& className) {
    static const std::map<std::string, FieldOrder, std::less<>> orders = {
        {"RPG::Actor", orderOf(kActorFields)},
        {"RPG::Class", orderOf(kClassFields, {"@learnings"})},
        {"RPG::Class::Learning", orderOf(kLearningFields)},
        {"RPG::Skill", orderOf(kSkillFields)},
        {"RPG::Item", orderOf(kItemFields)},
        {"RPG::Weapon", orderOf(kWeaponFields)},
        {"RPG::Armor", orderOf(kArmorFields)},
        {"RPG::State", orderOf(kStateFields)},
        {"RPG::Enemy", orderOf(kEnemyFields, {"@actions"})},
        {"RPG::Enemy::Action", orderOf(kEnemyActionFields)},
        {"RPG::Animation", orderOf(kAnimationFields, {"@frames", "@timings"})},
        {"RPG::Animation::Frame", plain({"@cell_max", "@cell_data"})},
        {"RPG::Animation::Timing",
         plain({"@frame", "@se", "@flash_scope", "@flash_color", "@flash_duration", "@condition"})},
        {"RPG::Tileset", orderOf(kTilesetFields)},
        {"RPG::MapInfo", orderOf(kMapInfoFields)},
        // Records without a table of their own: the editor's order.
        {"RPG::Map",
         plain({"@width", "@height", "@tileset_id", "@autoplay_bgm", "@bgm", "@autoplay_bgs",
                "@bgs", "@encounter_list", "@encounter_step", "@data"})},
        {"RPG::Troop::Member", plain({"@enemy_id", "@x", "@y", "@hidden", "@immortal"})},
        {"RPG::System",
         plain({"@magic_number",      "@party_members",     "@windowskin_name", "@title_name",
                "@gameover_name",     "@battle_transition", "@title_bgm",       "@battle_bgm",
                "@battle_end_me",     "@gameover_me",       "@cursor_se",       "@decision_se",
                "@cancel_se",         "@buzzer_se",         "@equip_se",        "@shop_se",
                "@save_se",           "@load_se",           "@battle_start_se", "@escape_se",
                "@actor_collapse_se", "@enemy_collapse_se", "@words",           "@test_battlers",
                "@test_troop_id",     "@start_map_id",      "@start_x",         "@start_y",
                "@battleback_name",   "@battler_name",      "@battler_hue",     "@edit_map_id"})},
        {"RPG::System::Words",
         plain({"@gold",   "@hp",     "@sp",    "@str",    "@dex",    "@agi",    "@int",
                "@atk",    "@pdef",   "@mdef",  "@weapon", "@armor1", "@armor2", "@armor3",
                "@armor4", "@attack", "@skill", "@guard",  "@item",   "@equip"})},
        {"RPG::System::TestBattler", plain({"@actor_id", "@level", "@weapon_id", "@armor1_id",
                                            "@armor2_id", "@armor3_id", "@armor4_id"})},
    };
    auto it = orders.find(className);
    return it == orders.end() ? nullptr : &it->second;
}

// Fields that hold ids of a database kind, and the kind whose names label them.
struct IdField {
    std::string_view ivar;
    LabelKind kind;
};

const IdField kIdFields[] = {
    {"@class_id", LabelKind::Class},
    {"@skill_id", LabelKind::Skill},
    {"@item_id", LabelKind::Item},
    {"@weapon_id", LabelKind::Weapon},
    {"@armor_id", LabelKind::Armor},
    {"@armor1_id", LabelKind::Armor},
    {"@armor2_id", LabelKind::Armor},
    {"@armor3_id", LabelKind::Armor},
    {"@armor4_id", LabelKind::Armor},
    {"@auto_state_id", LabelKind::State},
    {"@animation_id", LabelKind::Animation},
    {"@animation1_id", LabelKind::Animation},
    {"@animation2_id", LabelKind::Animation},
    {"@common_event_id", LabelKind::CommonEvent},
    {"@condition_switch_id", LabelKind::Switch},
    {"@switch_id", LabelKind::Switch},
    {"@variable_id", LabelKind::Variable},
    {"@actor_id", LabelKind::Actor},
    {"@enemy_id", LabelKind::Enemy},
    {"@parent_id", LabelKind::Map},
    {"@start_map_id", LabelKind::Map},
    {"@edit_map_id", LabelKind::Map},
    {"@test_troop_id", LabelKind::Troop},
    {"@tileset_id", LabelKind::Tileset},
    {"@party_members", LabelKind::Actor},
    {"@encounter_list", LabelKind::Troop},
    {"@weapon_set", LabelKind::Weapon},
    {"@armor_set", LabelKind::Armor},
    {"@element_set", LabelKind::Element},
    {"@guard_element_set", LabelKind::Element},
    {"@plus_state_set", LabelKind::State},
    {"@minus_state_set", LabelKind::State},
    {"@guard_state_set", LabelKind::State},
};

std::optional<LabelKind> idKindOf(std::string_view ivar) {
    for (const IdField& f : kIdFields)
        if (f.ivar == ivar) return f.kind;
    return std::nullopt;
}

// "[name]" of id in a kind; "" without names or for ids below 1.
std::string nameOfId(int64_t id, LabelKind kind, const ValueTextContext& context) {
    const ProjectDatabase* db = context.project;
    if (!db || db->idsOnly || id <= 0 || id > INT32_MAX) return {};
    return db->label(static_cast<int>(id), kind, LabelStyle::bracketedName());
}

std::string integerText(int64_t v, std::optional<LabelKind> kind, const ValueTextContext& context) {
    std::string text = std::to_string(v);
    if (kind) {
        std::string name = nameOfId(v, *kind, context);
        if (!name.empty()) text += " " + name;
    }
    return text;
}

bool isInteger(const MarshalValue& v) {
    return v.kind() == MarshalValue::Fixnum || v.kind() == MarshalValue::Bignum;
}

bool isStringNode(const MarshalValue& v) {
    if (v.kind() == MarshalValue::String) return true;
    return v.kind() == MarshalValue::Ivars && !v.children().empty() &&
           v.children()[0].kind() == MarshalValue::String;
}

// A link stands for the object it names; without an index it stays a link.
const MarshalValue& resolved(const MarshalValue& v, const ValueTextContext& context) {
    if (v.kind() != MarshalValue::Link || !context.index) return v;
    const MarshalValue* target = context.index->resolveLink(context.topIndex, v.fixnum());
    return target && target->kind() != MarshalValue::Link ? *target : v;
}

std::string numberListText(const ValueArray& items, bool sorted, std::optional<LabelKind> kind,
                           const ValueTextContext& context) {
    std::vector<int64_t> values;
    for (const MarshalValue& v : items) values.push_back(v.integer());
    if (sorted) std::sort(values.begin(), values.end());
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text += ", ";
        text += integerText(values[i], kind, context);
    }
    return text + "]";
}

std::string inlineText(const MarshalValue& v, std::string_view ivar, bool isSet,
                       const ValueTextContext& context) {
    switch (v.kind()) {
        case MarshalValue::Nil:
            return "nil";
        case MarshalValue::True:
            return "true";
        case MarshalValue::False:
            return "false";
        case MarshalValue::Fixnum:
        case MarshalValue::Bignum:
            return integerText(v.integer(), idKindOf(ivar), context);
        case MarshalValue::Float:
            return floatText(v.floatValue());
        case MarshalValue::String:
            return quoteText(v.text());
        case MarshalValue::Symbol:
            return ":" + v.text();
        case MarshalValue::Ivars:
            return isStringNode(v) ? quoteText(v.text()) : std::string();
        case MarshalValue::Regexp:
            return "/" + quoteText(v.text()) + "/";
        case MarshalValue::UserDump:
            return packedText(v);
        case MarshalValue::ClassRef:
            return "class " + v.text();
        case MarshalValue::ModuleRef:
            return "module " + v.text();
        case MarshalValue::Link:
            return "@" + std::to_string(v.fixnum());
        case MarshalValue::Array: {
            const ValueArray& items = v.children();
            if (!std::all_of(items.begin(), items.end(), isInteger)) return {};
            return numberListText(items, isSet, idKindOf(ivar), context);
        }
        case MarshalValue::Hash:
        case MarshalValue::HashDef:
            return v.pairs().empty() ? "{}" : std::string();
        case MarshalValue::Object: {
            if (v.pairs().empty()) return v.className() + " {}";
            if (v.classNameView() != "RPG::AudioFile") return {};
            AudioFile audio;
            audio.decode(v);
            return quoteText(audio.name) + " " + std::to_string(audio.volume) + " " +
                   std::to_string(audio.pitch);
        }
        default:
            return {};
    }
}

std::string spaces(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

void appendValue(std::string& out, const std::string& head, const MarshalValue& value,
                 std::string_view ivar, bool isSet, int indent, const ValueTextContext& context,
                 int depth);
void appendObjectFields(std::string& out, const MarshalValue& object, int indent,
                        const ValueTextContext& context, const std::vector<std::string_view>& skip,
                        int depth);

void appendObjectFields(std::string& out, const MarshalValue& object, int indent,
                        const ValueTextContext& context, const std::vector<std::string_view>& skip,
                        int depth) {
    struct Entry {
        std::string ivar;
        const MarshalValue* value;
        bool isSet;
    };
    std::vector<Entry> entries;
    auto skipped = [&](std::string_view name) {
        return std::find(skip.begin(), skip.end(), name) != skip.end();
    };
    const FieldOrder* order = fieldOrderOf(object.className());
    auto known = [&](std::string_view name) {
        return order && std::any_of(order->begin(), order->end(),
                                    [&](const FieldInfo& f) { return f.ivar == name; });
    };
    if (order)
        for (const FieldInfo& f : *order)
            if (const MarshalValue* v = object.findIvar(f.ivar); v && !skipped(f.ivar))
                entries.push_back({std::string(f.ivar), v, f.isSet});
    size_t firstOther = entries.size();
    for (const ValuePair& pair : object.pairs()) {
        std::string name = pair.first.text();
        if (!skipped(name) && !known(name)) entries.push_back({name, &pair.second, false});
    }
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(firstOther), entries.end(),
              [](const Entry& a, const Entry& b) { return a.ivar < b.ivar; });
    for (const Entry& e : entries) {
        std::string name = e.ivar.substr(e.ivar.rfind('@', 0) == 0 ? 1 : 0);
        appendValue(out, name + ": ", *e.value, e.ivar, e.isSet, indent, context, depth);
    }
}

// "@N" for a value with lines of its own that the text already spells out; marks it shown
// otherwise.
std::string repeatText(const MarshalValue& v, const ValueTextContext& context) {
    if (!context.shown) return {};
    auto index = context.shown->indexOf.find(&v);
    if (index == context.shown->indexOf.end()) return {};
    if (context.shown->shown.insert(&v).second) return {};
    return "@" + std::to_string(index->second);
}

void appendBody(std::string& out, const MarshalValue& v, std::string_view ivar, int indent,
                const ValueTextContext& context, int depth) {
    switch (v.kind()) {
        case MarshalValue::Object:
        case MarshalValue::Struct:
            appendObjectFields(out, v, indent + 2, context, {}, depth + 1);
            break;
        case MarshalValue::Array:
            for (const MarshalValue& element : v.children())
                appendValue(out, "- ", element, ivar, false, indent + 2, context, depth + 1);
            break;
        case MarshalValue::Hash:
        case MarshalValue::HashDef:
            for (const ValuePair& pair : v.pairs()) {
                std::string key = inlineText(resolved(pair.first, context), {}, false, context);
                appendValue(out, (key.empty() ? "?" : key) + " => ", pair.second, {}, false,
                            indent + 2, context, depth + 1);
            }
            break;
        default:
            // Wrappers of other values: their class, then what they hold.
            out += spaces(indent + 2) + v.toText(true) + "\n";
            for (const MarshalValue& child : v.children())
                appendValue(out, "- ", child, {}, false, indent + 2, context, depth + 1);
            break;
    }
}

// A subclass value: "(Class)" with what it holds shown as the plain value would be, then its
// own variables with their '@', so a change anywhere inside changes a line.
void appendWrapped(std::string& out, const std::string& head, const WrappedValue& w,
                   std::string_view ivar, bool isSet, int indent, const ValueTextContext& context,
                   int depth) {
    const MarshalValue& inner = resolved(*w.inner, context);
    std::string name = w.className.empty() ? ValuePathIndex::headOf(inner) : w.className;
    std::string text = inlineText(inner, ivar, isSet, context);
    // A subclass value met again is named, not spelled out again (as plain values are).
    if (text.empty()) text = repeatText(inner, context);
    out += spaces(indent) + head + "(" + name + ")" + (text.empty() ? "" : " " + text) + "\n";
    if (text.empty()) appendBody(out, inner, ivar, indent, context, depth);
    for (const ValuePair* variable : w.ivars)
        appendValue(out, variable->first.text() + ": ", variable->second,
                    variable->first.textView(), false, indent + 2, context, depth + 1);
}

void appendValue(std::string& out, const std::string& head, const MarshalValue& value,
                 std::string_view ivar, bool isSet, int indent, const ValueTextContext& context,
                 int depth) {
    if (context.budget) context.budget->check(out.size());
    const MarshalValue& v = resolved(value, context);
    if (depth > kMaxDepth) {
        out += spaces(indent) + head + "...\n";
        return;
    }
    if (WrappedValue wrapped; seeThrough(v, wrapped)) {
        appendWrapped(out, head, wrapped, ivar, isSet, indent, context, depth);
        return;
    }
    std::string text = inlineText(v, ivar, isSet, context);
    if (text.empty()) text = repeatText(v, context);
    if (!text.empty()) {
        out += spaces(indent) + head + text + "\n";
        return;
    }
    bool item = head == "- ";
    // A list item's first line carries the "- " where its indentation would be.
    if (item && (v.kind() == MarshalValue::Object || v.kind() == MarshalValue::Struct)) {
        size_t start = out.size();
        appendBody(out, v, ivar, indent, context, depth);
        if (out.size() > start + static_cast<size_t>(indent) + 2) {
            out.replace(start + static_cast<size_t>(indent), 2, "- ");
            return;
        }
        out.insert(start, spaces(indent) + "-\n");
        return;
    }
    out += spaces(indent) + (item ? "-" : head.substr(0, head.size() - 1)) + "\n";
    appendBody(out, v, ivar, indent, context, depth);
}

}  // namespace

bool seeThrough(const MarshalValue& v, WrappedValue& out) {
    out = WrappedValue();
    const MarshalValue* node = &v;
    for (int level = 0; level < kMaxDepth; ++level) {
        if (node->kind() == MarshalValue::UserClass && !node->pairs().empty()) {
            if (out.className.empty()) out.className = node->className();
            node = &node->pairs()[0].second;
        } else if (node->kind() == MarshalValue::Ivars && !node->children().empty()) {
            for (const ValuePair& pair : node->pairs())
                if (std::string_view name = pair.first.rawText(); name != "E" && name != "encoding")
                    out.ivars.push_back(&pair);
            node = &node->children()[0];
        } else {
            break;
        }
    }
    out.inner = node;
    return !out.className.empty() || !out.ivars.empty();
}

TextBudget::TextBudget(size_t inputBytes) : limit_((size_t(32) << 20) + 64 * inputBytes) {}

void TextBudget::spend(size_t bytes) {
    spent_ += bytes;
    check(0);
}

void TextBudget::check(size_t pending) const {
    if (spent_ + pending <= limit_) return;
    throw TextTooLong("its text would pass " + std::to_string(limit_ >> 20) +
                      " MB, far more than a file of its size holds; stopped");
}

// Only a value some link points at can be reached twice: the others are no business of
// this table, which would otherwise hold every object of the file.
ShownValues shownValuesOf(const ValuePathIndex& index) {
    ShownValues values;
    if (index.objectTables().empty()) return values;
    const TopLevelObjects& table = index.objectTables()[0];
    for (const auto& link : table.links)
        if (link.second >= 0 && size_t(link.second) < table.objects.size())
            values.indexOf.emplace(table.objects[size_t(link.second)], link.second);
    return values;
}

void appendVisible(std::string& out, std::string_view text) {
    char buf[8];
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", next);
            out += buf;
            ++i;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
}

std::string quoteText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", u);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string floatText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    // to_chars gives the shortest text that reads back exactly, whatever the locale.
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::string packedText(const MarshalValue& node) {
    const ByteBuffer& bytes = node.bytes();
    char crc[24];
    std::snprintf(
        crc, sizeof crc, "crc32:%08lx",
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    std::string name = node.className();
    if (Table table; name == "Table" && table.decode(node)) {
        std::string size = std::to_string(table.xsize);
        if (table.dimensions >= 2) size += "x" + std::to_string(table.ysize);
        if (table.dimensions >= 3) size += "x" + std::to_string(table.zsize);
        return "Table " + size + " " + crc;
    }
    double four[4];
    bool four_ok = false;
    if (Color c; name == "Color" && c.decode(node)) {
        four[0] = c.red, four[1] = c.green, four[2] = c.blue, four[3] = c.alpha;
        four_ok = true;
    } else if (Tone t; name == "Tone" && t.decode(node)) {
        four[0] = t.red, four[1] = t.green, four[2] = t.blue, four[3] = t.gray;
        four_ok = true;
    }
    if (four_ok) {
        std::string text = name + "(";
        for (int i = 0; i < 4; ++i) text += (i ? ", " : "") + floatText(four[i]);
        return text + ")";
    }
    return "<" + name + ", " + std::to_string(bytes.size()) + " bytes, " + crc + ">";
}

std::string inlineValueText(const MarshalValue& node, std::string_view ivar,
                            const ValueTextContext& context) {
    return inlineText(resolved(node, context), ivar, false, context);
}

void appendFields(std::string& out, const MarshalValue& object, int indent,
                  const ValueTextContext& context, const std::vector<std::string_view>& skip) {
    appendObjectFields(out, resolved(object, context), indent, context, skip, 0);
}

void appendField(std::string& out, std::string_view ivar, const MarshalValue& value, int indent,
                 const ValueTextContext& context) {
    std::string_view name = ivar.substr(!ivar.empty() && ivar[0] == '@' ? 1 : 0);
    appendValue(out, std::string(name) + ": ", value, ivar, false, indent, context, 0);
}

}  // namespace zorvane
