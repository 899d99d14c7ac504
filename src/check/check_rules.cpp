// The rules over the gathered facts: switches and variables, self switches, common events
// and transfers. Each rule forgives what a script may do where the script names the id.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "check/check_facts.h"
#include "check/check_words.h"
#include "map/map_data.h"
#include "platform/string_util.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

struct IdKindText {
    LabelKind labelKind;
    const char* scriptPrefix;
    const char* readNeverWritten;
    const char* writtenNeverRead;
};

const IdKindText kSwitchTexts = {LabelKind::Switch, "$game_switches[",
                                 "参照されますが、ONにするコマンドがありません",
                                 "操作されますが、どこからも参照されません"};
const IdKindText kVariableTexts = {LabelKind::Variable, "$game_variables[",
                                   "参照されますが、値を代入するコマンドがありません",
                                   "代入されますが、どこからも参照されません"};

bool named(const std::vector<std::string>& names, int id) {
    return id > 0 && static_cast<size_t>(id) < names.size() && !names[id].empty();
}

FindingPlace systemPlace(ListingLanguage language) {
    FindingPlace place;
    place.area = FindingPlace::Database;
    place.table = checkSay("システム", language);
    return place;
}

void checkIds(const ProjectDatabase& project, const std::map<int, IdUse>& uses,
              const std::vector<std::string>& names, const std::set<int>& inScripts,
              const IdKindText& t, ListingLanguage language, std::vector<Finding>& out) {
    std::set<int> ids(inScripts);
    for (const auto& entry : uses) ids.insert(entry.first);
    for (size_t id = 1; id < names.size(); ++id)
        if (!names[id].empty()) ids.insert(static_cast<int>(id));
    for (int id : ids) {
        if (id <= 0) continue;
        auto it = uses.find(id);
        IdUse u = it == uses.end() ? IdUse() : it->second;
        bool script = inScripts.count(id) != 0;
        std::string subject = project.label(id, t.labelKind, LabelStyle::full(), language);
        auto add = [&](Severity s, const FindingPlace& place, const char* message) {
            out.push_back(makeFinding(CheckKind::SwitchesVariables, s, place, subject,
                                      checkSay(message, language)));
        };
        if (u.read && !u.written && !script) add(Severity::Warning, u.firstRead, t.readNeverWritten);
        if (u.written && !u.read && !script) add(Severity::Note, u.firstWrite, t.writtenNeverRead);
        bool used = u.read || u.written || script;
        if (used && !named(names, id))
            add(Severity::Note, u.read ? u.firstRead : u.written ? u.firstWrite : systemPlace(language),
                "使われていますが、名前がありません");
        if (!used && named(names, id))
            add(Severity::Note, systemPlace(language), "名前がありますが、どこにも使われていません");
    }
}

// Where a lower-case word stands in a text in any case, occurrence after occurrence. Its
// first letter is sought in both cases with memchr, each place kept until it is passed:
// lowering a copy of every script first cost more than the whole search.
class NoCaseSearch {
  public:
    NoCaseSearch(std::string_view text, std::string_view word) : text_(text), word_(word) {}

    // The first place at or after `from`; npos when there is none.
    size_t next(size_t from) {
        const char lower = word_[0];
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(lower)));
        for (;;) {
            size_t at = std::min(seek(lowerAt_, lower, from), seek(upperAt_, upper, from));
            if (at == std::string_view::npos || startsWithNoCase(text_.substr(at), word_))
                return at;
            from = at + 1;
        }
    }

  private:
    static constexpr size_t kUnset = std::string_view::npos - 1;

    size_t seek(size_t& kept, char c, size_t from) const {
        if (kept != kUnset && (kept == std::string_view::npos || kept >= from)) return kept;
        const void* p = from < text_.size()
                            ? std::memchr(text_.data() + from, c, text_.size() - from)
                            : nullptr;
        kept = p ? static_cast<size_t>(static_cast<const char*>(p) - text_.data())
                 : std::string_view::npos;
        return kept;
    }

    std::string_view text_, word_;
    size_t lowerAt_ = kUnset, upperAt_ = kUnset;
};

// Ids a script names after "common_event" or "commonevent" (any case), as in
// `$game_temp.common_event_id = 12` or a helper that takes the id; `$data_common_events[12]`
// is read by the caller.
std::set<int> commonEventsInScripts(const std::string& text) {
    std::set<int> ids;
    for (std::string_view word : {"common_event", "commonevent"}) {
        NoCaseSearch search(text, word);
        for (size_t at = search.next(0); at != std::string::npos; at = search.next(at + 1)) {
            size_t i = at + word.size();
            if (startsWithNoCase(std::string_view(text).substr(i), "_id")) i += 3;
            while (i < text.size() && std::string(" =([").find(text[i]) != std::string::npos) ++i;
            int n = 0;
            size_t digits = i;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && n < 100000)
                n = n * 10 + (text[i++] - '0');
            if (i > digits) ids.insert(n);
        }
    }
    return ids;
}

}  // namespace

Finding makeFinding(CheckKind kind, Severity severity, const FindingPlace& place,
                    const std::string& subject, const std::string& message) {
    Finding f;
    f.kind = kind;
    f.severity = severity;
    f.place = place;
    f.subject = subject;
    f.message = message;
    return f;
}

