// Each kind of data file has its own block builder; every builder goes through the same
// field writer and listing engine, so a value looks the same wherever it stands. Orders are
// fixed here rather than taken from the file where the file's order means nothing: events
// and map infos by id, record fields by the record tables.
#include "textconv/file_text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "documents/condition_block.h"
#include "listing/listing.h"
#include "map/event_walk.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"
#include "project/event_records.h"
#include "project/event_tables.h"
#include "project/project_database.h"
#include "project/project_path.h"
#include "textconv/line_diff.h"
#include "textconv/value_dump.h"
#include "textconv/value_text.h"

namespace zorvane {

namespace {

const char* const kFullWidthSpace = "　";

// What the editor keeps for itself changes on nearly every save (the save counter, the map it
// had open, the tree's folds and scroll positions): it goes to a last block of its own, so a
// save that changed nothing else reads as bookkeeping and real changes stand apart.
const char* const kEditorStateKey = "editor state";
const char* const kSystemEditorState[] = {"@magic_number", "@edit_map_id"};
const char* const kMapInfoEditorState[] = {"@expanded", "@scroll_x", "@scroll_y"};

struct RecordKind {
    const char* className;
    const char* fileName;
    const char* noun;
};

const RecordKind kRecordKinds[] = {
    {"RPG::Actor", "Actors.rxdata", "actor"},
    {"RPG::Class", "Classes.rxdata", "class"},
    {"RPG::Skill", "Skills.rxdata", "skill"},
    {"RPG::Item", "Items.rxdata", "item"},
    {"RPG::Weapon", "Weapons.rxdata", "weapon"},
    {"RPG::Armor", "Armors.rxdata", "armor"},
    {"RPG::Enemy", "Enemies.rxdata", "enemy"},
    {"RPG::State", "States.rxdata", "state"},
    {"RPG::Animation", "Animations.rxdata", "animation"},
    {"RPG::Tileset", "Tilesets.rxdata", "tileset"},
};

struct NamedKind {
    const char* className;
    const char* fileName;
    DataFileKind kind;
};

const NamedKind kNamedKinds[] = {
    {"RPG::CommonEvent", "CommonEvents.rxdata", DataFileKind::CommonEvents},
    {"RPG::Troop", "Troops.rxdata", DataFileKind::Troops},
    {"RPG::System", "System.rxdata", DataFileKind::System},
    {"RPG::MapInfo", "MapInfos.rxdata", DataFileKind::MapInfos},
    {"RPG::Map", "", DataFileKind::Map},
};

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether a name is `name` or ends in "_" + name (git's temporary copies).
bool namesFile(const std::string& fileName, const std::string& name) {
    std::string base = baseName(fileName);
    if (equalsNoCase(base, name)) return true;
    return base.size() > name.size() && base[base.size() - name.size() - 1] == '_' &&
           equalsNoCase(base.substr(base.size() - name.size()), name);
}

const MarshalValue* topValue(const MarshalFile& file) {
    const ValueArray& tops = file.root().children();
    return tops.empty() ? nullptr : &tops[0];
}

// The first element of an array, or value of a hash, that is not nil.
const MarshalValue* firstEntry(const MarshalValue& top) {
    if (top.kind() == MarshalValue::Array) {
        for (const MarshalValue& v : top.children())
            if (!v.isNil()) return &v;
    } else if (top.kind() == MarshalValue::Hash) {
        for (const ValuePair& p : top.pairs())
            if (!p.second.isNil()) return &p.second;
    }
    return nullptr;
}

bool looksLikeScript(const MarshalValue& v) {
    const ValueArray& parts = v.children();
    return v.kind() == MarshalValue::Array && parts.size() == 3 &&
           parts[0].kind() == MarshalValue::Fixnum;
}

const RecordKind* recordKindOf(const MarshalFile& file, const std::string& fileName) {
    const MarshalValue* top = topValue(file);
    const MarshalValue* first = top ? firstEntry(*top) : nullptr;
    for (const RecordKind& k : kRecordKinds)
        if (first ? first->classNameView() == k.className : namesFile(fileName, k.fileName)) return &k;
    return nullptr;
}

std::string spaces(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

// One line of text whatever the stored text holds.
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

// The document writer's condition block in its text form, one title or item a line.
void appendConditions(std::string& out, const std::vector<ConditionSection>& sections, int indent) {
    const std::string block = renderConditionBlock(sections, false);
    for (std::string_view line : splitLines(block)) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) out += spaces(indent) + std::string(line) + "\n";
    }
}

std::string idTitle(const char* noun, int64_t id, const MarshalValue* node) {
    std::string title = std::string(noun) + " " + std::to_string(id);
    if (const MarshalValue* name = node ? node->findIvar("@name") : nullptr)
        title += " " + quoteText(name->text());
    return title + "\n";
}

// Everything one file's builders share: the file, the names and the listing options. The
// event lists of maps, common events and troops are reached by the walk.
class Builder : EventListVisitor {
  public:
    Builder(const MarshalFile& file, const std::string& fileName, const TextconvOptions& options,
            size_t fileBytes)
        : file_(file),
          fileName_(fileName),
          budget_(fileBytes),
          shown_(shownValuesOf(file.index())),
          joiner_(options.write) {
        idsOnly_.idsOnly = true;
        project_ = options.project ? options.project : &idsOnly_;
        context_.project = project_;
        context_.index = &file.index();
        context_.shown = &shown_;
        context_.budget = &budget_;
        listing_.project = project_;
        listing_.detail = options.detail;
        listing_.language = options.language;
        streaming_ = static_cast<bool>(options.write);
    }

