#include "project/event_records.h"

#include <map>

#include "marshal/marshal_file.h"
#include "project/field_table.h"

namespace zorvane {

bool EventCommand::read(const MarshalValue& node) {
    if (node.kind() != MarshalValue::Object || node.classNameView() != "RPG::EventCommand")
        return false;
    const MarshalValue* code = node.findIvar("@code");
    const MarshalValue* indent = node.findIvar("@indent");
    const MarshalValue* params = node.findIvar("@parameters");
    if (!code || !indent || !params) return false;
    this->code = static_cast<int32_t>(code->integer());
    this->indent = static_cast<int32_t>(indent->integer());
    viewParameters(params->children());
    return true;
}

void EventCommand::setParameters(ValueVector values) {
    owned_ = std::make_shared<const ValueVector>(std::move(values));
    parameters_ = *owned_;
}

namespace {
// The command with parameter `index` replaced by a string.
void replaceWithText(EventCommand& command, size_t index, const std::string& text) {
    ValueVector values;
    values.reserve(command.parameters().size());
    for (size_t i = 0; i < command.parameters().size(); ++i) {
        values.emplace_back();
        if (i == index)
            values.back().setString(text);
        else
            values.back() = command.parameters()[i];
    }
    command.setParameters(std::move(values));
}
}  // namespace

void EventCommandList::read(const MarshalValue& listNode) {
    const ValueArray& items = listNode.children();
    commands.assign(items.size(), EventCommand{});
    for (size_t i = 0; i < items.size(); ++i) commands[i].read(items[i]);
    fixUp();
}

void EventCommandList::fixUp() {
    std::map<int32_t, std::vector<std::string>> choices;  // by indent
    for (size_t i = 0; i < commands.size(); ++i) {
        EventCommand& cmd = commands[i];
        const ValueArray& params = cmd.parameters();
        if (params.size() < 2) continue;
        if (cmd.code == 102) {
            std::vector<std::string> texts;
            for (const auto& c : params[0].children()) texts.push_back(c.text());
            choices[cmd.indent] = std::move(texts);
        } else if (cmd.code == 402) {
            // The editor may store the branch's text as a link to the choice's string.
            int32_t k = params[0].kind() == MarshalValue::Fixnum ? params[0].fixnum() : 0;
            auto it = choices.find(cmd.indent);
            if (it != choices.end() && k >= 0 && static_cast<size_t>(k) < it->second.size())
                replaceWithText(cmd, 1, it->second[static_cast<size_t>(k)]);
        } else if (cmd.code == 209) {
            const MarshalValue& route = params[1];
            if (route.kind() != MarshalValue::Object || route.classNameView() != "RPG::MoveRoute")
                continue;
            const MarshalValue* moves = route.findIvar("@list");
            if (!moves) continue;
            const ValueArray& list = moves->children();
            for (size_t t = 0; t < list.size() && i + 1 + t < commands.size(); ++t) {
                EventCommand& next = commands[i + 1 + t];
                if (next.code != 509) break;
                next.viewParameters(ValueArray(&list[t], 1));
            }
        }
    }
}

int32_t commandCodeOf(const MarshalValue& node) {
    if (node.kind() != MarshalValue::Object || node.classNameView() != "RPG::EventCommand")
        return -1;
    const MarshalValue* code = node.findIvar("@code");
    return code ? static_cast<int32_t>(code->integer()) : -1;
}

namespace {
// The text of choice k of the nearest "show choices" before position at with this indent.
bool choiceText(const ValueArray& items, size_t at, int32_t indent, int32_t k, std::string& out) {
    for (size_t j = at; j-- > 0;) {
        EventCommand c;
        if (commandCodeOf(items[j]) != 102 || !c.read(items[j]) || c.indent != indent ||
            c.parameters().size() < 2)
            continue;
        ValueArray texts = c.parameters()[0].children();
        if (k < 0 || static_cast<size_t>(k) >= texts.size()) return false;
        out = texts[static_cast<size_t>(k)].text();
        return true;
    }
    return false;
}

// The move of a 509 at position at: entry t of the route of the 209 that the run of 509s
// right before it starts from.
const MarshalValue* routeMove(const ValueArray& items, size_t at) {
    size_t t = 0;
    size_t j = at;
    while (j > 0 && commandCodeOf(items[j - 1]) == 509) {
        --j;
        ++t;
    }
    if (j == 0) return nullptr;
    EventCommand set;
    if (commandCodeOf(items[j - 1]) != 209 || !set.read(items[j - 1]) ||
        set.parameters().size() < 2)
        return nullptr;
    const MarshalValue& route = set.parameters()[1];
    if (route.kind() != MarshalValue::Object || route.classNameView() != "RPG::MoveRoute")
        return nullptr;
    const MarshalValue* moves = route.findIvar("@list");
    if (!moves || t >= moves->children().size()) return nullptr;
    return &moves->children()[t];
}
}  // namespace

bool readCommandAt(const ValueArray& items, size_t k, EventCommand& out) {
    out = EventCommand{};
    if (k >= items.size() || !out.read(items[k])) return false;
    if (out.code == 509) {
        if (const MarshalValue* move = routeMove(items, k)) out.viewParameters(ValueArray(move, 1));
        return true;
    }
    const ValueArray& params = out.parameters();
    if (params.size() < 2) return true;
    if (out.code == 402) {
        int32_t choice = params[0].kind() == MarshalValue::Fixnum ? params[0].fixnum() : 0;
        std::string text;
        if (choiceText(items, k, out.indent, choice, text)) replaceWithText(out, 1, text);
    }
    return true;
}

bool readCommandList(const MarshalFile& file, const std::string& path, EventCommandList& out) {
    out.commands.clear();
    const MarshalValue* node = file.index().findPath(path);
    if (!node) return false;
    out.read(*node);
    return true;
}

std::string commonEventListPath(int id) {
    return "Array[" + std::to_string(id) + "].@list";
}

std::string troopPageListPath(int troopId, int page) {
    return "Array[" + std::to_string(troopId) + "].@pages[" + std::to_string(page) + "].@list";
}

std::string mapEventPageListPath(int eventId, int page) {
    return "RPG::Map.@events{" + std::to_string(eventId) + "}.@pages[" + std::to_string(page) +
           "].@list";
}

namespace {

const FieldTable<TroopCondition> kTroopConditionFields = {
    {"@turn_valid", &TroopCondition::turnValid},   {"@enemy_valid", &TroopCondition::enemyValid},
    {"@actor_valid", &TroopCondition::actorValid}, {"@switch_valid", &TroopCondition::switchValid},
    {"@turn_a", &TroopCondition::turnA},           {"@turn_b", &TroopCondition::turnB},
    {"@enemy_index", &TroopCondition::enemyIndex}, {"@enemy_hp", &TroopCondition::enemyHp},
    {"@actor_id", &TroopCondition::actorId},       {"@actor_hp", &TroopCondition::actorHp},
    {"@switch_id", &TroopCondition::switchId},
};

const FieldTable<TroopMember> kTroopMemberFields = {
    {"@enemy_id", &TroopMember::enemyId},
    {"@x", &TroopMember::x},
    {"@y", &TroopMember::y},
    {"@hidden", &TroopMember::hidden},
    {"@immortal", &TroopMember::immortal},
};

const FieldTable<MapEventCondition> kMapConditionFields = {
    {"@switch1_valid", &MapEventCondition::switch1Valid},
    {"@switch2_valid", &MapEventCondition::switch2Valid},
    {"@variable_valid", &MapEventCondition::variableValid},
    {"@self_switch_valid", &MapEventCondition::selfSwitchValid},
    {"@switch1_id", &MapEventCondition::switch1Id},
    {"@switch2_id", &MapEventCondition::switch2Id},
    {"@variable_id", &MapEventCondition::variableId},
    {"@variable_value", &MapEventCondition::variableValue},
};

const FieldTable<MapEventGraphic> kMapGraphicFields = {
    {"@tile_id", &MapEventGraphic::tileId},
    {"@character_name", &MapEventGraphic::characterName},
    {"@character_hue", &MapEventGraphic::characterHue},
    {"@direction", &MapEventGraphic::direction},
    {"@pattern", &MapEventGraphic::pattern},
    {"@opacity", &MapEventGraphic::opacity},
    {"@blend_type", &MapEventGraphic::blendType},
};

const FieldTable<MapEventPage> kMapPageFields = {
    {"@move_type", &MapEventPage::moveType},
    {"@move_speed", &MapEventPage::moveSpeed},
    {"@move_frequency", &MapEventPage::moveFrequency},
    {"@walk_anime", &MapEventPage::walkAnime},
    {"@step_anime", &MapEventPage::stepAnime},
    {"@direction_fix", &MapEventPage::directionFix},
    {"@through", &MapEventPage::through},
    {"@always_on_top", &MapEventPage::alwaysOnTop},
    {"@trigger", &MapEventPage::trigger},
};

}  // namespace

void readTroopPage(const MarshalValue& pageNode, TroopPage& page) {
    if (const MarshalValue* span = pageNode.findIvar("@span"))
        page.span = static_cast<int32_t>(span->integer());
    if (const MarshalValue* cond = pageNode.findIvar("@condition"))
        readFields(*cond, page.condition, kTroopConditionFields);
}

void readTroopMember(const MarshalValue& memberNode, TroopMember& member) {
    readFields(memberNode, member, kTroopMemberFields);
}

void readMapEventPage(const MarshalValue& pageNode, MapEventPage& page) {
    if (const MarshalValue* cond = pageNode.findIvar("@condition")) {
        readFields(*cond, page.condition, kMapConditionFields);
        if (const MarshalValue* ch = cond->findIvar("@self_switch_ch")) {
            std::string s = ch->text();
            if (s.size() == 1 && s[0] >= 'A' && s[0] <= 'D') page.condition.selfSwitchCh = s[0];
        }
    }
    if (const MarshalValue* graphic = pageNode.findIvar("@graphic"))
        readFields(*graphic, page.graphic, kMapGraphicFields);
    readFields(pageNode, page, kMapPageFields);
}

std::map<int32_t, MapEvent> readMapEvents(const MarshalValue& eventsHash) {
    std::map<int32_t, MapEvent> events;
    for (const ValuePair& pair : eventsHash.pairs()) {
        const MarshalValue& node = pair.second;
        if (node.kind() != MarshalValue::Object) continue;
        MapEvent event;
        event.id = static_cast<int32_t>(pair.first.integer());
        if (const MarshalValue* v = node.findIvar("@name")) event.name = v->text();
        if (const MarshalValue* v = node.findIvar("@x"))
            event.x = static_cast<int32_t>(v->integer());
        if (const MarshalValue* v = node.findIvar("@y"))
            event.y = static_cast<int32_t>(v->integer());
        if (const MarshalValue* pages = node.findIvar("@pages")) {
            for (const MarshalValue& pageNode : pages->children()) {
                event.pages.emplace_back();
                readMapEventPage(pageNode, event.pages.back());
            }
        }
        events[event.id] = std::move(event);
    }
    return events;
}

}  // namespace zorvane
