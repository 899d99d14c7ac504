// The window tests' own main: wx starts once for the whole run, a failed wx assertion
// becomes a test failure instead of a modal box (which would hang under Xvfb), and wx's
// log goes to stderr.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/desktop_language.h"
#include "support/test_support.h"

namespace {

class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

void failOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "wx assertion " << cond.utf8_str() << " failed in " << func.utf8_str()
                  << " at " << file.utf8_str() << ":" << line << ": " << msg.utf8_str();
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // One scratch folder for settings and registry for the whole run: the registry store
    // is process-wide and keeps the folder it first saw. No RPGXP under an empty prefix.
    ztest::TempDir config, wine;
    setenv("ZORVANE_CONFIG_DIR", config.path().c_str(), 1);
    setenv("WINEPREFIX", wine.path().c_str(), 1);
    wxSetAssertHandler(failOnAssert);
    if (!wxEntryStart(argc, argv) || !wxTheApp || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "wx could not start (is there a display?)\n");
        return 1;
    }
    // The tests run on the Japanese source texts; ZORVANE_TEST_LANGUAGE=en gives the
    // screenshot runs the English catalog (checks on Japanese captions then fail).
    const char* language = std::getenv("ZORVANE_TEST_LANGUAGE");
    if (language && std::string(language) == "en")
        zorvane::useDesktopLanguage(zorvane::LanguageChoice::English);
    wxLogStderr log;
    wxLog* previous = wxLog::SetActiveTarget(&log);
    int result = RUN_ALL_TESTS();
    wxLog::SetActiveTarget(previous);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
