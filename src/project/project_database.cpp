#include "project/project_database.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>

#include "marshal/name_scan.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"
#include "project/event_tables.h"
#include "project/file_helpers.h"
#include "project/game_ini.h"
#include "project/record_tables.h"
#include "project/resource.h"

namespace zorvane {

namespace {

// Every MapNNN.rxdata of the data folder (any letter case) with its write time and size.
std::map<std::string, std::string> mapFileStamps(const std::string& projectFolder) {
    std::map<std::string, std::string> stamps;
    auto data = findPathNoCase(projectFolder, "Data");
    std::error_code ec;
    if (!data) return stamps;
    for (std::filesystem::directory_iterator it(*data, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::string lower = asciiLower(name);
        if (lower.size() <= 10 || lower.compare(0, 3, "map") != 0 ||
            lower.compare(lower.size() - 7, 7, ".rxdata") != 0 ||
            lower.find_first_not_of("0123456789", 3) != lower.size() - 7)
            continue;
        std::error_code sizeError;
        auto size = std::filesystem::file_size(it->path(), sizeError);
        stamps[name] = fileTimeText(it->path().string(), FileTime::LastWrite, true, true) + " " +
                       std::to_string(sizeError ? 0 : size);
    }
    return stamps;
}

// Fills records 1..count-1 (or 0.. with firstIndex 0) of an "Array" file from its elements.
template <class R, class Extra>
void readRecordArray(const MarshalFile& f, std::vector<R>& out, const FieldTable<R>& fields,
                     Extra extra, size_t firstIndex = 1) {
    const MarshalValue* array = f.find("Array");
    if (!array) return;
    const ValueArray& items = array->children();
    out.assign(items.size(), R{});
    for (size_t i = firstIndex; i < items.size(); ++i) {
        readFields(items[i], out[i], fields);
        extra(items[i], out[i]);
    }
}

template <class R>
void readRecordArray(const MarshalFile& f, std::vector<R>& out, const FieldTable<R>& fields) {
    readRecordArray(f, out, fields, [](const MarshalValue&, R&) {});
}

// A nested list ("@learnings", "@actions", ...) sized from its own array node.
template <class R>
std::vector<R> readNestedList(const MarshalValue& owner, const char* ivar,
                              const FieldTable<R>& fields) {
    std::vector<R> out;
    const MarshalValue* list = owner.findIvar(ivar);
    if (!list || list->kind() != MarshalValue::Array) return out;
    out.resize(list->children().size());
    for (size_t j = 0; j < out.size(); ++j) readFields(list->children()[j], out[j], fields);
    return out;
}

struct SystemSound {
    const char* ivar;
    AudioFile SystemData::*member;
};

const SystemSound kSystemSounds[] = {
    {"@title_bgm", &SystemData::titleBgm},
    {"@battle_bgm", &SystemData::battleBgm},
    {"@battle_end_me", &SystemData::battleEndMe},
    {"@gameover_me", &SystemData::gameoverMe},
    {"@cursor_se", &SystemData::cursorSe},
    {"@decision_se", &SystemData::decisionSe},
    {"@cancel_se", &SystemData::cancelSe},
    {"@buzzer_se", &SystemData::buzzerSe},
    {"@equip_se", &SystemData::equipSe},
    {"@shop_se", &SystemData::shopSe},
    {"@save_se", &SystemData::saveSe},
    {"@load_se", &SystemData::loadSe},
    {"@battle_start_se", &SystemData::battleStartSe},
    {"@escape_se", &SystemData::escapeSe},
    {"@actor_collapse_se", &SystemData::actorCollapseSe},
    {"@enemy_collapse_se", &SystemData::enemyCollapseSe},
};

std::vector<std::string> readNameArray(const MarshalFile& f, const char* path) {
    std::vector<std::string> names;
    const MarshalValue* array = f.find("%s", path);
    if (!array) return names;
    names.resize(array->children().size());
    for (size_t k = 1; k < names.size(); ++k) names[k] = array->children()[k].text();
    return names;
}

}  // namespace

const std::vector<std::string>& ProjectDatabase::dataFileNames() {
    static const std::vector<std::string> names = {
        "System.rxdata",     "Actors.rxdata",       "Classes.rxdata", "Skills.rxdata",
        "Items.rxdata",      "Weapons.rxdata",      "Armors.rxdata",  "States.rxdata",
        "MapInfos.rxdata",   "CommonEvents.rxdata", "Troops.rxdata",  "Enemies.rxdata",
        "Animations.rxdata", "Tilesets.rxdata",     "Scripts.rxdata",
    };
    return names;
}

// The tables and what guards their first reading. Held by pointer so that const accessors
// can fill a table on first use and the mutex never moves.
struct ProjectDatabase::Store {
    std::mutex mutex;
    std::atomic<bool> ready[kDataPartCount] = {};
    std::map<std::string, std::string> fileTimes;  // path -> last-write time at open
    std::map<std::string, std::string> mapFiles;   // the same for every MapNNN.rxdata
    // A lock of their own: a window asking what failed so far must not wait for the table
    // another thread is reading.
    std::mutex diagnosticsMutex;
    std::vector<Diagnostic> diagnostics;

