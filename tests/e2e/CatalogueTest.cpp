// Catalogue mode: the selection dialog with the example catalogue's packages
// in the system's language, the description following the selection, the
// refusals of packages the simulator cannot show (messages 115, 116, 117)
// with the list offered again, and accepted packages installing by
// themselves.
#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <string>
#include <vector>

using automation::ProgramWindow;
using automation::Widen;
using expected::Text;
namespace control = automation::control;

namespace {

// The example catalogue (example/catalogue/InstSkript.ini) as users read it;
// "[e]" in the file is a line break, which the description field returns as
// CR LF.
struct CatalogueEntry {
    const char* name[4];  // German, English, French, Polish
    const char* description[4];
};

const CatalogueEntry kEntries[] = {
    {{u8"Bahnhof Grünwald (Grundpaket)", u8"Grünwald station (base package)",
      u8"Gare de Grünwald (paquet de base)", u8"Stacja Grünwald (pakiet podstawowy)"},
     {u8"Empfangsgebäude, Bahnsteig und Stellwerk mit Texturen.\r\nBenötigt Trako 4.0.",
      u8"Station building, platform and signal box with textures.\r\nNeeds Trako 4.0.",
      u8"Bâtiment voyageurs, quai et poste d'aiguillage avec textures.\r\nNécessite Trako 4.0.",
      u8"Budynek dworca, peron i nastawnia z teksturami.\r\nWymaga Trako 4.0."}},
    {{u8"Schnellfahrstrecke", u8"High-speed line", u8"Ligne à grande vitesse",
      u8"Linia dużych prędkości"},
     {u8"Gleise und Brücken für 300 km/h. Benötigt Trako 6.0.",
      u8"Track and bridges for 300 km/h. Needs Trako 6.0.",
      u8"Voies et ponts pour 300 km/h. Nécessite Trako 6.0.",
      u8"Tory i mosty na 300 km/h. Wymaga Trako 6.0."}},
    {{u8"Güterbahnhof", u8"Goods yard", u8"Gare de marchandises", u8"Stacja towarowa"},
     {u8"Ladestraße und Kran. Benötigt Trako 5.0 mit Patch 3.",
      u8"Loading road and crane. Needs Trako 5.0 with patch 3.",
      u8"Voie de chargement et grue. Nécessite Trako 5.0 avec le patch 3.",
      u8"Rampa i dźwig. Wymaga Trako 5.0 z poprawką 3."}},
    {{u8"Oberleitung", u8"Overhead line", u8"Caténaire", u8"Sieć trakcyjna"},
     {u8"Masten und Fahrdraht. Benötigt die Plug-ins 2 und 7.",
      u8"Masts and contact wire. Needs plug-ins 2 and 7.",
      u8"Poteaux et fil de contact. Nécessite les plug-ins 2 et 7.",
      u8"Słupy i przewód jezdny. Wymaga wtyczek 2 i 7."}},
    {{u8"Signale und Schilder", u8"Signals and signs", u8"Signaux et panneaux",
      u8"Sygnały i znaki"},
     {u8"Haupt- und Vorsignal mit Signalschirm-Textur.",
      u8"Main and distant signal with a signal-face texture.",
      u8"Signal principal et signal avancé avec texture.",
      u8"Semafor i tarcza ostrzegawcza z teksturą."}},
};
constexpr int kEntryCount = sizeof kEntries / sizeof kEntries[0];
constexpr int kSignals = 4;

std::wstring Name(int entry) {
    return Widen(kEntries[entry].name[static_cast<int>(expected::CurrentLanguage())]);
}
std::wstring Description(int entry) {
    return Widen(kEntries[entry].description[static_cast<int>(expected::CurrentLanguage())]);
}

class Catalogue : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        Prepare(Scenario::Package::Catalogue);
        ASSERT_NO_FATAL_FAILURE(BeforeStart());
        Start();
    }

    // Changes to the prepared package before the installer starts.
    virtual void BeforeStart() {}

    std::optional<std::wstring> DescriptionShown(HWND dialog) {
        return automation::ControlText(dialog, control::kDescription);
    }

    // The selection dialog as it opens: every package, the first one selected
    // and described.
    HWND ExpectFreshSelection() {
        HWND dialog = Expect(ProgramWindow::Selection);
        if (!dialog) return nullptr;
        HWND list = GetDlgItem(dialog, control::kPackageList);
        std::vector<std::wstring> names;
        for (int i = 0; i < kEntryCount; ++i) names.push_back(Name(i));
        EXPECT_EQ(automation::ListItems(list), names);
        EXPECT_EQ(automation::ListSelection(list), 0);
        EXPECT_EQ(DescriptionShown(dialog), Description(0));
        return dialog;
    }

    void Choose(HWND dialog, int entry) {
        ASSERT_TRUE(automation::SelectListItem(dialog, control::kPackageList, entry));
        ASSERT_TRUE(
            automation::WaitFor([&] { return DescriptionShown(dialog) == Description(entry); },
                                Scenario::kShowTimeoutMs))
            << "entry " << entry
            << " not described: " << Describe(DescriptionShown(dialog).value_or(L"(none)"));
        ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    }
};

