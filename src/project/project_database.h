// The one in-memory model of an opened project: Game.ini's title and RTPs, every database
// file as typed records, the map tree, the scripts, and the two files whose command lists
// are read on demand. Files that cannot be read leave their part empty and a diagnostic.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "marshal/marshal_file.h"
#include "marshal/rgss_types.h"
#include "project/event_records.h"
#include "project/records.h"

namespace zorvane {

// Something the loader skipped: which file, and what went wrong.
struct Diagnostic {
    std::string file;
    std::string what;
};

class ProjectDatabase {
public:
    bool open(const std::string& projectFile);
    void clear();
    // Reads projectFolder/Data/fileName (any letter case); false when not loaded or unreadable.
    bool readDataFile(const std::string& fileName, MarshalFile& file) const;
    bool hasChanged() const;
    // The full path of a data file, found without regard to letter case ("" when missing).
    std::string dataFilePath(const std::string& fileName) const;

    // Labels (name lookup): see labels.cpp.
    std::string label(int id, int kind, bool withKindWord, bool withNumber, bool withBrackets,
                      bool withName) const;
    int troopMemberEnemy(int troopId, int memberIndex) const;
    std::string troopMemberLabel(int troopId, int memberIndex, bool withKindWord,
                                 bool withNumber) const;

    bool loaded = false;
    std::string title;
    std::string rtpNames[3];  // RTP1..RTP3 of Game.ini
    std::string gameIniEncoding;
    std::string projectFolder;
    std::string projectFile;
    std::map<std::string, std::string> fileTimes;
    std::vector<Diagnostic> diagnostics;

    std::vector<std::string> switchNames, variableNames, elementNames;
    std::map<std::string, std::string> words;
    std::string windowskinName, titleName, gameoverName, battleTransition;
    AudioFile titleBgm, battleBgm, battleEndMe, gameoverMe, cursorSe, decisionSe, cancelSe,
        buzzerSe, equipSe, shopSe, saveSe, loadSe, battleStartSe, escapeSe, actorCollapseSe,
        enemyCollapseSe;

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

    // The order in which open() reads the data files.
    static const std::vector<std::string>& dataFileNames();

private:
    struct LoadedFile {
        std::string path;
        std::string time;  // last-write time text when it was read
        MarshalFile file;
        bool ok = false;
    };
    LoadedFile loadDataFile(const std::string& name) const;
    void readSystem(const MarshalFile& f);
    void readMapInfos(const MarshalFile& f);
    void readScripts(const MarshalFile& f);
    void readTilesets(const MarshalFile& f);
    void readCommonEvents(const MarshalFile& f);
    void readTroops(const MarshalFile& f);
};

}  // namespace zorvane
