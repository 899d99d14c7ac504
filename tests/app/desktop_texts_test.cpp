// Texts the desktop shows around the program's own: wx's stock labels follow the desktop's
// language (under the Japanese locale a stock button reads what GNU gettext finds in wx's
// own catalog for it), and the message box keeps its title and the report's lines whole.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/translation.h>

#include <wx/menu.h>
#include <wx/weakref.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_context.h"
#include "app/desktop_language.h"
#include "app/gui_test_support.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace zorvane {
namespace {

// One environment variable set for the life of the object, then put back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(DesktopLanguageTest, StockButtonsReadJapaneseUnderTheJapaneseLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ja_JP.UTF-8") || !ztest::haveProgram("gettext"))
        GTEST_SKIP() << "needs the ja_JP.UTF-8 locale (scripts/common.sh) and gettext";
    std::setlocale(LC_ALL, before.c_str());
    std::string expected;
    ASSERT_EQ(ztest::run("LC_ALL=ja_JP.UTF-8 LANGUAGE= gettext -d wxstd-3.2 '&Cancel'", &expected),
              0);
    ASSERT_NE(expected, "&Cancel") << "wx's Japanese catalog (wx3.2-i18n) is not installed";

    ScopedEnv all("LC_ALL", "ja_JP.UTF-8"), language("LANGUAGE", "");
    useDesktopLanguage();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "");
    auto* cancel = new wxButton(frame, wxID_CANCEL);
    EXPECT_EQ(fromWx(cancel->GetLabel()), expected);
    EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C") << "numbers stay in C form";
    frame->Destroy();
    wxTranslations::Set(nullptr);
    std::setlocale(LC_ALL, before.c_str());
}

// The settings file's Language and the environment choose the windows' language; English
// comes from the catalog built beside the programs. Captions are the English catalog's.
TEST(DesktopLanguageTest, SettingOrEnvironmentChoosesTheWindowsLanguage) {
    struct Case {
        const char* setting;
        const char* environment;
        const char* fileMenu;
        const char* folderCaption;
        const char* listing;
    };
    const Case cases[] = {
        {"2", "C.UTF-8", "&File", "Project folder", "en"},
        {"1", "en_US.UTF-8", "ファイル(&F)", "プロジェクトフォルダ", "ja"},
        {"0", "en_US.UTF-8", "&File", "Project folder", "en"},
        {"0", "C.UTF-8", "ファイル(&F)", "プロジェクトフォルダ", "ja"},
    };
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Language=") + c.setting + " LC_ALL=" + c.environment);
        ScopedEnv all("LC_ALL", c.environment);
        // The other window tests run on the Japanese source texts, whatever happens here.
        struct BackToSource {
            std::string locale;
            ~BackToSource() {
                wxTranslations::Set(nullptr);
                std::setlocale(LC_ALL, locale.c_str());
            }
        } backToSource{locale};
        std::filesystem::remove(settingsFilePath());
        ztest::writeFile(settingsFilePath(),
                         std::string("[System]\nAutoRead=0\nLanguage=") + c.setting + "\n");
        AppContext context;
        context.hooks.useLanguage = [](int setting) {
            useDesktopLanguage(static_cast<LanguageChoice>(setting));
        };
        wxWeakRef<MainFrame> frame(startApplication(context, {}));
        ASSERT_TRUE(frame);
        EXPECT_EQ(fromWx(frame->GetMenuBar()->GetMenuLabel(0)), c.fileMenu);
        EXPECT_TRUE(ztest::findByLabel(frame, c.folderCaption)) << c.folderCaption;
        EXPECT_EQ(desktopListingLanguage(), c.listing);
        frame->Destroy();
        EXPECT_TRUE(ztest::pumpUntil([&frame] { return !frame; }));  // before its context goes
    }
    std::filesystem::remove(settingsFilePath());
}

