// The texts in the language of the system under test. This program runs once
// per locale (LC_ALL), so every expectation follows the system's language.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/InstallMessageBoxes.h"
#include "app/Messages.h"
#include "package/CatalogueReader.h"
#include "app/tests/ScriptedMessageBox.h"
#include "tests/support/TestFiles.h"
#include "app/tests/ExpectedText.h"

namespace {

using testfiles::Ansi;

TEST(SystemLanguage, FollowsTheLocaleThatRunsTheProgram) {
    const char* locale = std::getenv("LC_ALL");
    if (locale == nullptr || *locale == '\0') GTEST_SKIP() << "LC_ALL not set";
    struct Case {
        const char* locale;
        LANGID language;
    };
    const Case cases[] = {{"de_DE", 0x407}, {"de_AT", 0xC07}, {"en_US", 0x409}, {"fr_BE", 0x80C},
                          {"fr_CA", 0xC0C}, {"pl_PL", 0x415}, {"it_IT", 0x410}};
    for (const Case& c : cases) {
        if (std::strncmp(locale, c.locale, std::strlen(c.locale)) == 0) {
            EXPECT_EQ(c.language, GetSystemDefaultLangID()) << locale;
            return;
        }
    }
    GTEST_SKIP() << "no expectation for " << locale;
}

TEST(LocalisedId, PicksTheTableOfThePrimaryLanguage) {
    struct Case {
        uint16_t language;
        uint32_t offset;
    };
    const Case cases[] = {
        {0x0407, 0},   {0x0807, 0},
        {0x0C07, 0},   {0x1007, 0},  // German, Swiss, Austrian, ...
        {0x040C, 200}, {0x080C, 200},
        {0x0C0C, 200},  // French, Belgian, Canadian
        {0x0415, 300},  // Polish
        {0x0409, 100}, {0x0809, 100},
        {0x0410, 100}, {0x0413, 100},  // English, Italian, Dutch
        {0x0000, 100}, {0x0415 | 0x0400, 300},
    };
    for (const Case& c : cases) {
        for (uint32_t base = 101; base <= 118; ++base) {
            EXPECT_EQ(base + c.offset, messages::LocalisedIdFor(base, c.language))
                << std::hex << c.language << " " << std::dec << base;
        }
    }
}

TEST(LocalisedId, AsksTheSystemLanguage) {
    EXPECT_EQ(messages::LocalisedIdFor(106, GetSystemDefaultLangID()), messages::LocalisedId(106));
}

TEST(Texts, AreTheSystemLanguagesOwnInItsCodePage) {
    for (uint32_t id = 101; id <= 118; ++id) {
        EXPECT_EQ(ExpectedText(static_cast<int>(id)), messages::Load(id)) << id;
    }
}

// A few texts written out, so that neither a program in the wrong language
// nor a string table read in the wrong code page can hide behind the table
// the expectations share with the program: the locale that runs this test
// program decides, and the German and Polish texts have characters outside
// ASCII.
TEST(Texts, ReadAsWrittenForTheLocale) {
    const char* locale = std::getenv("LC_ALL");
    if (locale == nullptr || *locale == '\0') GTEST_SKIP() << "LC_ALL not set";
    struct Case {
        const char* locale;  // the first case whose prefix matches counts
        uint32_t id;
        const char* text;
    };
    const Case cases[] = {
        {"de", 101, "&Info über Pakwerk..."},
        {"fr", 106, "Installation terminée avec succes!"},
        {"pl", 105, "Błąd podczas instalacji."},
        {"", 110, "Quit"},  // English, and every language without texts
    };
    for (const Case& c : cases) {
        if (std::strncmp(locale, c.locale, std::strlen(c.locale)) == 0) {
            EXPECT_EQ(Ansi(c.text), messages::Load(c.id)) << locale;
            return;
        }
    }
}

TEST(Texts, PolishArrivesInCodePage1250) {
    if (SystemLanguage() != language::Language::Polish) GTEST_SKIP() << "not a Polish system";
    // "ł" is 0xB3 in code page 1250 (and "³" in 1252).
    EXPECT_EQ('\xB3', messages::Load(105)[1]);
}

TEST(Texts, RequirementMessagesAreGermanInEveryLanguage) {
    const std::string version = messages::Format(messages::VersionTooLow, 6);
    EXPECT_EQ(0u,
              version.find(Ansi("Zur korrekten Darstellung der Inhalte des Artikels wird die "
                                "Installation\nvon Trako 6.0 dringend vorausgesetzt!\n\nBei der "
                                "Überprüfung")))
        << version;
    const std::string patch = messages::Format(messages::PatchTooLow, 5, 3);
    EXPECT_NE(std::string::npos, patch.find("von Trako 5.0 mit dem Patch 3 dringend")) << patch;
    EXPECT_NE(std::string::npos, patch.find(" unter www.orvana.example bzw.\nshop.orvana.example "
                                            "heruntergeladen werden."))
        << patch;
    const std::string plugins = messages::Format(messages::PluginsMissing, "2,7 ");
    EXPECT_NE(std::string::npos,
              plugins.find("\nvon Trako 5.0 mit Plug-in 2,7 dringend vorausgesetzt!\n"))
        << plugins;
    const std::string end = Ansi("\nArtikels installieren zu können.");
    ASSERT_GT(plugins.size(), end.size());
    EXPECT_EQ(end, plugins.substr(plugins.size() - end.size()));
}

// Formatting fills exactly the placeholders each message is used with; a
// translation with another placeholder would read arguments that are not there.
TEST(Texts, EveryLanguageHasThePlaceholdersItsCallersFill) {
    struct Case {
        uint32_t base;
        const char* placeholders;
    };
    const Case cases[] = {{103, "ss"}, {107, "ss"}, {108, "s"},
                          {115, "d"},  {116, "dd"}, {117, "s"}};
    for (uint32_t base = 101; base <= 118; ++base) {
        std::string expected;
        for (const Case& c : cases) {
            if (c.base == base) expected = c.placeholders;
        }
        for (uint32_t offset : {0u, 100u, 200u, 300u}) {
            char text[2048];
            int length = LoadStringA(GetModuleHandleA(nullptr), base + offset, text, sizeof text);
            ASSERT_GT(length, 0) << base + offset;
            std::string found;
            for (const char* p = std::strchr(text, '%'); p != nullptr;
                 p = std::strchr(p + 2, '%')) {
                found += p[1];
            }
            if (base + offset == 107) {
                EXPECT_EQ("", found) << "German 107 names no paths";
            } else {
                EXPECT_EQ(expected, found) << base + offset;
            }
        }
    }
}

TEST(Format, LongArgumentsAreShownWhole) {
    const std::string path = "C:\\" + std::string(5000, 'x') + "\\end.dat";
    const std::string text = messages::Format(messages::SourceMissing, path);
    EXPECT_EQ(path, text.substr(text.size() - path.size()));
}

TEST(Format, PercentSignsInArgumentsStayAsTheyAre) {
    const std::string text = messages::Format(messages::SourceMissing, "C:\\100%s %d.dat");
    EXPECT_EQ("C:\\100%s %d.dat", text.substr(text.size() - 15));
}

TEST(Show, ShowsTheFormattedTextWithTheGivenFlags) {
    ScriptedMessageBox boxes({IDNO});
    EXPECT_EQ(IDNO, messages::Show(messages::NewerFileQuestion, MB_YESNOCANCEL, "a", "b"));
    EXPECT_EQ(IDOK, messages::Show(messages::InstallSucceeded, MB_ICONINFORMATION));
    ASSERT_EQ(2u, boxes.Shown().size());
    EXPECT_EQ(messages::Format(messages::NewerFileQuestion, "a", "b"), boxes.Shown()[0].text);
    EXPECT_EQ(static_cast<unsigned>(MB_YESNOCANCEL), boxes.Shown()[0].flags);
    EXPECT_EQ(messages::Load(messages::InstallSucceeded), boxes.Shown()[1].text);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), boxes.Shown()[1].flags);
}

