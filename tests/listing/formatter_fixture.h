// What the formatter-family tests share: parameter builders and a fixture that calls one
// formatter in detail or short form, or asks it whether it matches a request.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "listing/listing.h"
#include "project/project_database.h"

namespace zorvane::ftest {

inline MarshalValue n(int v) {
    MarshalValue m;
    m.setFixnum(v);
    return m;
}

inline MarshalValue s(const char* text) {
    MarshalValue m;
    m.setString(text);
    return m;
}

class FormatterFixture : public ::testing::Test {
  protected:
    std::string text(Formatter f, ParamView p, bool detail) {
        options.detail = detail;
        std::string out;
        EXPECT_FALSE(f(out, p, options, nullptr, nullptr)) << "matched without a request";
        return out;
    }

    bool matches(Formatter f, ParamView p, const SearchRequest& r, FileCollector* files = nullptr) {
        std::string out;
        return f(out, p, options, &r, files);
    }

    ProjectDatabase db;
    ListingOptions options;
};

}  // namespace zorvane::ftest
