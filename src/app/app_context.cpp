// Start-up and shutdown of the desktop program, in the order the program has always used.
#include "app/app_context.h"

#include <wx/display.h>
#include <wx/gdicmn.h>

#include "app/main_frame.h"
#include "platform/folders.h"
#include "platform/path_nocase.h"
#include "project/project_path.h"

namespace zorvane {

namespace {

DesktopSize desktopSize() {
    wxRect area = wxDisplay(0u).GetGeometry();
    return {area.GetWidth(), area.GetHeight()};
}

}  // namespace

MainFrame* startApplication(AppContext& context, const std::vector<std::string>& args) {
    context.rpgxpPath = rpgxpApplicationPath();
    context.settingsFile = SettingsFile(settingsFilePath());
    bindStartupSettings(context.settingsFile, context.settings, desktopSize(),
                        {programFolder(), templateFolder()});
    if (context.hooks.useLanguage) context.hooks.useLanguage(context.settings.system.language);
    // After the settings, so the record names the update address in use.
    if (context.hooks.registerProgram) context.hooks.registerProgram();

    auto* frame = new MainFrame(context);  // a top-level window: wx deletes it on Destroy()
    frame->Show();
    // A project that fails to open here is simply not open; nothing is shown. A file
    // manager hands over Game.rxproj, a user may name the folder or a data file in it.
    if (!args.empty())
        frame->openProject(resolveProjectPath(args.front()));
    else if (context.settings.system.autoRead)
        frame->openProject(context.settings.system.lastProject);
    frame->updateCommandStates();
    if (context.settings.update.autoCheck && context.hooks.runUpdateCheck)
        context.hooks.runUpdateCheck(frame, true);
    return frame;
}

std::string dialogFolder(const AppContext& context) {
    const std::string& last = context.settings.system.lastDir;
    if (!last.empty() && isDirectory(last)) return last;
    return context.database.loaded ? context.database.projectFolder : last;
}

bool finishApplication(AppContext& context) {
    return context.settingsFile.saveAll();
}

}  // namespace zorvane
