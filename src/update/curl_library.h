// libcurl, opened the first time a download or an address needs it rather than linked: it
// brings TLS, Kerberos, LDAP and SSH libraries with it, which every start of the programs
// would otherwise map and relocate for an update check that most runs never make.
#pragma once

#include <curl/curl.h>

namespace zorvane {

struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_perform) easy_perform;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
    decltype(&curl_url) url;
    decltype(&curl_url_set) url_set;
    decltype(&curl_url_get) url_get;
    decltype(&curl_url_cleanup) url_cleanup;
    decltype(&curl_free) free;
};

// The library with every function found, opened and initialised once (thread-safe);
// nullptr when it is not installed or lacks one of them.
const CurlLibrary* curlLibrary();

}  // namespace zorvane
