// Shared by the Marshal tests: byte strings from hex and reading a buffer into a file.
#pragma once

#include <string>

#include "marshal/marshal_file.h"

namespace ztest {

// "04 08 69 06" -> the bytes.
std::string hexBytes(const std::string& hex);

// Runs a Ruby program (with Marshal) that writes its output file; false when Ruby is absent
// or the program fails.
bool rubyWrite(const std::string& program, const std::string& outPath);

// A canonical text of a Marshal tree, the same form tests/marshal/describe.rb prints for a
// Ruby object graph, so the two can be compared.
std::string describe(const zorvane::MarshalValue& v);

}  // namespace ztest
