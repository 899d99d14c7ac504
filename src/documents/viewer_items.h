// What the event viewer offers for each kind of document: its items numbered as the editor
// numbers them, the pages of an item, and the name proposed when a document is saved.
// Plain data; the window only shows it.
#pragma once

#include <string>
#include <vector>

#include "documents/document_writer.h"

namespace zorvane {

class MapData;
class ProjectDatabase;

struct ViewerItem {
    int id = 0;  // common event, troop, map event or script (from 1)
    std::string text;
};

// Common events, troops and scripts from 1 to the last as "%03d:" + name; the events of
// `map` in id order as "%03d:(%03d,%03d)" + name. No map (or a map not loaded): none.
std::vector<ViewerItem> viewerItems(DocumentKind kind, const ProjectDatabase& project,
                                    const MapData* map);

// The pages of a troop or map event (0 for the other kinds and for unknown ids).
int viewerPageCount(DocumentKind kind, int id, const ProjectDatabase& project, const MapData* map);

// The name a saved document is proposed under, without extension: "CommonEvent%03d",
// "BattleEvent%03d-%02d", "MapEvent%04d-%04d-%02d", "%03d-" + the script's title made safe
// for a file name.
std::string proposedDocumentName(const DocumentRequest& request, int mapId,
                                 const ProjectDatabase& project);

// True for a name ending in ".htm" or ".html" in any case: such a file is saved as HTML.
bool isHtmlFileName(const std::string& path);

}  // namespace zorvane