    void addDiagnostic(const std::string& file, const std::string& what) {
        std::lock_guard<std::mutex> lock(diagnosticsMutex);
        diagnostics.push_back({file, what});
    }
    // What compressed strings of all files of this open may still inflate to.
    std::atomic<size_t> inflateLeft{InflateLimits::kPerProject};

    SystemData system;
    std::vector<Actor> actors;
    std::vector<ActorClass> classes;
    std::vector<Skill> skills;
    std::vector<Item> items;
    std::vector<Weapon> weapons;
    std::vector<Armor> armors;
    std::vector<State> states;
    std::vector<Enemy> enemies;
    std::vector<Animation> animations;
    std::vector<Tileset> tilesets;
    std::map<int, MapInfo> mapInfos;
    std::vector<CommonEvent> commonEvents;
    std::vector<Troop> troops;
    MarshalFile commonEventsFile;
    MarshalFile troopsFile;
    std::vector<Script> scripts;
};

namespace {

void readSystem(const MarshalFile& f, SystemData& sys) {
    sys.switchNames = readNameArray(f, "RPG::System.@switches");
    sys.variableNames = readNameArray(f, "RPG::System.@variables");
    sys.elementNames = readNameArray(f, "RPG::System.@elements");
    if (const MarshalValue* w = f.find("RPG::System.@words"))
        for (const auto& pair : w->pairs()) sys.words[pair.first.text()] = pair.second.text();
    auto text = [&](const char* path, std::string& out) {
        if (const MarshalValue* v = f.find("%s", path)) out = v->text();
    };
    text("RPG::System.@windowskin_name", sys.windowskinName);
    text("RPG::System.@title_name", sys.titleName);
    text("RPG::System.@gameover_name", sys.gameoverName);
    text("RPG::System.@battle_transition", sys.battleTransition);
    for (const auto& sound : kSystemSounds)
        if (const MarshalValue* v = f.find("RPG::System.%s", sound.ivar))
            (sys.*sound.member).decode(*v);
}

void readMapInfos(const MarshalFile& f, std::map<int, MapInfo>& infos) {
    const MarshalValue* hash = f.find("Hash");
    if (!hash) return;
    // A field missing from an entry keeps what the previous entry had, as the editor's
    // own reader does.
    MapInfo current;
    for (const auto& pair : hash->pairs()) {
        int64_t id = pair.first.integer();
        if (id <= 0 || id > INT32_MAX) continue;
        readFields(pair.second, current, kMapInfoFields);
        infos[static_cast<int>(id)] = current;
    }
}

void readScripts(const MarshalFile& f, std::vector<Script>& scripts) {
    const MarshalValue* array = f.find("Array");
    if (!array) return;
    const ValueArray& items = array->children();
    scripts.assign(items.size(), Script{});
    for (size_t i = 0; i < items.size(); ++i) {
        const ValueArray& parts = items[i].children();
        if (items[i].kind() != MarshalValue::Array) continue;
        if (parts.size() > 1) scripts[i].title = parts[1].text();
        if (parts.size() > 2) scripts[i].text = parts[2].text();
    }
}

void readTilesets(const MarshalFile& f, std::vector<Tileset>& tilesets) {
    const MarshalValue* array = f.find("Array");
    if (!array) return;
    const ValueArray& items = array->children();
    tilesets.assign(items.size(), Tileset{});
    for (size_t i = 0; i < items.size(); ++i) {
        const MarshalValue& node = items[i];
        if (node.kind() != MarshalValue::Object || node.classNameView() != "RPG::Tileset") continue;
        readFields(node, tilesets[i], kTilesetFields);
        if (const MarshalValue* names = node.findIvar("@autotile_names")) {
            const ValueArray& list = names->children();
            for (size_t k = 0; k < 7 && k < list.size(); ++k)
                tilesets[i].autotileNames[k] = list[k].text();
        }
    }
}

}  // namespace

void readCommonEvents(const MarshalFile& f, std::vector<CommonEvent>& events) {
    static const FieldTable<CommonEvent> fields = {
        {"@name", &CommonEvent::name},
        {"@trigger", &CommonEvent::trigger},
        {"@switch_id", &CommonEvent::switchId},
    };
    readRecordArray(f, events, fields);
}

void readTroops(const MarshalFile& f, std::vector<Troop>& troops) {
    static const FieldTable<Troop> fields = {{"@name", &Troop::name}};
    readRecordArray(f, troops, fields, [](const MarshalValue& node, Troop& troop) {
        if (const MarshalValue* members = node.findIvar("@members")) {
            troop.members.resize(members->children().size());
            for (size_t j = 0; j < troop.members.size(); ++j)
                readTroopMember(members->children()[j], troop.members[j]);
        }
        if (const MarshalValue* pages = node.findIvar("@pages")) {
            troop.pages.resize(pages->children().size());
            for (size_t j = 0; j < troop.pages.size(); ++j)
                readTroopPage(pages->children()[j], troop.pages[j]);
        }
    });
}

ProjectDatabase::ProjectDatabase() : store_(std::make_unique<Store>()) {}
ProjectDatabase::~ProjectDatabase() = default;
ProjectDatabase::ProjectDatabase(ProjectDatabase&&) noexcept = default;
ProjectDatabase& ProjectDatabase::operator=(ProjectDatabase&&) noexcept = default;

void ProjectDatabase::clear() {
    *this = ProjectDatabase{};
}

std::string ProjectDatabase::dataFilePath(const std::string& fileName) const {
    auto hit = resources_.findPath(projectFolder, "Data/" + fileName);
    return hit ? *hit : std::string();
}

bool ProjectDatabase::readDataFile(const std::string& fileName, MarshalFile& file) const {
    file.clear();
    if (!loaded) return false;
    std::string path = dataFilePath(fileName);
    if (path.empty()) return false;
    file.setInflateLimits(inflateLimits());
    return file.load(path);
}

InflateLimits ProjectDatabase::inflateLimits() const {
    InflateLimits limits;
    limits.projectLeft = &store_->inflateLeft;
    return limits;
}

bool ProjectDatabase::hasChanged() const {
    if (namesOnly) return false;  // a labels-only open took no times to compare with
    for (const auto& [path, time] : store_->fileTimes)
        if (fileTimeText(path, FileTime::LastWrite, true, true) != time) return true;
    // Maps are saved by the editor as often as the database: one saved, added or deleted
    // counts as a change too.
    return mapFileStamps(projectFolder) != store_->mapFiles;
}

std::vector<Diagnostic> ProjectDatabase::diagnostics() const {
    std::lock_guard<std::mutex> lock(store_->diagnosticsMutex);
    return store_->diagnostics;
}

bool ProjectDatabase::isRead(DataPart part) const {
    return store_->ready[static_cast<int>(part)].load(std::memory_order_acquire);
}

namespace {

// Tables are read wherever they are first used, even in a window's event handler: a
// failure must end as a diagnostic there, never as an exception. False when one was thrown.
template <class Store, class Read>
bool asDiagnostic(Store& store, const std::string& file, Read read) {
    try {
        read();
        return true;
    } catch (const std::bad_alloc&) {
        store.addDiagnostic(file, "not enough memory");
    } catch (const std::exception& e) {
        store.addDiagnostic(file, e.what());
    }
    return false;
}

}  // namespace

void ProjectDatabase::ensure(DataPart part, MarshalFile* scratch) const {
    std::atomic<bool>& ready = store_->ready[static_cast<int>(part)];
    if (ready.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> lock(store_->mutex);
    if (ready.load(std::memory_order_relaxed)) return;
    asDiagnostic(*store_, dataFileNames()[size_t(part)], [&] {
        MarshalFile own;
        if (loaded) readPart(part, scratch ? *scratch : own);
    });
    ready.store(true, std::memory_order_release);
}

ProjectDatabase::Store& ProjectDatabase::writable(DataPart part) {
    ensure(part);
    return *store_;
}

void ProjectDatabase::loadAll() const {
    for (int p = 0; p < kDataPartCount; ++p) ensure(static_cast<DataPart>(p));
}

void ProjectDatabase::loadAll(const std::atomic<bool>& stop) const {
    for (int p = 0; p < kDataPartCount && !stop.load(std::memory_order_relaxed); ++p)
        ensure(static_cast<DataPart>(p));
}

void ProjectDatabase::verifyAll() const {
    MarshalFile scratch;
    for (int p = 0; p < kDataPartCount; ++p) {
        const auto part = static_cast<DataPart>(p);
        if (part == DataPart::MapInfos || part == DataPart::Tilesets) {
            ensure(part, &scratch);
            continue;
        }
        std::atomic<bool>& ready = store_->ready[p];
        std::lock_guard<std::mutex> lock(store_->mutex);
        if (ready.load(std::memory_order_relaxed) || !loaded) continue;
        // Left unread when it parses; a failure leaves what a failed read leaves.
        bool parsed = false;
        asDiagnostic(*store_, dataFileNames()[size_t(part)],
                     [&] { parsed = loadPart(part, scratch); });
        if (!parsed) ready.store(true, std::memory_order_release);
    }
}

namespace {

// A data file mapped read-only: scanning it touches the page cache in place instead of
// faulting in a fresh copy page by page (most of a labels-only run's time otherwise).
class MappedFile {
  public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
            uint64_t(st.st_size) <= kMaxSmallFileBytes) {
            void* at = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                data_ = at;
                size_ = size_t(st.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data_) ::munmap(data_, size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    bool ok() const { return data_ != nullptr; }
    std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

  private:
    void* data_ = nullptr;
    size_t size_ = 0;
};

// Records 1.. of a table with their names alone.
template <class R>
void fillNames(std::vector<R>& out, const std::vector<std::string>& names) {
    out.assign(names.size(), R{});
    for (size_t i = 1; i < names.size(); ++i) out[i].name = names[i];
}

}  // namespace

// Called with the store's mutex held. False when the part is not one read by name or its
// file is not plain enough to scan: it is then read in full.
bool ProjectDatabase::readNames(DataPart part, const std::string& path) const {
    if (!namesOnly) return false;
    MappedFile file(path);
    if (!file.ok()) return false;
    std::optional<ScannedNames> scanned = scanArrayNames(file.bytes());
    if (!scanned) return false;
    Store& s = *store_;
    const std::vector<std::string>& names = scanned->names;
    switch (part) {
        case DataPart::Actors:
            fillNames(s.actors, names);
            return true;
        case DataPart::Classes:
            fillNames(s.classes, names);
            return true;
        case DataPart::Skills:
            fillNames(s.skills, names);
            return true;
        case DataPart::Items:
            fillNames(s.items, names);
            return true;
        case DataPart::Weapons:
            fillNames(s.weapons, names);
            return true;
        case DataPart::Armors:
            fillNames(s.armors, names);
            return true;
        case DataPart::States:
            fillNames(s.states, names);
            return true;
        case DataPart::Enemies:
            fillNames(s.enemies, names);
            return true;
        case DataPart::Animations:
            fillNames(s.animations, names);
            return true;
        case DataPart::CommonEvents:
            fillNames(s.commonEvents, names);
            return true;
        case DataPart::Tilesets:
            s.tilesets.assign(names.size(), Tileset{});
            for (size_t i = 0; i < names.size(); ++i)
                if (scanned->classes[i] == "RPG::Tileset") s.tilesets[i].name = names[i];
            return true;
        default:
            return false;
    }
}

std::string ProjectDatabase::partPath(DataPart part) const {
    const std::string& name = dataFileNames()[static_cast<size_t>(part)];
    std::string path = dataFilePath(name);
    return path.empty() ? joinPath(joinPath(projectFolder, "Data"), name) : path;
}

// Called with the store's mutex held. Parses the part's file into f; false (and its
// diagnostic) when it cannot be read.
bool ProjectDatabase::loadPart(DataPart part, MarshalFile& f) const {
    f.setInflateLimits(inflateLimits());
    if (f.load(partPath(part))) return true;
    store_->addDiagnostic(dataFileNames()[static_cast<size_t>(part)], f.error().message());
    return false;
}

// Called with the store's mutex held.
void ProjectDatabase::readPart(DataPart part, MarshalFile& f) const {
    Store& s = *store_;
    if (part == DataPart::MapInfos) s.mapInfos[0] = MapInfo{title, 0, 0};
    if (readNames(part, partPath(part))) return;
    if (!loadPart(part, f)) return;
    switch (part) {
        case DataPart::System:
            readSystem(f, s.system);
            break;
        case DataPart::Actors:
            readRecordArray(f, s.actors, kActorFields);
            break;
        case DataPart::Classes:
            readRecordArray(f, s.classes, kClassFields, [](const MarshalValue& n, ActorClass& c) {
                c.learnings = readNestedList(n, "@learnings", kLearningFields);
            });
            break;
        case DataPart::Skills:
            readRecordArray(f, s.skills, kSkillFields);
            break;
        case DataPart::Items:
            readRecordArray(f, s.items, kItemFields);
            break;
        case DataPart::Weapons:
            readRecordArray(f, s.weapons, kWeaponFields);
            break;
        case DataPart::Armors:
            readRecordArray(f, s.armors, kArmorFields);
            break;
        case DataPart::States:
            readRecordArray(f, s.states, kStateFields);
            break;
        case DataPart::MapInfos:
            readMapInfos(f, s.mapInfos);
            break;
        case DataPart::CommonEvents:
            readCommonEvents(f, s.commonEvents);
            s.commonEventsFile = std::move(f);
            break;
        case DataPart::Troops:
            readTroops(f, s.troops);
            s.troopsFile = std::move(f);
            break;
        case DataPart::Enemies:
            readRecordArray(f, s.enemies, kEnemyFields, [](const MarshalValue& n, Enemy& e) {
                e.actions = readNestedList(n, "@actions", kEnemyActionFields);
            });
            break;
        case DataPart::Animations:
            readRecordArray(f, s.animations, kAnimationFields,
                            [](const MarshalValue& n, Animation& a) {
                                a.timings = readNestedList(n, "@timings", kAnimationTimingFields);
                            });
            break;
        case DataPart::Tilesets:
            readTilesets(f, s.tilesets);
            break;
        case DataPart::Scripts:
            readScripts(f, s.scripts);
            break;
    }
}

bool ProjectDatabase::open(const std::string& file) {
    return open(file, commonFilesFolder());
}

bool ProjectDatabase::open(const std::string& file, const std::string& commonFiles) {
    // No file names no project: only openFolder opens a folder without one.
    if (file.empty()) {
        clear();
        return false;
    }
    std::string folder = folderOf(file);
    return openIn(folder.empty() ? "." : folder, file, commonFiles);
}

bool ProjectDatabase::openFolder(const std::string& folder) {
    auto data = findPathNoCase(folder, "Data");
    return data && isDirectory(*data) && openIn(folder, "", commonFilesFolder());
}

bool ProjectDatabase::openIn(const std::string& folder, const std::string& file,
                             const std::string& commonFiles) {
    const bool names = namesOnly;
    clear();
    namesOnly = names;
    projectFolder = folder;
    projectFile = file;
    resources_ = ResourceResolver(projectFolder);
    GameIni ini;
    std::string iniPath = joinPath(projectFolder, "Game.ini");
    auto hit = resources_.findPath(projectFolder, "Game.ini");
    if (hit) iniPath = *hit;
    std::string why;
    // A folder opened without a project file may lack Game.ini: that is no fault there.
    if ((hit || !file.empty()) && !readGameIni(iniPath, ini, &why))
        store_->addDiagnostic("Game.ini", why);
    for (int n = 1; n <= 3; ++n) rtpNames[n - 1] = ini.rtp[n - 1];
    resources_ = ResourceResolver(projectFolder, commonFiles, {ini.rtp[0], ini.rtp[1], ini.rtp[2]});
    gameIniEncoding = ini.encoding;
    title = ini.title;
    if (!file.empty() && !fileExists(file)) return false;
    loaded = true;
    // Labels are read once and thrown away: stating every map of a large project would
    // cost them more than reading the names. Set before open(), namesOnly spares this.
    if (namesOnly) return true;
    // Times are taken now, for every file, so that a table read later still notices a file
    // that changed after the project was opened.
    for (const std::string& name : dataFileNames()) {
        std::string path = dataFilePath(name);
        if (path.empty()) path = joinPath(joinPath(projectFolder, "Data"), name);
        store_->fileTimes[path] = fileTimeText(path, FileTime::LastWrite, true, true);
    }
    store_->mapFiles = mapFileStamps(projectFolder);
    return true;
}

using MapInfoTable = std::map<int, MapInfo>;

// Each table: a const accessor that reads it on first use, and a writable one.
#define ZORVANE_TABLE(Type, name, mutableName, part) \
    const Type& ProjectDatabase::name() const {      \
        ensure(part);                                \
        return store_->name;                         \
    }                                                \
    Type& ProjectDatabase::mutableName() {           \
        return writable(part).name;                  \
    }

ZORVANE_TABLE(SystemData, system, mutableSystem, DataPart::System)
ZORVANE_TABLE(std::vector<Actor>, actors, mutableActors, DataPart::Actors)
ZORVANE_TABLE(std::vector<ActorClass>, classes, mutableClasses, DataPart::Classes)
ZORVANE_TABLE(std::vector<Skill>, skills, mutableSkills, DataPart::Skills)
ZORVANE_TABLE(std::vector<Item>, items, mutableItems, DataPart::Items)
ZORVANE_TABLE(std::vector<Weapon>, weapons, mutableWeapons, DataPart::Weapons)
ZORVANE_TABLE(std::vector<Armor>, armors, mutableArmors, DataPart::Armors)
ZORVANE_TABLE(std::vector<State>, states, mutableStates, DataPart::States)
ZORVANE_TABLE(std::vector<Enemy>, enemies, mutableEnemies, DataPart::Enemies)
ZORVANE_TABLE(std::vector<Animation>, animations, mutableAnimations, DataPart::Animations)
ZORVANE_TABLE(std::vector<Tileset>, tilesets, mutableTilesets, DataPart::Tilesets)
ZORVANE_TABLE(MapInfoTable, mapInfos, mutableMapInfos, DataPart::MapInfos)
ZORVANE_TABLE(std::vector<CommonEvent>, commonEvents, mutableCommonEvents, DataPart::CommonEvents)
ZORVANE_TABLE(std::vector<Troop>, troops, mutableTroops, DataPart::Troops)
ZORVANE_TABLE(MarshalFile, commonEventsFile, mutableCommonEventsFile, DataPart::CommonEvents)
ZORVANE_TABLE(MarshalFile, troopsFile, mutableTroopsFile, DataPart::Troops)
ZORVANE_TABLE(std::vector<Script>, scripts, mutableScripts, DataPart::Scripts)

#undef ZORVANE_TABLE

}  // namespace zorvane