TEST(Show, ABoxThatEndsRestoresTheOneBefore) {
    ScriptedMessageBox outer({IDYES});
    {
        ScriptedMessageBox inner({IDNO});
        EXPECT_EQ(IDNO, messages::Show(messages::NewerFileQuestion, MB_YESNOCANCEL, "a", "b"));
    }
    EXPECT_EQ(IDYES, messages::Show(messages::NewerFileQuestion, MB_YESNOCANCEL, "a", "b"));
    EXPECT_EQ(1u, outer.Shown().size());
}

// The run's questions as boxes: which text, which buttons, the arguments in
// which order, and what each button means.
TEST(InstallMessageBoxes, AskAndTellWithTheRunsTexts) {
    using fileentry::Answer;
    struct Case {
        const char* behaviour;
        int button;  // the scripted answer; 0: the box could not be shown
        std::function<Answer(InstallMessageBoxes&)> call;
        std::vector<ShownBox> shown;
        Answer answer;
    };
    const auto newer = [](InstallMessageBoxes& boxes) {
        return boxes.AskAboutNewerFile("C:\\Host\\a.dat", "C:\\Paket\\a.dat");
    };
    const ShownBox question{messages::Format(messages::NewerFileQuestion, "C:\\Host\\a.dat",
                                             "C:\\Paket\\a.dat"),
                            MB_YESNOCANCEL};
    const auto told = [](void (*tell)(InstallMessageBoxes&)) {
        return [tell](InstallMessageBoxes& boxes) {
            tell(boxes);
            return Answer::Replace;
        };
    };
    const Case cases[] = {
        {"Yes keeps the newer file", IDYES, newer, {question}, Answer::Keep},
        {"Cancel keeps every newer file", IDCANCEL, newer, {question}, Answer::KeepAll},
        {"No replaces it", IDNO, newer, {question}, Answer::Replace},
        {"a box not shown replaces it", 0, newer, {question}, Answer::Replace},
        {"missing source",
         0,
         told([](InstallMessageBoxes& boxes) { boxes.SourceMissing("C:\\Paket\\b.dat"); }),
         {{messages::Format(messages::SourceMissing, "C:\\Paket\\b.dat"), MB_OK}},
         Answer::Replace},
        {"failed copy: source, then destination",
         0,
         told([](InstallMessageBoxes& boxes) {
             boxes.CopyFailed("C:\\Paket\\b.dat", "C:\\Host\\b.dat");
         }),
         {{messages::Format(messages::CopyFailed, "C:\\Paket\\b.dat", "C:\\Host\\b.dat"), MB_OK}},
         Answer::Replace},
        {"missing script",
         0,
         told([](InstallMessageBoxes& boxes) { boxes.ScriptMissing(); }),
         {{messages::Load(messages::ScriptMissing), MB_OK}},
         Answer::Replace},
        {"a list not written shows nothing: the run's failure says it",
         0,
         told([](InstallMessageBoxes& boxes) { boxes.ListNotWritten("C:\\Host\\cabins.ini"); }),
         {},
         Answer::Replace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        ScriptedMessageBox boxes(c.button == 0 ? std::vector<int>{} : std::vector<int>{c.button});
        InstallMessageBoxes questions;
        EXPECT_EQ(c.answer, c.call(questions));
        EXPECT_EQ(c.shown, boxes.Shown());
    }
}

// The catalogue is read in the language of the system that runs this test
// program (it runs once per LC_ALL locale).
TEST(CatalogueLanguage, SystemLanguageChoosesTheSuffix) {
    const char* locale = std::getenv("LC_ALL");
    if (locale == nullptr || *locale == '\0') GTEST_SKIP() << "LC_ALL not set";
    const char* expected = "_ENG";
    if (std::strncmp(locale, "de", 2) == 0) expected = "_GER";
    if (std::strncmp(locale, "fr", 2) == 0) expected = "_FRA";
    if (std::strncmp(locale, "pl", 2) == 0) expected = "_POL";
    EXPECT_STREQ(expected, cataloguereader::LanguageSuffix(GetSystemDefaultLangID())) << locale;
}

}  // namespace
