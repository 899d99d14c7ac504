// Builds small projects for the project tests with Ruby's own Marshal.dump, so every
// expected value comes from what Ruby wrote, not from our reader.
#pragma once

#include <string>

#include "support/test_support.h"

namespace ztest {

// Ruby classes with keyword initialisers for the RPG records, and save(name, obj) writing
// DATA/name with Marshal.dump. `body` runs after them with DATA set.
bool makeProject(const TempDir& dir, const std::string& body,
                 const std::string& gameIni = "[Game]\r\nTitle=Test\r\n");

}  // namespace ztest
