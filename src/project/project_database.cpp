#include "project/project_database.h"

#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "project/file_helpers.h"
#include "project/game_ini.h"
#include "project/record_tables.h"
#include "project/resource.h"

namespace zorvane {

namespace {

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
    AudioFile ProjectDatabase::*member;
};

const SystemSound kSystemSounds[] = {
    {"@title_bgm", &ProjectDatabase::titleBgm},
    {"@battle_bgm", &ProjectDatabase::battleBgm},
    {"@battle_end_me", &ProjectDatabase::battleEndMe},
    {"@gameover_me", &ProjectDatabase::gameoverMe},
    {"@cursor_se", &ProjectDatabase::cursorSe},
    {"@decision_se", &ProjectDatabase::decisionSe},
    {"@cancel_se", &ProjectDatabase::cancelSe},
    {"@buzzer_se", &ProjectDatabase::buzzerSe},
    {"@equip_se", &ProjectDatabase::equipSe},
    {"@shop_se", &ProjectDatabase::shopSe},
    {"@save_se", &ProjectDatabase::saveSe},
    {"@load_se", &ProjectDatabase::loadSe},
    {"@battle_start_se", &ProjectDatabase::battleStartSe},
    {"@escape_se", &ProjectDatabase::escapeSe},
    {"@actor_collapse_se", &ProjectDatabase::actorCollapseSe},
    {"@enemy_collapse_se", &ProjectDatabase::enemyCollapseSe},
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
        "System.rxdata",    "Actors.rxdata",       "Classes.rxdata", "Skills.rxdata",
        "Items.rxdata",     "Weapons.rxdata",      "Armors.rxdata",  "States.rxdata",
        "MapInfos.rxdata",  "CommonEvents.rxdata", "Troops.rxdata",  "Enemies.rxdata",
        "Animations.rxdata", "Tilesets.rxdata",    "Scripts.rxdata",
    };
    return names;
}

void ProjectDatabase::clear() { *this = ProjectDatabase{}; }

std::string ProjectDatabase::dataFilePath(const std::string& fileName) const {
    auto hit = findPathNoCase(projectFolder, "Data/" + fileName);
    return hit ? *hit : std::string();
}

bool ProjectDatabase::readDataFile(const std::string& fileName, MarshalFile& file) const {
    file.clear();
    if (!loaded) return false;
    std::string path = dataFilePath(fileName);
    if (path.empty()) return false;
    return file.load(path);
}

ProjectDatabase::LoadedFile ProjectDatabase::loadDataFile(const std::string& name) const {
    LoadedFile loaded;
    loaded.path = dataFilePath(name);
    if (loaded.path.empty()) loaded.path = joinPath(joinPath(projectFolder, "Data"), name);
    loaded.time = fileTimeText(loaded.path, FileTime::LastWrite, true, true);
    loaded.ok = loaded.file.load(loaded.path);
    return loaded;
}

bool ProjectDatabase::hasChanged() const {
    for (const auto& [path, time] : fileTimes)
        if (fileTimeText(path, FileTime::LastWrite, true, true) != time) return true;
    return false;
}

void ProjectDatabase::readSystem(const MarshalFile& f) {
    switchNames = readNameArray(f, "RPG::System.@switches");
    variableNames = readNameArray(f, "RPG::System.@variables");
    elementNames = readNameArray(f, "RPG::System.@elements");
    if (const MarshalValue* w = f.find("RPG::System.@words"))
        for (const auto& pair : w->pairs()) words[pair.first.text()] = pair.second.text();
    auto text = [&](const char* path, std::string& out) {
        if (const MarshalValue* v = f.find("%s", path)) out = v->text();
    };
    text("RPG::System.@windowskin_name", windowskinName);
    text("RPG::System.@title_name", titleName);
    text("RPG::System.@gameover_name", gameoverName);
    text("RPG::System.@battle_transition", battleTransition);
    for (const auto& sound : kSystemSounds)
        if (const MarshalValue* v = f.find("RPG::System.%s", sound.ivar)) (this->*sound.member).decode(*v);
}

void ProjectDatabase::readMapInfos(const MarshalFile& f) {
    mapInfos[0] = MapInfo{title, 0, 0};
    const MarshalValue* hash = f.find("Hash");
    if (!hash) return;
    // A field missing from an entry keeps what the previous entry had, as the editor's
    // own reader does.
    MapInfo current;
    for (const auto& pair : hash->pairs()) {
        int64_t id = pair.first.integer();
        if (id <= 0 || id > INT32_MAX) continue;
        readFields(pair.second, current, kMapInfoFields);
        mapInfos[static_cast<int>(id)] = current;
    }
}

