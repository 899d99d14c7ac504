// The one in-memory model of an opened project: Game.ini's title and RTPs, every database
// file as typed records, the map tree, the scripts, and the two files whose command lists
// are read on demand. Files that cannot be read leave their part empty and a diagnostic.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "marshal/marshal_file.h"
#include "marshal/rgss_types.h"
#include "project/event_records.h"
#include "project/labels.h"
#include "project/listing_language.h"
#include "project/records.h"
#include "project/resource.h"

namespace zorvane {

// Something the loader skipped: which file, and what went wrong.
struct Diagnostic {
    std::string file;
    std::string what;
};

// System.rxdata: the name lists, the word list and the system's pictures and sounds.
struct SystemData {
    std::vector<std::string> switchNames, variableNames, elementNames;
    std::map<std::string, std::string> words;
    std::string windowskinName, titleName, gameoverName, battleTransition;
    AudioFile titleBgm, battleBgm, battleEndMe, gameoverMe, cursorSe, decisionSe, cancelSe,
        buzzerSe, equipSe, shopSe, saveSe, loadSe, battleStartSe, escapeSe, actorCollapseSe,
        enemyCollapseSe;
};

// The database files in the order open() records them; a table is read from its file on
// first use.
enum class DataPart {
    System,
    Actors,
    Classes,
    Skills,
    Items,
    Weapons,
    Armors,
    States,
    MapInfos,
    CommonEvents,
    Troops,
    Enemies,
    Animations,
    Tilesets,
    Scripts,
};
constexpr int kDataPartCount = 15;

class ProjectDatabase {
  public:
    ProjectDatabase();
    ~ProjectDatabase();
    ProjectDatabase(ProjectDatabase&&) noexcept;
    ProjectDatabase& operator=(ProjectDatabase&&) noexcept;

    // Reads Game.ini and notes the data files' times; the tables are read when first asked
    // for, so a command reads only the files it needs. The RTPs are looked for below
    // commonFiles (the system's common files folder unless given).
    bool open(const std::string& projectFile);
    bool open(const std::string& projectFile, const std::string& commonFiles);
    // Where this project's files are found: its game folder and RTP folders, and its own
    // cache of case-insensitive folder listings.
    const ResourceResolver& resources() const { return resources_; }
    // For a database built by hand (tests) rather than opened.
    void setResources(ResourceResolver resources) { resources_ = std::move(resources); }
    // The same for a folder without Game.ini or project file (a repository that keeps only
    // Data/): its names come from the data files alone. False when it has no Data folder.
    bool openFolder(const std::string& folder);
    void clear();
    // Reads every table not read yet (what `info` and the project check need).
    void loadAll() const;
    // The same from another thread, stopping between two tables once `stop` is set: the
    // tables are read as their own accessors read them, so a window may use the database
    // meanwhile. The database must not be opened, cleared or moved until this returns.
    void loadAll(const std::atomic<bool>& stop) const;
    // Reads every data file not read yet to learn whether it can be read, as loadAll does,
    // but keeps only the map tree and the tilesets (what `check` compares maps with): the
    // other files are parsed one at a time and let go, and are read again on first use.
    // A file that cannot be read counts as read, with its diagnostic, as in loadAll.
    void verifyAll() const;
    bool isRead(DataPart part) const;
    // Reads projectFolder/Data/fileName (any letter case); false when not loaded or unreadable.
    bool readDataFile(const std::string& fileName, MarshalFile& file) const;
    // Every file of one open draws its compressed strings from one budget.
    InflateLimits inflateLimits() const;
    bool hasChanged() const;
    // The full path of a data file, found without regard to letter case ("" when missing).
    std::string dataFilePath(const std::string& fileName) const;

