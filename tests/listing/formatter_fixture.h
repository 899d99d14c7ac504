// What the formatter-family tests share: parameter builders and a fixture that calls one
// formatter in detail or short form, or asks whether its command matches a request.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "listing/listing.h"
#include "listing/search_match.h"
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
        f(out, p, options);
        return out;
    }

    // The command of the first row that prints with f, holding p.
    static EventCommand commandOf(Formatter f, ParamView p) {
        EventCommand c;
        for (const CommandRow& row : commandTable()) {
            if (row.formatter != f) continue;
            c.code = row.code;
            break;
        }
        c.setParameters(zorvane::ValueVector(p.begin(), p.end()));
        return c;
    }

    bool matches(Formatter f, ParamView p, const SearchRequest& r) {
        return commandMatches(commandOf(f, p), r, db.resources());
    }

    FileCollector files(Formatter f, ParamView p) {
        FileCollector collected;
        collectCommandFiles(commandOf(f, p), collected);
        return collected;
    }

    ProjectDatabase db;
    ListingOptions options;
};

}  // namespace zorvane::ftest
