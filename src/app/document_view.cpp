// dlopen rather than wxDynamicLibrary: its failure goes to wx's log, which would open a
// box of its own, and the viewer says why in its pane instead.
#include "app/document_view.h"

#include <dlfcn.h>

#include <map>

#include "platform/file_util.h"
#include "platform/folders.h"
#include "project/file_helpers.h"

namespace zorvane {

namespace {

// The installed module's folder below the prefix, as the build installs it.
#ifndef ZORVANE_MODULE_DIR
#define ZORVANE_MODULE_DIR "lib/zorvane"
#endif
const char* const kModuleFolder = ZORVANE_MODULE_DIR;

MakeDocumentView openModule(const std::string& path, std::string* error) {
    static std::map<std::string, MakeDocumentView> opened;
    auto known = opened.find(path);
    if (known != opened.end()) return known->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = why ? why : path;
        return nullptr;
    }
    auto* version = static_cast<const int*>(dlsym(handle, kDocumentViewVersionName));
    auto make = reinterpret_cast<MakeDocumentView>(dlsym(handle, kMakeDocumentViewName));
    if (!version || *version != kDocumentViewVersion || !make) {
        *error = path + ": not a module of this version of the program";
        dlclose(handle);
        return nullptr;
    }
    opened[path] = make;
    return make;
}

}  // namespace

std::string documentViewModulePath() {
    const std::string program = programFolder();
    const std::string candidates[] = {
        joinPath(program, kDocumentViewModuleName),
        joinPath(program, std::string("../") + kModuleFolder + "/" + kDocumentViewModuleName),
    };
    for (const std::string& path : candidates)
        if (fileExists(path)) return path;
    return candidates[0];
}

std::unique_ptr<DocumentView> makeDocumentView(const std::string& modulePath, wxWindow* parent,
                                               int id, DocumentLoaded loaded, std::string* error) {
    MakeDocumentView make = openModule(modulePath, error);
    if (!make) return nullptr;
    return std::unique_ptr<DocumentView>(make(parent, id, std::move(loaded)));
}

}  // namespace zorvane