TEST(MessageDialogTest, KeepsItsTitleAndTheReportsLinesWhole) {
    const std::string path =
        "/home/user/projects/a-long-project-name/Graphics/Characters/001-Fighter01.png";
    struct Case {
        std::string text;
        long style;
        int answer;  // the button pressed, and what the box returns for it
        int expected;
    };
    const Case cases[] = {
        {"終了しました", wxOK | wxICON_INFORMATION, wxID_OK, wxOK},
        {"次のファイルをコピーできませんでした\n\n" + path + "\n" + path, wxOK | wxICON_WARNING,
         wxID_OK, wxOK},
        {"上書きしますか？", wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION, wxID_NO, wxNO},
        {"上書きしますか？", wxYES_NO | wxICON_QUESTION, wxID_YES, wxYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string shownText;
        int titleRoom = 0, width = 0;
        ztest::ModalDialogs modals([&](wxDialog& dialog) {
            for (wxWindow* child : dialog.GetChildren())
                if (auto* label = dynamic_cast<wxStaticText*>(child))
                    shownText = fromWx(label->GetLabel());
            titleRoom = dialog.GetTextExtent(dialog.GetTitle()).x;
            width = dialog.GetSize().x;
            return c.answer;
        });
        EXPECT_EQ(showMessageDialog(nullptr, c.text, kMessageTitle, c.style), c.expected);
        EXPECT_EQ(modals.count, 1);
        EXPECT_EQ(shownText, c.text) << "lines break only where the text breaks them";
        EXPECT_GE(width, titleRoom + 100) << "the title bar has room for the whole title";
    }
}

// The box grows with its text, and a text taller than the screen scrolls inside a box that
// stays on it: every control gets at least the room its content asks for (a label as much
// as its lines measure in its own font), lies inside the box, and the box on the screen.
TEST(MessageDialogTest, EveryLineAndTheButtonAreOnTheScreen) {
    const std::string head = "次のファイルを読み込めませんでした。その内容は表示・検索されません。";
    std::string paragraph, list = head + "\n";
    for (int i = 0; i < 8; ++i) paragraph += head;  // a Japanese line has no spaces to wrap at
    for (int i = 0; i < 8; ++i)
        paragraph += " The following files could not be read, so they are not shown or searched.";
    for (int i = 1; i <= 300; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "\nData/Map%03d.rxdata: cut short at byte 100", i);
        list += line;
    }
    const struct {
        const char* what;
        std::string text;
    } cases[] = {{"short", "終了しました"}, {"paragraph", paragraph}, {"300 files", list}};
    const wxRect screen = wxDisplay(0u).GetClientArea();
    const auto withoutSpaces = [](wxString text) {
        for (const char* space : {" ", "\n"}) text.Replace(space, "");
        return fromWx(text);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string shown;
        ztest::ModalDialogs modals([&](wxDialog& dialog) {
            dialog.Show();
            ztest::pumpFor(100);
            EXPECT_TRUE(screen.Contains(dialog.GetScreenRect()))
                << "box " << dialog.GetScreenRect().width << "x" << dialog.GetScreenRect().height;
            const wxRect client(dialog.GetClientSize());
            EXPECT_TRUE(dialog.FindWindow(wxID_OK)) << "the button that closes it";
            for (wxWindow* child : dialog.GetChildren()) {
                const wxSize size = child->GetSize(), best = child->GetBestSize();
                EXPECT_TRUE(client.Contains(child->GetRect()))
                    << child->GetClassInfo()->GetClassName();
                if (auto* box = dynamic_cast<wxTextCtrl*>(child)) {
                    shown = fromWx(box->GetValue());
                    continue;  // a text box scrolls what it cannot show
                }
                EXPECT_TRUE(size.x >= best.x && size.y >= best.y)
                    << child->GetClassInfo()->GetClassName() << " " << size.x << "x" << size.y
                    << " < " << best.x << "x" << best.y;
                if (auto* label = dynamic_cast<wxStaticText*>(child)) {
                    shown = fromWx(label->GetLabel());
                    wxClientDC dc(label);
                    dc.SetFont(label->GetFont());
                    const wxSize lines = dc.GetMultiLineTextExtent(label->GetLabel());
                    EXPECT_TRUE(size.x >= lines.x && size.y >= lines.y)
                        << "label " << size.x << "x" << size.y << " < its lines " << lines.x << "x"
                        << lines.y;
                }
            }
            dialog.Hide();
            return wxID_OK;
        });
        EXPECT_EQ(showMessageDialog(nullptr, c.text, kMessageTitle, wxOK | wxICON_WARNING), wxOK);
        EXPECT_EQ(withoutSpaces(toWx(shown)), withoutSpaces(toWx(c.text))) << "the whole text";
    }
}

}  // namespace
}  // namespace zorvane