void ProjectDatabase::readScripts(const MarshalFile& f) {
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

void ProjectDatabase::readTilesets(const MarshalFile& f) {
    const MarshalValue* array = f.find("Array");
    if (!array) return;
    const ValueArray& items = array->children();
    tilesets.assign(items.size(), Tileset{});
    for (size_t i = 0; i < items.size(); ++i) {
        const MarshalValue& node = items[i];
        if (node.kind() != MarshalValue::Object || node.className() != "RPG::Tileset") continue;
        readFields(node, tilesets[i], kTilesetFields);
        if (const MarshalValue* names = node.findIvar("@autotile_names")) {
            const ValueArray& list = names->children();
            for (size_t k = 0; k < 7 && k < list.size(); ++k) tilesets[i].autotileNames[k] = list[k].text();
        }
    }
}

void ProjectDatabase::readCommonEvents(const MarshalFile& f) {
    static const FieldTable<CommonEvent> fields = {
        {"@name", &CommonEvent::name},
        {"@trigger", &CommonEvent::trigger},
        {"@switch_id", &CommonEvent::switchId},
    };
    readRecordArray(f, commonEvents, fields);
}

void ProjectDatabase::readTroops(const MarshalFile& f) {
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

bool ProjectDatabase::open(const std::string& file) {
    clear();
    projectFolder = folderOf(file);
    if (projectFolder.empty()) projectFolder = ".";
    projectFile = file;
    GameIni ini;
    std::string iniPath = joinPath(projectFolder, "Game.ini");
    if (auto hit = findPathNoCase(projectFolder, "Game.ini")) iniPath = *hit;
    if (!readGameIni(iniPath, ini)) diagnostics.push_back({"Game.ini", "cannot open"});
    for (int n = 1; n <= 3; ++n) {
        setRtpFolder(n, ini.rtp[n - 1]);
        rtpNames[n - 1] = ini.rtp[n - 1];
    }
    gameIniEncoding = ini.encoding;
    title = ini.title;
    if (!fileExists(file)) return false;
    loaded = true;

    for (const std::string& name : dataFileNames()) {
        LoadedFile loadedFile = loadDataFile(name);
        fileTimes[loadedFile.path] = loadedFile.time;
        MarshalFile& f = loadedFile.file;
        if (!loadedFile.ok) {
            diagnostics.push_back({name, f.error().message()});
            if (name == "MapInfos.rxdata") mapInfos[0] = MapInfo{title, 0, 0};
            continue;
        }
        if (name == "System.rxdata") readSystem(f);
        else if (name == "Actors.rxdata") readRecordArray(f, actors, kActorFields);
        else if (name == "Classes.rxdata")
            readRecordArray(f, classes, kClassFields, [](const MarshalValue& n, ActorClass& c) {
                c.learnings = readNestedList(n, "@learnings", kLearningFields);
            });
        else if (name == "Skills.rxdata") readRecordArray(f, skills, kSkillFields);
        else if (name == "Items.rxdata") readRecordArray(f, items, kItemFields);
        else if (name == "Weapons.rxdata") readRecordArray(f, weapons, kWeaponFields);
        else if (name == "Armors.rxdata") readRecordArray(f, armors, kArmorFields);
        else if (name == "States.rxdata") readRecordArray(f, states, kStateFields);
        else if (name == "MapInfos.rxdata") readMapInfos(f);
        else if (name == "CommonEvents.rxdata") {
            readCommonEvents(f);
            commonEventsFile = std::move(f);
        } else if (name == "Troops.rxdata") {
            readTroops(f);
            troopsFile = std::move(f);
        } else if (name == "Enemies.rxdata")
            readRecordArray(f, enemies, kEnemyFields, [](const MarshalValue& n, Enemy& e) {
                e.actions = readNestedList(n, "@actions", kEnemyActionFields);
            });
        else if (name == "Animations.rxdata")
            readRecordArray(f, animations, kAnimationFields, [](const MarshalValue& n, Animation& a) {
                a.timings = readNestedList(n, "@timings", kAnimationTimingFields);
            });
        else if (name == "Tilesets.rxdata") readTilesets(f);
        else if (name == "Scripts.rxdata") readScripts(f);
    }
    return true;
}

}  // namespace zorvane
