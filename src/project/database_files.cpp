// The database's file references as one table of records, in the order the missing-file
// search reports them.
#include "project/database_files.h"

#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kCharacters = "Graphics\\Characters\\";
const char* const kBattlers = "Graphics\\Battlers\\";
const char* const kIcons = "Graphics\\Icons\\";
const char* const kSe = "Audio\\SE\\";

}  // namespace

const std::vector<DatabaseFiles>& databaseFiles() {
    static const std::vector<DatabaseFiles> table = {
        {1, [](const ProjectDatabase& db) { return db.actors().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kCharacters, db.actors()[i].characterName);
             v(kBattlers, db.actors()[i].battlerName);
         }},
        {2, [](const ProjectDatabase& db) { return db.skills().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kIcons, db.skills()[i].iconName);
             v(kSe, db.skills()[i].menuSe.name);
         }},
        {3, [](const ProjectDatabase& db) { return db.items().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kIcons, db.items()[i].iconName);
             v(kSe, db.items()[i].menuSe.name);
         }},
        {4, [](const ProjectDatabase& db) { return db.weapons().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kIcons, db.weapons()[i].iconName);
         }},
        {5, [](const ProjectDatabase& db) { return db.armors().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kIcons, db.armors()[i].iconName);
         }},
        {6, [](const ProjectDatabase& db) { return db.enemies().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v(kBattlers, db.enemies()[i].battlerName);
         }},
        {7, [](const ProjectDatabase& db) { return db.animations().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             v("Graphics\\Animations\\", db.animations()[i].animationName);
             for (const AnimationTiming& timing : db.animations()[i].timings)
                 v(kSe, timing.se.name);
         }},
        {8, [](const ProjectDatabase& db) { return db.tilesets().size(); },
         [](const ProjectDatabase& db, size_t i, const FileVisitor& v) {
             const Tileset& t = db.tilesets()[i];
             v("Graphics\\Tilesets\\", t.tilesetName);
             v("Graphics\\Panoramas\\", t.panoramaName);
             v("Graphics\\Fogs\\", t.fogName);
             v("Graphics\\Battlebacks\\", t.battlebackName);
             for (const std::string& name : t.autotileNames) v("Graphics\\Autotiles\\", name);
         }},
        // The system is one record; count 2 visits it once as id 1.
        {9, [](const ProjectDatabase&) { return size_t{2}; },
         [](const ProjectDatabase& db, size_t, const FileVisitor& v) {
             v("Graphics\\Windowskins\\", db.system().windowskinName);
             v("Graphics\\Titles\\", db.system().titleName);
             v("Graphics\\Gameovers\\", db.system().gameoverName);
             v("Graphics\\Transitions\\", db.system().battleTransition);
             v("Audio\\BGM\\", db.system().titleBgm.name);
             v("Audio\\BGM\\", db.system().battleBgm.name);
             v("Audio\\ME\\", db.system().battleEndMe.name);
             v("Audio\\ME\\", db.system().gameoverMe.name);
             for (const AudioFile* se :
                  {&db.system().cursorSe, &db.system().decisionSe, &db.system().cancelSe,
                   &db.system().buzzerSe, &db.system().equipSe, &db.system().shopSe,
                   &db.system().saveSe, &db.system().loadSe, &db.system().battleStartSe,
                   &db.system().escapeSe, &db.system().actorCollapseSe,
                   &db.system().enemyCollapseSe})
                 v(kSe, se->name);
         }},
    };
    return table;
}

}  // namespace zorvane
