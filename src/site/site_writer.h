// The whole project as a site that opens in a browser straight from its folder: an index
// with the map tree, a page per map (its picture with a link area per event, settings,
// sub-maps, transfers in and out), every event document with links back and to what its
// commands name, the switches and variables with where they are written and read, the
// database as tables, the scripts, and a search box over a JSON index. It reports to the
// export's sink and stops on the export's abort flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "export/export_driver.h"
#include "map/render_options.h"
#include "project/listing_language.h"

namespace zorvane {

class ProjectDatabase;

struct SiteOptions {
    // The templates of a folder (header.html, footer.html, ruby_color.txt).
    void useTemplates(const std::string& folder);

    // The site's own folder: index.html goes at its top.
    std::string outputFolder;
    // The templates and colour rules of the event and script documents. The site is UTF-8:
    // a header that is not (a Shift_JIS template) gives way to the program's own templates.
    std::string headerTemplate, footerTemplate, colourRulesFile;
    // The map pictures (PNG whatever saveMode says): zoom, layers, events, grid.
    RenderOptions render;
    // Workers for the map pictures; the pictures are made one after another until the
    // export's picture step takes a count.
    int jobs = 0;
    // The language of the documents' headings, condition sections and command lines; the
    // site's own pages are Japanese.
    ListingLanguage language = ListingLanguage::Japanese;
    uint64_t pictureMemoryLimit = 0;  // as ExportOptions
};

// outputFolder/<project folder's last component>_site, as the export names its folder.
std::string siteRoot(const std::string& outputFolder, const std::string& projectFolder);

// The units of work the site reports: every common event, troop and map on the walk,
// every map picture, the database tables, the scripts and the closing pages.
int countSiteUnits(const ProjectDatabase& project);

ExportSummary runSite(const SiteOptions& options, const ProjectDatabase& project, ExportSink& sink,
                      const std::atomic<bool>& abort);

}  // namespace zorvane