    FileText build();

  private:
    void add(std::string key, const std::string& text) {
        std::string visible;
        visible.reserve(text.size());
        appendVisible(visible, text);
        budget_.spend(visible.size());
        if (streaming_)
            joiner_.add(visible);
        else
            out_.blocks.push_back({std::move(key), std::move(visible)});
    }
    void valueDump();
    const MarshalValue& deref(const MarshalValue& v) const;
    void appendCommands(std::string& out, const MarshalValue* listNode, int indent) const;
    void appendMoveRoute(std::string& out, const MarshalValue& page, int indent) const;

    void mapBlocks(const MarshalValue& map);
    void commonEventBlocks();
    void troopBlocks();

    WalkStep enter(const EventListPlace& place) override;
    WalkStep list(const EventListPlace& place) override;
    void leave(const EventListPlace& place) override;
    void enterMapEvent(const EventListPlace& place);
    void mapEventPage(const EventListPlace& place);
    void troopPage(const EventListPlace& place);
    void recordBlocks(const MarshalValue& array, const RecordKind& kind);
    void systemBlocks(const MarshalValue& system);
    void mapInfoBlocks(const MarshalValue& hash);
    void scriptBlocks(const MarshalValue& array);

    const MarshalFile& file_;
    std::string fileName_;
    ProjectDatabase idsOnly_;
    const ProjectDatabase* project_ = nullptr;
    TextBudget budget_;
    ShownValues shown_;
    TextJoiner joiner_;
    bool streaming_ = false;
    ValueTextContext context_;
    ListingOptions listing_;
    FileText out_;
    // The block of the owner being walked.
    std::string key_;
    std::string text_;
};

// The value dump of a file no other form knows: streamed piece by piece when the text goes
// out as it comes, since only its size bounds it.
void Builder::valueDump() {
    std::string whole;
    dumpValues(file_, false, [&](std::string_view piece) {
        std::string visible;
        appendVisible(visible, piece);
        budget_.spend(visible.size());
        if (streaming_)
            joiner_.add(visible);
        else
            whole += visible;
    });
    if (!streaming_) out_.blocks.push_back({"value", std::move(whole)});
}

const MarshalValue& Builder::deref(const MarshalValue& v) const {
    if (v.kind() != MarshalValue::Link) return v;
    const MarshalValue* target = file_.index().resolveLink(0, v.fixnum());
    return target ? *target : v;
}

void Builder::appendCommands(std::string& out, const MarshalValue* listNode, int indent) const {
    if (!listNode) return;
    EventCommandList list;
    list.read(deref(*listNode));
    std::string line;
    for (const EventCommand& command : list.commands) {
        formatCommand(line, command, listing_, nullptr);
        budget_.check(out.size() + line.size());
        out += spaces(indent);
        for (int32_t i = 0; i < shownIndent(command.indent); ++i) out += kFullWidthSpace;
        out += oneLine(line) + "\n";
    }
}

// The custom route of a page, when it holds any move: its flags, then one move a line as
// the route editor shows it.
void Builder::appendMoveRoute(std::string& out, const MarshalValue& page, int indent) const {
    const MarshalValue* routeNode = page.findIvar("@move_route");
    if (!routeNode) return;
    const MarshalValue& route = deref(*routeNode);
    const MarshalValue* moves = route.findIvar("@list");
    if (!moves) return;
    std::string lines;
    const CommandRow* row = findCommandRow(509);
    for (const MarshalValue& moveNode : deref(*moves).children()) {
        const ParamView params(&deref(moveNode), 1);
        const MarshalValue* code = params[0].findIvar("@code");
        if (!code || code->integer() == 0 || !row) continue;
        std::string text;
        row->formatter(text, params, listing_);
        lines += spaces(indent + 2) + oneLine(text) + "\n";
    }
    if (lines.empty()) return;
    out += spaces(indent) + "move route:";
    for (const char* flag : {"@repeat", "@skippable"})
        if (const MarshalValue* v = route.findIvar(flag); v && v->isTrue())
            out += std::string(" ") + (flag + 1);
    out += "\n" + lines;
}

void Builder::mapBlocks(const MarshalValue& map) {
    int mapId = mapIdFromFileName(fileName_);
    std::string header = mapId > 0 ? "map " + std::to_string(mapId) + "\n" : "map\n";
    appendFields(header, map, 2, context_, {"@events"});
    add("map", std::move(header));
    const MarshalValue* eventsNode = map.findIvar("@events");
    if (!eventsNode) return;
    const MarshalValue& events = deref(*eventsNode);
    std::map<int32_t, MapEvent> records = readMapEvents(events);
    listing_.ownerKind = OwnerKind::Map;
    listing_.ownerId = mapId;
    listing_.mapEvents = &records;
    // The walk visits the events it has records of; an entry that is no event object is
    // still written, so it gets a bare record beside the ones the listing names.
    std::map<int32_t, MapEvent> withBare;
    if (records.size() != events.pairs().size()) {
        withBare = records;
        for (const ValuePair& pair : events.pairs()) {
            const auto id = static_cast<int32_t>(pair.first.integer());
            withBare.try_emplace(id).first->second.id = id;
        }
    }
    walkMapFile(file_, mapId, withBare.empty() ? records : withBare, *this);
    listing_.mapEvents = nullptr;
}

void Builder::commonEventBlocks() {
    std::vector<CommonEvent> records;
    readCommonEvents(file_, records);
    listing_.ownerKind = OwnerKind::CommonEvent;
    walkCommonEventFile(file_, records, *this);
}

void Builder::troopBlocks() {
    std::vector<Troop> records;
    readTroops(file_, records);
    listing_.ownerKind = OwnerKind::Troop;
    walkTroopFile(file_, records, *this);
}

WalkStep Builder::enter(const EventListPlace& place) {
    key_.clear();
    text_.clear();
    if (place.owner == OwnerKind::Map) {
        enterMapEvent(place);
        return key_.empty() ? WalkStep::SkipOwner : WalkStep::Go;
    }
    listing_.ownerId = place.ownerId;
    const char* noun = place.owner == OwnerKind::Troop ? "troop" : "common event";
    key_ = noun + (" " + std::to_string(place.ownerId));
    text_ = idTitle(noun, place.ownerId, place.node);
    if (place.owner == OwnerKind::Troop) {
        // The troop's own fields are a block of their own; each page follows as another.
        if (place.node) appendFields(text_, *place.node, 2, context_, {"@id", "@name", "@pages"});
        add(key_, std::move(text_));
        key_.clear();
    }
    return WalkStep::Go;
}

// An entry that is no event object is written as its value on the title line.
void Builder::enterMapEvent(const EventListPlace& place) {
    std::string key = "event " + std::to_string(place.event->id);
    if (!place.node || place.node->kind() != MarshalValue::Object) {
        std::string value = place.node ? " " + inlineValueText(*place.node, {}, context_) : "";
        add(key, key + value + "\n");
        return;
    }
    const MapEvent& event = *place.event;
    key_ = std::move(key);
    text_ = key_ + " " + quoteText(event.name) + " at (" + std::to_string(event.x) + "," +
            std::to_string(event.y) + ")\n";
    appendFields(text_, *place.node, 2, context_, {"@id", "@name", "@x", "@y", "@pages"});
}

WalkStep Builder::list(const EventListPlace& place) {
    switch (place.owner) {
        case OwnerKind::Map:
            mapEventPage(place);
            break;
        case OwnerKind::Troop:
            troopPage(place);
            break;
        default: {
            const CommonEvent& event = *place.commonEvent;
            appendConditions(text_, commonEventSections(event, *project_, listing_.language), 2);
            appendCommands(text_, place.list, 2);
            break;
        }
    }
    return WalkStep::Go;
}

void Builder::mapEventPage(const EventListPlace& place) {
    text_ += "  page " + std::to_string(place.page) + "\n";
    appendConditions(text_,
                     mapPageSections(place.event->pages[size_t(place.page - 1)], *project_,
                                     listing_.detail, listing_.language),
                     4);
    if (place.pageNode) appendMoveRoute(text_, *place.pageNode, 4);
    appendCommands(text_, place.list, 4);
}

void Builder::troopPage(const EventListPlace& place) {
    std::string pageKey =
        "troop " + std::to_string(place.ownerId) + " page " + std::to_string(place.page);
    std::string pageText = pageKey + "\n";
    appendConditions(pageText,
                     troopPageSections(place.troop->pages[size_t(place.page - 1)], place.ownerId,
                                       *project_, listing_.detail, listing_.language),
                     2);
    appendCommands(pageText, place.list, 2);
    add(pageKey, std::move(pageText));
}

void Builder::leave(const EventListPlace&) {
    if (!key_.empty()) add(std::move(key_), text_);
    key_.clear();
}

void Builder::recordBlocks(const MarshalValue& array, const RecordKind& kind) {
    const ValueArray& items = array.children();
    for (size_t i = 1; i < items.size(); ++i) {
        const MarshalValue& node = deref(items[i]);
        std::string key = std::string(kind.noun) + " " + std::to_string(i);
        if (node.kind() != MarshalValue::Object) {
            add(key, key + " " + inlineValueText(node, {}, context_) + "\n");
            continue;
        }
        std::string text = idTitle(kind.noun, static_cast<int64_t>(i), &node);
        // The id says nothing the title does not, unless the data disagrees with its place.
        const MarshalValue* id = node.findIvar("@id");
        bool idInPlace = id && id->integer() == static_cast<int64_t>(i);
        appendFields(text, node, 2, context_,
                     idInPlace ? std::vector<std::string_view>{"@id", "@name"}
                               : std::vector<std::string_view>{"@name"});
        add(key, std::move(text));
    }
}

void Builder::systemBlocks(const MarshalValue& system) {
    std::string text = "system\n";
    std::vector<std::string_view> skip{"@switches", "@variables", "@elements"};
    skip.insert(skip.end(), std::begin(kSystemEditorState), std::end(kSystemEditorState));
    appendFields(text, system, 2, context_, skip);
    add("system", std::move(text));
    // Each name is an item of its own, so a rename is reported as that name alone.
    for (auto [ivar, noun] : {std::pair{"@switches", "switch"}, std::pair{"@variables", "variable"},
                              std::pair{"@elements", "element"}}) {
        const MarshalValue* names = system.findIvar(ivar);
        if (!names) continue;
        const ValueArray& items = deref(*names).children();
        for (size_t i = 1; i < items.size(); ++i) {
            std::string key = std::string(noun) + " " + std::to_string(i);
            add(key, key + " " + inlineValueText(items[i], {}, context_) + "\n");
        }
    }
    std::string state;
    for (const char* ivar : kSystemEditorState)
        if (const MarshalValue* v = system.findIvar(ivar))
            appendField(state, ivar, *v, 2, context_);
    if (!state.empty()) add(kEditorStateKey, kEditorStateKey + std::string("\n") + state);
}

void Builder::mapInfoBlocks(const MarshalValue& hash) {
    std::map<int64_t, const MarshalValue*> byId;
    for (const ValuePair& pair : hash.pairs()) byId.emplace(pair.first.integer(), &pair.second);
    std::vector<std::string_view> skip{"@name"};
    skip.insert(skip.end(), std::begin(kMapInfoEditorState), std::end(kMapInfoEditorState));
    std::string state;
    for (const auto& [id, node] : byId) {
        std::string text = idTitle("map info", id, &deref(*node));
        appendFields(text, deref(*node), 2, context_, skip);
        add("map info " + std::to_string(id), std::move(text));
        // One line a map, so scrolling or folding one map changes one line.
        std::string line;
        for (const char* ivar : kMapInfoEditorState)
            if (const MarshalValue* v = deref(*node).findIvar(ivar))
                line += std::string(line.empty() ? "" : ", ") + (ivar + 1) + ": " +
                        inlineValueText(*v, ivar, context_);
        if (!line.empty()) state += "  map " + std::to_string(id) + ": " + line + "\n";
    }
    if (!state.empty()) add(kEditorStateKey, kEditorStateKey + std::string("\n") + state);
}

// Scripts are known by the number the editor gives each one, so inserting a script does not
// make every later one look changed. Line ends become '\n'.
void Builder::scriptBlocks(const MarshalValue& array) {
    for (const MarshalValue& itemNode : array.children()) {
        const MarshalValue& item = deref(itemNode);
        const ValueArray& parts = item.children();
        if (!looksLikeScript(item)) {
            add("script ?", "script " + inlineValueText(item, {}, context_) + "\n");
            continue;
        }
        std::string text = "script " + quoteText(deref(parts[1]).text()) + "\n";
        std::string body = deref(parts[2]).text();
        for (size_t start = 0; start < body.size();) {
            size_t end = body.find('\n', start);
            if (end == std::string::npos) end = body.size();
            std::string line = body.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            text += line.empty() ? "\n" : "  " + line + "\n";
            start = end + 1;
        }
        budget_.check(text.size());
        add("script " + std::to_string(parts[0].integer()), std::move(text));
    }
}

FileText Builder::build() {
    out_.kind = dataFileKind(file_, fileName_);
    const MarshalValue* top = topValue(file_);
    if (!top) return std::move(out_);
    switch (out_.kind) {
        case DataFileKind::Map:
            mapBlocks(*top);
            break;
        case DataFileKind::CommonEvents:
            commonEventBlocks();
            break;
        case DataFileKind::Troops:
            troopBlocks();
            break;
        case DataFileKind::Records:
            recordBlocks(*top, *recordKindOf(file_, fileName_));
            break;
        case DataFileKind::System:
            systemBlocks(*top);
            break;
        case DataFileKind::MapInfos:
            mapInfoBlocks(*top);
            break;
        case DataFileKind::Scripts:
            scriptBlocks(*top);
            break;
        case DataFileKind::Other:
            valueDump();
            break;
    }
    // Damaged data may repeat an id: later repeats get a number so keys stay unique.
    std::map<std::string, int> seen;
    for (TextBlock& block : out_.blocks)
        if (int n = ++seen[block.key]; n > 1) block.key += " #" + std::to_string(n);
    return std::move(out_);
}

}  // namespace

DataFileKind dataFileKind(const MarshalFile& file, const std::string& fileName) {
    const MarshalValue* top = topValue(file);
    if (!top || file.root().children().size() != 1) return DataFileKind::Other;
    bool container = top->kind() == MarshalValue::Array || top->kind() == MarshalValue::Hash;
    const MarshalValue* first = container ? firstEntry(*top) : top;
    if (recordKindOf(file, fileName) && top->kind() == MarshalValue::Array)
        return DataFileKind::Records;
    for (const NamedKind& k : kNamedKinds) {
        bool byContent = first && first->classNameView() == k.className;
        bool byName = !first && container && *k.fileName && namesFile(fileName, k.fileName);
        if (!byContent && !byName) continue;
        // Each kind has one shape: a map or the system alone, map infos in a hash, the
        // rest in an array.
        bool alone = k.kind == DataFileKind::Map || k.kind == DataFileKind::System;
        if (alone ? first == top
                  : top->kind() == (k.kind == DataFileKind::MapInfos ? MarshalValue::Hash
                                                                     : MarshalValue::Array))
            return k.kind;
    }
    if (top->kind() == MarshalValue::Array &&
        (first ? looksLikeScript(*first) : namesFile(fileName, "Scripts.rxdata")))
        return DataFileKind::Scripts;
    return DataFileKind::Other;
}

FileText fileText(const MarshalFile& file, const std::string& fileName,
                  const TextconvOptions& options, size_t fileBytes) {
    return Builder(file, fileName, options, fileBytes).build();
}

void TextJoiner::add(std::string_view blockText) {
    bool multiLine = std::count(blockText.begin(), blockText.end(), '\n') > 1;
    if (!first_ && (multiLine || previousMultiLine_)) write_("\n");
    write_(blockText);
    first_ = false;
    previousMultiLine_ = multiLine;
}

std::string joinedText(const FileText& text) {
    std::string out;
    TextJoiner joiner([&out](std::string_view piece) { out += piece; });
    for (const TextBlock& block : text.blocks) joiner.add(block.text);
    return out;
}

int mapIdFromFileName(const std::string& fileName) {
    std::string base = baseName(fileName);
    const std::string ext = ".rxdata";
    if (base.size() <= ext.size() || !equalsNoCase(base.substr(base.size() - ext.size()), ext))
        return 0;
    size_t end = base.size() - ext.size(), start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(base[start - 1]))) --start;
    if (start == end || end - start > 9 || start < 3 ||
        !equalsNoCase(base.substr(start - 3, 3), "map"))
        return 0;
    if (start > 3 && base[start - 4] != '_') return 0;
    return std::stoi(base.substr(start, end - start));
}

std::string projectFolderForDataFile(const std::string& dataFile) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(dataFile, error).parent_path();
    if (error || !equalsNoCase(folder.filename().string(), "Data")) return {};
    return folder.parent_path().string();
}

// Labels need names only: the big tables are scanned for them instead of read in full.
bool openLabels(ProjectDatabase& db, const std::string& folderOrFile, std::string& why) {
    std::string projectFile = projectFileOf(folderOrFile);
    db.namesOnly = true;
    if (!projectFile.empty() && db.open(projectFile)) return true;
    auto data = isDirectory(folderOrFile) ? findPathNoCase(folderOrFile, "Data") : std::nullopt;
    bool holdsDatabase = false;
    for (const std::string& name : ProjectDatabase::dataFileNames())
        if (data && findPathNoCase(*data, name)) holdsDatabase = true;
    db.namesOnly = true;
    if (holdsDatabase && db.openFolder(folderOrFile)) return true;
    db.clear();
    db.idsOnly = true;
    why = folderOrFile + ": neither a project nor a folder whose Data folder holds database files";
    return false;
}

}  // namespace zorvane
