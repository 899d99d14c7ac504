#include "update/curl_library.h"

#include <dlfcn.h>

namespace zorvane {

namespace {

template <typename F>
bool bind(void* handle, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(handle, name));
    return function != nullptr;
}

// Never closed: curl keeps global state for the life of the process.
const CurlLibrary* openCurl() {
    void* handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    static CurlLibrary lib;
    const bool complete =
        bind(handle, "curl_global_init", lib.global_init) &&
        bind(handle, "curl_easy_init", lib.easy_init) &&
        bind(handle, "curl_easy_setopt", lib.easy_setopt) &&
        bind(handle, "curl_easy_getinfo", lib.easy_getinfo) &&
        bind(handle, "curl_easy_perform", lib.easy_perform) &&
        bind(handle, "curl_easy_cleanup", lib.easy_cleanup) &&
        bind(handle, "curl_easy_strerror", lib.easy_strerror) &&
        bind(handle, "curl_slist_append", lib.slist_append) &&
        bind(handle, "curl_slist_free_all", lib.slist_free_all) &&
        bind(handle, "curl_url", lib.url) && bind(handle, "curl_url_set", lib.url_set) &&
        bind(handle, "curl_url_get", lib.url_get) &&
        bind(handle, "curl_url_cleanup", lib.url_cleanup) && bind(handle, "curl_free", lib.free);
    if (!complete || lib.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &lib;
}

}  // namespace

const CurlLibrary* curlLibrary() {
    static const CurlLibrary* lib = openCurl();
    return lib;
}

}  // namespace zorvane