    // Labels (name lookup): see labels.cpp. In English the kind word stands apart from the
    // brackets and a name follows its number after ": ".
    std::string label(int id, LabelKind kind, LabelStyle style,
                      ListingLanguage language = ListingLanguage::Japanese) const;
    // Whether the table of `kind` holds entry `id` (a label of one it lacks carries the
    // overflow marker).
    bool hasEntry(int id, LabelKind kind) const;
    int troopMemberEnemy(int troopId, int memberIndex) const;
    // "[1.Slime]": the member's place and its enemy, labelled in `enemyStyle` when that shows
    // a kind word or number, else by the bare stored name.
    std::string troopMemberLabel(int troopId, int memberIndex, LabelStyle enemyStyle,
                                 ListingLanguage language = ListingLanguage::Japanese) const;

    // The tables, each read from its file on first use. Safe to call from several threads:
    // a table is read once, and the first caller waits for it.
    const SystemData& system() const;
    const std::vector<Actor>& actors() const;
    const std::vector<ActorClass>& classes() const;
    const std::vector<Skill>& skills() const;
    const std::vector<Item>& items() const;
    const std::vector<Weapon>& weapons() const;
    const std::vector<Armor>& armors() const;
    const std::vector<State>& states() const;
    const std::vector<Enemy>& enemies() const;
    const std::vector<Animation>& animations() const;
    const std::vector<Tileset>& tilesets() const;
    const std::map<int, MapInfo>& mapInfos() const;
    const std::vector<CommonEvent>& commonEvents() const;
    const std::vector<Troop>& troops() const;
    const MarshalFile& commonEventsFile() const;
    const MarshalFile& troopsFile() const;
    const std::vector<Script>& scripts() const;

    // Writable tables for code that builds a database by hand (tests) or edits one: the
    // table is read first when it has not been, and counts as read from then on.
    SystemData& mutableSystem();
    std::vector<Actor>& mutableActors();
    std::vector<ActorClass>& mutableClasses();
    std::vector<Skill>& mutableSkills();
    std::vector<Item>& mutableItems();
    std::vector<Weapon>& mutableWeapons();
    std::vector<Armor>& mutableArmors();
    std::vector<State>& mutableStates();
    std::vector<Enemy>& mutableEnemies();
    std::vector<Animation>& mutableAnimations();
    std::vector<Tileset>& mutableTilesets();
    std::map<int, MapInfo>& mutableMapInfos();
    std::vector<CommonEvent>& mutableCommonEvents();
    std::vector<Troop>& mutableTroops();
    MarshalFile& mutableCommonEventsFile();
    MarshalFile& mutableTroopsFile();
    std::vector<Script>& mutableScripts();

    // What could not be read so far (Game.ini, and the tables read until now).
    std::vector<Diagnostic> diagnostics() const;

    bool loaded = false;
    // Stands for a project that is not at hand (a data file read on its own): labels show
    // the id alone, without a name and without the overflow marker.
    bool idsOnly = false;
    // For labels alone: the big record tables (actors … animations, common events,
    // tilesets) are read as names only, straight from their files; their other fields stay
    // empty. Troops, the map tree and System are read in full.
    bool namesOnly = false;
    std::string title;
    std::string rtpNames[3];  // RTP1..RTP3 of Game.ini
    std::string gameIniEncoding;
    std::string projectFolder;
    std::string projectFile;

    // The file names of the parts, in the order open() records them.
    static const std::vector<std::string>& dataFileNames();

  private:
    bool openIn(const std::string& folder, const std::string& file, const std::string& commonFiles);

    struct Store;
    std::unique_ptr<Store> store_;
    ResourceResolver resources_;

    // scratch: a file object whose memory the reading may reuse (verifyAll). Not for a
    // part whose file is kept whole: it would keep every page a bigger tree had touched.
    void ensure(DataPart part, MarshalFile* scratch = nullptr) const;
    Store& writable(DataPart part);
    void readPart(DataPart part, MarshalFile& f) const;
    bool loadPart(DataPart part, MarshalFile& f) const;
    std::string partPath(DataPart part) const;
    bool readNames(DataPart part, const std::string& path) const;
};

}  // namespace zorvane
