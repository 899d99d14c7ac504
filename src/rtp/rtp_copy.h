// Copies the RTP files a project uses into its game folder, then lets the game stop
// looking for the RTP: Game.ini's RTP1 to RTP3 are emptied and the runtime library named
// by its Library key is copied from the Windows system folder beside the game.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "project/listing_language.h"
#include "rtp/rtp_scan.h"

namespace zorvane {

enum class CopyProblem {
    UnsafePath,        // the name would leave the game folder
    SourceUnreadable,  // the RTP file cannot be read
    FolderNotCreated,  // a folder of the destination cannot be made
    WriteFailed,       // the destination cannot be written
    NotFound,          // the library is in neither system folder
    GameIniUnreadable,
    GameIniNotWritten,
    LinkInGameFolder,  // a symbolic link stands where a file or folder is to be written
};

struct CopyFailure {
    // The relative path, the library's name, or "Game.ini"; for LinkInGameFolder the link's
    // path in the game folder.
    std::string name;
    CopyProblem problem = CopyProblem::WriteFailed;
};

struct RtpCopyResult {
    int copied = 0;
    bool aborted = false;
    // Files of the list that were not copied; when there are any, Game.ini is left as it
    // was, so the game still finds them in the RTP.
    std::vector<CopyFailure> fileFailures;
    bool gameIniChanged = false;
    // Game.ini and the library, after every file of the list was copied.
    std::vector<CopyFailure> finishFailures;

    bool complete() const {
        return !aborted && fileFailures.empty() && finishFailures.empty() && gameIniChanged;
    }
};

// Where a used file goes: the game folder + its relative path + the found file's extension,
// following existing folders whatever their letter case. "" for a name that would leave
// the game folder (a ".." part, an absolute path, a drive letter).
std::string copyDestination(const std::string& projectFolder, const RtpFile& file);

// Copies every file (the abort flag is tested before each), one progress step each; then,
// when all were copied, edits Game.ini and copies the library. Every file is written
// through a temporary file and renamed into place, replacing what was there. Nothing is
// written or made through a symbolic link inside the game folder: such a link is named
// as a failure and left as it is.
RtpCopyResult copyRtpFiles(const std::vector<RtpFile>& files, const std::string& projectFolder,
                           RtpProgress& progress, const std::atomic<bool>& abort);

// The text of a problem as the program shows it, in the language of the desktop.
const char* copyProblemText(CopyProblem problem,
                            ListingLanguage language = ListingLanguage::Japanese);

}  // namespace zorvane