void checkSwitchesVariables(const ProjectDatabase& project, const CheckFacts& facts,
                            std::vector<Finding>& out) {
    const SystemData& system = project.system();
    checkIds(project, facts.switches, system.switchNames,
             literalIdsAfter(facts.scriptText, kSwitchTexts.scriptPrefix), kSwitchTexts, facts.language, out);
    checkIds(project, facts.variables, system.variableNames,
             literalIdsAfter(facts.scriptText, kVariableTexts.scriptPrefix), kVariableTexts, facts.language, out);
}

void checkSelfSwitches(const CheckFacts& facts, std::vector<Finding>& out) {
    // A script that names a self switch by a literal key ([map, event, letter]) may set any
    // event's; then an unset one is only worth a note. The default scripts build their keys
    // in a variable, so mentioning the table alone does not count.
    bool scripts = facts.scriptText.find("$game_self_switches[[") != std::string::npos;
    for (const auto& [owner, event] : facts.selfSwitches) {
        std::set<std::string> reported;
        for (const auto& [letter, place] : event.reads) {
            if (event.written.count(letter) || facts.selfSwitchesSetInCommonEvents.count(letter) ||
                !reported.insert(letter).second)
                continue;
            out.push_back(makeFinding(CheckKind::SelfSwitches,
                                      scripts ? Severity::Note : Severity::Warning, place,
                                      checkSay("セルフスイッチ", facts.language) + letter,
                                      checkSay("参照されますが、このイベントにONにするコマンドがありません",
                                               facts.language)));
        }
    }
}

void checkCommonEvents(const ProjectDatabase& project, const CheckFacts& facts,
                       std::vector<Finding>& out) {
    const std::vector<CommonEvent>& events = project.commonEvents();
    auto say = [&facts](const char* japanese) { return checkSay(japanese, facts.language); };
    for (const auto& [id, place] : facts.commonEventCalls)
        if (id < 1 || static_cast<size_t>(id) >= events.size())
            out.push_back(makeFinding(CheckKind::CommonEvents, Severity::Error, place,
                                      format(say("コモンイベント%03d"), id),
                                      say("呼び出すコモンイベントがデータベースにありません")));
    std::set<int> used(facts.calledCommonEvents);
    for (const Item& item : project.items()) used.insert(item.commonEventId);
    for (const Skill& skill : project.skills()) used.insert(skill.commonEventId);
    std::set<int> inScripts = commonEventsInScripts(facts.scriptText);
    for (int id : literalIdsAfter(facts.scriptText, "$data_common_events[")) inScripts.insert(id);
    std::set<int> switchesInScripts = literalIdsAfter(facts.scriptText, "$game_switches[");
    for (int id : facts.commonEventsWithCommands) {
        const CommonEvent& e = events[static_cast<size_t>(id)];
        if (used.count(id) || inScripts.count(id)) continue;
        bool started = false;
        if (e.trigger == 1 || e.trigger == 2) {
            auto s = facts.switches.find(e.switchId);
            started = (s != facts.switches.end() && s->second.written) ||
                      switchesInScripts.count(e.switchId);
        }
        if (started) continue;
        FindingPlace place;
        place.area = FindingPlace::CommonEvent;
        place.ownerId = id;
        place.name = e.name;
        out.push_back(makeFinding(
            CheckKind::CommonEvents, Severity::Note, place,
            project.label(id, LabelKind::CommonEvent, LabelStyle::full(), facts.language),
            say(e.trigger == 0 ? "どこからも呼び出されません"
                               : "呼び出されず、開始条件のスイッチをONにするものもありません")));
    }
}

void checkTransfers(const ProjectDatabase& project, const CheckFacts& facts,
                    std::vector<Finding>& out) {
    std::map<int, std::pair<int, int>> sizes = facts.mapSizes;
    std::set<int> missing, unreadable;
    auto say = [&facts](const char* japanese) { return checkSay(japanese, facts.language); };
    for (const TransferUse& t : facts.transfers) {
        std::string subject = format(say("マップ%03d (%d,%d)"), t.mapId, t.x, t.y);
        if (!sizes.count(t.mapId) && !missing.count(t.mapId) && !unreadable.count(t.mapId)) {
            MapData map;
            if (t.mapId > 0 && map.load(project, t.mapId, false, nullptr, false))
                sizes[t.mapId] = {map.width, map.height};
            else
                (t.mapId > 0 && !map.loadFailure.empty() ? unreadable : missing).insert(t.mapId);
        }
        if (missing.count(t.mapId)) {
            out.push_back(makeFinding(CheckKind::Transfers, Severity::Error, t.place, subject,
                                      say("移動先のマップがありません")));
            continue;
        }
        auto size = sizes.find(t.mapId);
        if (size == sizes.end()) continue;
        if (t.x < 0 || t.y < 0 || t.x >= size->second.first || t.y >= size->second.second)
            out.push_back(makeFinding(
                CheckKind::Transfers, Severity::Error, t.place, subject,
                format(say("移動先がマップの外です（マップの大きさ %d×%d）"), size->second.first,
                       size->second.second)));
    }
}

}  // namespace zorvane