TEST_F(Catalogue, ListsEveryPackageInTheSystemLanguageWithTheFirstSelected) {
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(automation::WindowText(dialog), Text(113));
    EXPECT_EQ(automation::ControlText(dialog, control::kInstallButton), Text(112));
    EXPECT_EQ(automation::ControlText(dialog, control::kCancelButton), Text(110));
    const auto texts = automation::ControlTexts(dialog);
    EXPECT_NE(std::find(texts.begin(), texts.end(), Text(114)), texts.end())
        << "no label " << Describe(Text(114));
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

TEST_F(Catalogue, DescriptionFollowsTheSelection) {
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    for (int entry : {3, 1, 4, 0, 2}) {
        ASSERT_TRUE(automation::SelectListItem(dialog, control::kPackageList, entry));
        EXPECT_TRUE(
            automation::WaitFor([&] { return DescriptionShown(dialog) == Description(entry); },
                                Scenario::kShowTimeoutMs))
            << "entry " << entry << " shows "
            << Describe(DescriptionShown(dialog).value_or(L"(none)"));
    }
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
}

// Each refusal: one message box with the stop icon, then the selection again
// with the first package selected; nothing is installed.
TEST_F(Catalogue, RefusesWhatTheSimulatorCannotShowAndOffersTheListAgain) {
    struct Refusal {
        int entry;
        const char* reason;
    };
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    for (const Refusal& refusal : {Refusal{1, "Trako 6.0 needed, 5 present: message 115"},
                                   Refusal{2, "patch 3 needed, 1 present: message 116"},
                                   Refusal{3, "plug-in 7 needed, only 2 present: message 117"}}) {
        SCOPED_TRACE(refusal.reason);
        ASSERT_NO_FATAL_FAILURE(Choose(dialog, refusal.entry));
        HWND box = Expect(ProgramWindow::Message);
        ASSERT_NE(box, nullptr);
        const std::wstring shown = automation::MessageBoxText(box).value_or(L"");
        switch (refusal.entry) {
        case 1: EXPECT_EQ(Describe(shown), Describe(expected::Format(115, 6))); break;
        case 2: EXPECT_TRUE(expected::Matches116(shown, 5, 3)) << Describe(shown); break;
        case 3: EXPECT_EQ(Describe(shown), Describe(expected::Format(117, "7 "))); break;
        }
        EXPECT_EQ(automation::ButtonIds(box), std::vector<int>{IDOK});
        EXPECT_EQ(automation::MessageBoxHasIcon(box), true);
        EXPECT_EQ(scenario.Find(ProgramWindow::Selection), nullptr)
            << "the list stays up behind the refusal";
        Answer(box, IDOK);
        dialog = ExpectFreshSelection();
        ASSERT_NE(dialog, nullptr);
        ExpectNoMessageFor(300);
    }
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

// An accepted package opens the install dialog, which starts by itself about
// half a second later, installs the package's own script and ends.
TEST_F(Catalogue, AnAcceptedPackageInstallsByItself) {
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(Choose(dialog, kSignals));
    HWND install = Expect(ProgramWindow::Install);
    ASSERT_NE(install, nullptr);
    const DWORD opened = GetTickCount();
    EXPECT_EQ(scenario.Find(ProgramWindow::Selection), nullptr);
    HWND done = ExpectMessage(Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    const DWORD waited = GetTickCount() - opened;
    EXPECT_GE(waited, 350u) << "the install began before its half-second wait";
    EXPECT_LT(waited, 5000u);
    Answer(done, IDOK);
    ExpectEnded();
    ExpectHost(Scenario::Golden("signale"));
}

// Without the host program the automatic install says 104 and the install
// dialog stays open until the user cancels it.
TEST_F(Catalogue, WithoutTheHostTheInstallDialogSays104AndStays) {
    ASSERT_TRUE(testregistry::SetHostFolder(std::nullopt));
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(Choose(dialog, kSignals));
    HWND install = Expect(ProgramWindow::Install);
    ASSERT_NE(install, nullptr);
    HWND missing = ExpectMessage(Text(104), {IDOK}, false);
    ASSERT_NE(missing, nullptr);
    Answer(missing, IDOK);
    ExpectNoMessageFor(1000);
    EXPECT_TRUE(IsWindow(install) && IsWindowVisible(install)) << scenario.Screen();
    ASSERT_TRUE(automation::PressButton(install, control::kCancelButton));
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

// A description that reads like a rich text document shows exactly as
// written: the field holds plain text and parses nothing.
class CatalogueWithRichText : public Catalogue {
protected:
    static constexpr const char* kRichText = "{\\rtf1\\ansi {\\b bold}\\par plain}";

    void BeforeStart() override {
        // The first package's description in every language.
        const std::string path = scenario.PackageFolder() + "\\InstSkript.ini";
        std::string catalogue;
        ASSERT_TRUE(filetree::ReadFile(path, catalogue));
        std::string rewritten;
        bool first = false;
        size_t start = 0;
        while (start < catalogue.size()) {
            const size_t end = std::min(catalogue.find('\n', start), catalogue.size());
            std::string line = catalogue.substr(start, end - start + 1);
            if (line[0] == '[') first = line.rfind("[Install_00]", 0) == 0;
            if (first && line.rfind("Desc_", 0) == 0) {
                line = line.substr(0, 8) + " = \"" + kRichText + "\"\r\n";
            }
            rewritten += line;
            start = end + 1;
        }
        testfiles::Write(path, rewritten);
    }
};

TEST_F(CatalogueWithRichText, ADescriptionShowsExactlyAsWritten) {
    HWND dialog = Expect(ProgramWindow::Selection);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Describe(DescriptionShown(dialog).value_or(L"(none)")), Describe(Widen(kRichText)));
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
}

// The first package's script is "InstSkript.txt" beside the program.
TEST_F(Catalogue, TheFirstPackageInstallsTheBaseScript) {
    HWND dialog = ExpectFreshSelection();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    ASSERT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    ExpectHost(Scenario::Golden("installed"));
}

}  // namespace
