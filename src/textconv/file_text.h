// A data file of a project as stable, line-oriented text made for diffs: maps as their
// header and events, common events and troop pages with their conditions and command
// lists in the editor's text, database records as fields, scripts as their text, and any
// other Marshal file as its value dump. The text is cut into blocks, one per item that a
// user names (an event, a record, a switch name), so two versions can be compared item by
// item. The same bytes always give the same text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "marshal/marshal_file.h"
#include "project/listing_language.h"

namespace zorvane {

class ProjectDatabase;

enum class DataFileKind { Map, CommonEvents, Troops, Records, System, MapInfos, Scripts, Other };

struct TextBlock {
    // Who the item is within its file ("event 3", "actor 12", "switch 7", "script 5482731");
    // it does not change when the item's contents do.
    std::string key;
    // Lines ending in '\n'; the first is the item's title ("event 3 \"Door\" at (4,7)").
    std::string text;

    std::string title() const { return text.substr(0, text.find('\n')); }
};

struct FileText {
    DataFileKind kind = DataFileKind::Other;
    std::vector<TextBlock> blocks;
};

struct TextconvOptions {
    // The project whose names label ids; null when it is not at hand (ids stay bare).
    const ProjectDatabase* project = nullptr;
    // The listing's long form (kind names and numbers with every label).
    bool detail = false;
    // The language of command lines and condition sections.
    ListingLanguage language = ListingLanguage::Japanese;
    // When set, the text goes here piece by piece, joined as joinedText joins blocks, and
    // the returned FileText holds no blocks.
    std::function<void(std::string_view)> write;
};

// What a read file holds, judged from its contents; its name decides only for a file
// whose contents say nothing (an empty array).
DataFileKind dataFileKind(const MarshalFile& file, const std::string& fileName);

// `fileName` may carry a folder and a prefix (git's temporary copies are named
// "XXXXXX_Map001.rxdata"): it gives the map id of a map file. `fileBytes` is the size of
// the file as stored: the text may be at most a multiple of it (TextTooLong past that).
// Control characters of stored text reach the text escaped (appendVisible).
FileText fileText(const MarshalFile& file, const std::string& fileName,
                  const TextconvOptions& options, size_t fileBytes);
// The blocks one after another, multi-line blocks set apart by an empty line.
std::string joinedText(const FileText& text);

// Joins block texts as they come, the way joinedText does.
class TextJoiner {
  public:
    explicit TextJoiner(std::function<void(std::string_view)> write) : write_(std::move(write)) {}
    void add(std::string_view blockText);

  private:
    std::function<void(std::string_view)> write_;
    bool first_ = true;
    bool previousMultiLine_ = false;
};

// The id of a name ending in "Map%d.rxdata" (any letter case), or 0.
int mapIdFromFileName(const std::string& fileName);
// The folder above the "Data" folder that holds a data file, or "".
std::string projectFolderForDataFile(const std::string& dataFile);
// Opens the names that label ids: a project folder or file, or a folder whose Data folder
// holds database files (repositories often keep Data/ without Game.ini). When no names can
// be had, db gives bare ids (idsOnly), `why` says why and the answer is false.
bool openLabels(ProjectDatabase& db, const std::string& folderOrFile, std::string& why);

}  // namespace zorvane
