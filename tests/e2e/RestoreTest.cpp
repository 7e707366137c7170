// Taking a package out again with the restore program, from a package folder
// that holds Pakwerk.exe alone: the example installed twice has one
// uninstall entry, and that entry, run as Windows runs it, asks once and
// leaves the host folder byte for byte and attribute for attribute as
// before both, and the entry gone; of two packages the older comes off and
// the newer's changes stay; an installation killed in the middle is
// restored to the state before it; the restore program's window lists the
// restore points in columns, sorts them by a click on a header, is worked
// by the keyboard, shows what a restore would do before it is asked, and
// restores only after the person's yes (Enter alone answers No); the
// console speaks the user's language; a restore folder that others may
// change is refused.
#include "automation/ChildProcess.h"
#include "automation/ProgramWindows.h"
#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"
#include "engine/RegistryKey.h"
#include "engine/RestorePoints.h"
#include "engine/UninstallEntry.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestFiles.h"
#include "undo/UndoResources.h"

#include <aclapi.h>
#include <sddl.h>

#include <map>

#ifndef PAKUNDO_EXE
#error "PAKUNDO_EXE names the restore program under test"
#endif

using automation::ProgramWindow;
namespace control = automation::control;

namespace {

class Restore : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        // As delivered: Pakwerk.exe alone, which carries the restore program.
        Prepare(Scenario::Package::Single);
    }

    std::map<std::string, std::string> Host() const {
        return testfiles::FolderTree(scenario.HostFolder());
    }

    void Install() {
        Start();
        HWND dialog = Expect(ProgramWindow::Install);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
        ASSERT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    }

    // The restore points of runs into this host, newest first.
    std::vector<std::string> Points() const {
        std::vector<std::string> ids;
        for (const restorepoints::Summary& point :
             restorepoints::List(restorepoints::DefaultRoot())) {
            if (point.journal.host == scenario.HostFolder() + "\\") ids.push_back(point.id);
        }
        return ids;
    }

    // Runs the restore program to its end; `output` receives what it printed,
    // read in the user's code page.
    static DWORD Pakundo(const std::string& arguments, std::wstring* output = nullptr) {
        char folder[MAX_PATH];
        char name[MAX_PATH];
        if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "pku", 0, name)) {
            return 98;
        }
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 98;
        DWORD code = 99;
        {
            automation::ChildProcess undo;
            if (undo.Start(filetree::FromUnixPath(PAKUNDO_EXE), arguments, "", file) &&
                undo.WaitForExit(Scenario::kShowTimeoutMs)) {
                code = undo.ExitCode();
            }
        }
        CloseHandle(file);
        std::string bytes;
        filetree::ReadFile(name, bytes);
        DeleteFileA(name);
        if (output != nullptr) {
            output->assign(bytes.size(), L'\0');
            const int length =
                MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    &(*output)[0], static_cast<int>(output->size()));
            output->resize(static_cast<size_t>(length > 0 ? length : 0));
        }
        return code;
    }

    // The uninstall entry that the package's installations into this host
    // share.
    std::string Entry() const {
        return restorepoints::PackageKey(PackageName(), scenario.HostFolder() + "\\");
    }

    // What the entry shows for a single package: its folder's name.
    std::string PackageName() const {
        const std::string& folder = scenario.PackageFolder();
        return folder.substr(folder.rfind('\\') + 1);
    }

    std::string EntryValue(const char* name) const {
        RegistryKey key;
        char value[RegistryKey::kStringBufferSize] = "";
        if (!key.SetPath(HKEY_LOCAL_MACHINE, uninstallentry::KeyPath(Entry()).c_str()) ||
            !key.Open(KEY_READ) || !key.ReadString(name, value)) {
            return std::string();
        }
        return value;
    }

    uint32_t EntrySizeKb() const {
        RegistryKey key;
        uint32_t value = 0;
        return key.SetPath(HKEY_LOCAL_MACHINE, uninstallentry::KeyPath(Entry()).c_str()) &&
                       key.Open(KEY_READ) && key.ReadDword("EstimatedSize", value)
                   ? value
                   : 0;
    }

    bool HasUninstallEntry() const {
        RegistryKey key;
        return key.SetPath(HKEY_LOCAL_MACHINE, uninstallentry::KeyPath(Entry()).c_str()) &&
               key.Open(KEY_READ);
    }

    // Uninstall entries below Windows' key whose name starts with "Pakwerk ".
    static int PakwerkEntries() {
        HKEY uninstall = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                          KEY_READ | KEY_WOW64_32KEY, &uninstall) != ERROR_SUCCESS) {
            return 0;
        }
        int count = 0;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            count += std::string(name, length).rfind("Pakwerk ", 0) == 0 ? 1 : 0;
        }
        RegCloseKey(uninstall);
        return count;
    }
};

TEST_F(Restore, TakesTheExampleOutAgain) {
    const auto before = Host();
    const int entriesBefore = PakwerkEntries();
    Install();
    const uint32_t once = EntrySizeKb();
    Install();
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(PakwerkEntries(), entriesBefore + 1) << "one entry for both installations";
    EXPECT_EQ(EntryValue("DisplayName"), PackageName());
    EXPECT_EQ(EntryValue("InstallDate"), points[0].substr(0, 8));
    EXPECT_GT(once, 0u);
    // The size of both installations (each rounded up to whole KB alone).
    EXPECT_GE(EntrySizeKb(), 2 * once - 1);
    EXPECT_LE(EntrySizeKb(), 2 * once);
    EXPECT_NE(Host(), before);
    EXPECT_EQ(Pakundo("--restore " + points[0] + " --dry-run"), 0u);
    const auto installed = Host();

    // The entry's command, started as Windows starts it: a question, the
    // person's yes, one report.
    const std::string command = EntryValue("UninstallString");
    const size_t close = command.find('"', 1);
    ASSERT_TRUE(command.rfind('"', 0) == 0 && close != std::string::npos &&
                command.compare(close, 2, "\" ") == 0)
        << command;
    automation::ChildProcess undo;
    ASSERT_TRUE(undo.Start(command.substr(1, close - 1), command.substr(close + 2), ""));
    const struct {
        language::Language language;
        const char* done;  // UTF-8
    } reports[] = {
        {language::Language::German, "Der Ordner ist wieder wie vor der Installation."},
        {language::Language::English, "The folder is as it was before the installation."},
        {language::Language::French, "Le dossier est de nouveau comme avant l'installation."},
        {language::Language::Polish, "Folder jest taki jak przed instalacją."},
    };
    for (const int answer : {IDYES, IDOK}) {
        HWND box = automation::WaitForProgramWindow(undo.Id(), ProgramWindow::Message,
                                                    Scenario::kShowTimeoutMs);
        ASSERT_NE(box, nullptr) << automation::Describe(undo.Id());
        const auto text = automation::MessageBoxText(box);
        ASSERT_TRUE(text.has_value());
        if (answer == IDYES) {
            EXPECT_EQ(Host(), installed) << "nothing is restored before the person says yes";
            EXPECT_NE(text->find(automation::Widen(scenario.HostFolder())), std::wstring::npos)
                << Describe(*text);
        } else {
            for (const auto& report : reports) {
                if (report.language != expected::CurrentLanguage()) continue;
                EXPECT_EQ(*text, automation::Widen(report.done)) << Describe(*text);
            }
        }
        ASSERT_TRUE(automation::AnswerMessageBox(box, answer));
        ASSERT_TRUE(automation::WaitFor([&] { return !IsWindow(box); }, Scenario::kShowTimeoutMs));
    }
    ASSERT_TRUE(undo.WaitForExit(Scenario::kShowTimeoutMs));
    EXPECT_EQ(undo.ExitCode(), 0u);
    EXPECT_EQ(Host(), before);
    EXPECT_FALSE(HasUninstallEntry());
    EXPECT_EQ(PakwerkEntries(), entriesBefore);
    EXPECT_TRUE(Points().empty());
    EXPECT_EQ(Pakundo("--restore " + points[0]), 2u);
    EXPECT_EQ(Pakundo("--frobnicate"), 2u);
}

TEST_F(Restore, TheOlderOfTwoPackagesComesOffAndTheNewerStays) {
    Install();
    // A newer package: another signal box and two texture entries.
    const std::string package = scenario.PackageFolder();
    std::string script =
        "Dateinstallation{{Modelle\\Stellwerk.3dm>>Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm}}"
        "Texturskript{{x>>Textur{id(16)name(Holz dunkel)}}{x>>Textur{id(50)name(Neu)}}}";
    ASSERT_TRUE(DeleteFileA((package + "\\InstSkript.txt").c_str()));
    FILE* file = fopen((package + "\\InstSkript.txt").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(script.data(), 1, script.size(), file);
    fclose(file);
    file = fopen((package + "\\Modelle\\Stellwerk.3dm").c_str(), "ab");
    ASSERT_NE(file, nullptr);
    fputs("newer", file);
    fclose(file);
    Install();
    const auto newer = Host();
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 2u);

    // The older one leaves what the newer one changed, and says so in the
    // user's language and code page.
    std::wstring said;
    EXPECT_EQ(Pakundo("--restore " + points[1], &said), 1u);
    const struct {
        language::Language language;
        const char* line;  // UTF-8
    } keptLines[] = {
        {language::Language::German,
         "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm bleibt: seit der Installation geändert"},
        {language::Language::English,
         "keep Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm: changed since the installation"},
        {language::Language::French,
         "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm reste : modifié depuis l'installation"},
        {language::Language::Polish,
         "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm pozostaje: zmieniony od instalacji"},
    };
    for (const auto& kept : keptLines) {
        if (kept.language != expected::CurrentLanguage()) continue;
        EXPECT_NE(said.find(automation::Widen(kept.line) + L"\r\n"), std::wstring::npos)
            << Describe(said);
    }
    auto after = Host();
    const std::string stellwerk = "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm";
    EXPECT_EQ(after[stellwerk], newer.at(stellwerk));
    const std::string textures = after["Resourcen\\Parallels\\Texturen.txt"];
    EXPECT_NE(textures.find("id(16)\tname(Holzdunkel)"), std::string::npos) << textures;
    EXPECT_NE(textures.find("id(50)"), std::string::npos) << textures;
    EXPECT_EQ(textures.find("id(17)"), std::string::npos) << textures;
    EXPECT_EQ(after.count("Resourcen\\Modelle\\Bahnhof\\Gruenwald\\Bahnsteig.3dm"), 0u);
    EXPECT_TRUE(HasUninstallEntry()) << "the newer installation still counts";
}

TEST_F(Restore, TheUninstallEntryRestoresOnlyAfterTheUsersYes) {
    Install();
    Install();
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 2u);
    // As the uninstall entries of earlier versions start it.
    const std::string program = restorepoints::DefaultRoot() + "\\pakundo.exe";
    const std::string arguments = "--select " + points[1];
    const auto installed = Host();

    automation::ChildProcess undo;
    ASSERT_TRUE(undo.Start(program, arguments, ""));
    HWND window = automation::WaitForProgramWindow(undo.Id(), ProgramWindow::Restore,
                                                   Scenario::kShowTimeoutMs);
    ASSERT_NE(window, nullptr) << "no window; " << automation::Describe(undo.Id());
    EXPECT_EQ(Host(), installed) << "nothing is restored before the person says yes";

    // The columns and rows, newest first, the uninstall entry's one selected;
    // below them what restoring it would do.
    HWND list = GetDlgItem(window, IDC_POINT_LIST);
    const std::string bahnsteig = "Resourcen\\Modelle\\Bahnhof\\Gruenwald\\Bahnsteig.3dm";
    const struct {
        language::Language language;
        std::vector<const char*> columns;  // UTF-8
        std::string deleteLine;
        const wchar_t* sizeUnit;
    } texts[] = {
        {language::Language::German,
         {"Datum", "Paket", "Ordner", "Änderungen", "Größe"},
         bahnsteig + " löschen",
         L" KB"},
        {language::Language::English,
         {"Date", "Package", "Folder", "Changes", "Size"},
         "delete " + bahnsteig,
         L" KB"},
        {language::Language::French,
         {"Date", "Paquet", "Dossier", "Modifications", "Taille"},
         "supprimer " + bahnsteig,
         L" Ko"},
        {language::Language::Polish,
         {"Data", "Pakiet", "Folder", "Zmiany", "Rozmiar"},
         "usuń " + bahnsteig,
         L" KB"},
    };
    std::wstring deleteLine;
    std::wstring sizeUnit;
    for (const auto& text : texts) {
        if (text.language != expected::CurrentLanguage()) continue;
        std::vector<std::wstring> columns;
        for (const char* column : text.columns) columns.push_back(automation::Widen(column));
        EXPECT_EQ(automation::ListViewColumns(list), columns);
        deleteLine = automation::Widen(text.deleteLine);
        sizeUnit = text.sizeUnit;
    }
    const auto rows = automation::ListViewRows(list);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 2u);
    std::map<std::string, restorepoints::Summary> summaries;
    for (const auto& point : restorepoints::List(restorepoints::DefaultRoot())) {
        summaries[point.id] = point;
    }
    for (size_t row = 0; row < 2; ++row) {
        const restorepoints::Summary& point = summaries[points[row]];
        ASSERT_EQ((*rows)[row].size(), 5u);
        EXPECT_EQ((*rows)[row][0], automation::Widen(point.journal.time));
        EXPECT_EQ((*rows)[row][2], automation::Widen(scenario.HostFolder() + "\\"));
        EXPECT_EQ((*rows)[row][1], automation::Widen(point.journal.name));
        EXPECT_EQ((*rows)[row][4], std::to_wstring((point.bytes + 1023) / 1024) + sizeUnit);
    }
    auto selectedRow = [&](int row) {
        return automation::WaitFor([&] { return automation::ListViewSelection(list) == row; },
                                   Scenario::kShowTimeoutMs);
    };
    auto preview = [&] { return automation::ControlText(window, IDC_REPORT).value_or(L""); };
    EXPECT_TRUE(selectedRow(1));
    EXPECT_NE(preview().find(deleteLine), std::wstring::npos) << Describe(preview());

    // The arrow keys move the selection, and the preview with it; Tab goes
    // from the list through the preview and the buttons.
    ASSERT_TRUE(automation::PressKey(list, VK_UP));
    EXPECT_TRUE(selectedRow(0));
    ASSERT_TRUE(automation::PressKey(list, VK_DOWN));
    EXPECT_TRUE(selectedRow(1));
    EXPECT_TRUE(
        automation::WaitFor([&] { return preview().find(deleteLine) != std::wstring::npos; },
                            Scenario::kShowTimeoutMs))
        << Describe(preview());
    std::vector<int> tabOrder;
    HWND control = list;
    for (int i = 0; i < 5; ++i) {
        control = GetNextDlgTabItem(window, control, FALSE);
        tabOrder.push_back(GetDlgCtrlID(control));
    }
    EXPECT_EQ(tabOrder,
              (std::vector<int>{IDC_REPORT, IDC_RESTORE, IDC_FORGET, IDCANCEL, IDC_POINT_LIST}));

    // A click on the date's header puts the oldest first, a second click the
    // newest again; the selected restore point stays selected.
    for (const int selectedAfter : {0, 1}) {
        ASSERT_TRUE(automation::ClickColumnHeader(window, IDC_POINT_LIST, 0));
        EXPECT_TRUE(selectedRow(selectedAfter));
        const auto sorted = automation::ListViewRows(list);
        ASSERT_TRUE(sorted.has_value());
        EXPECT_EQ(*sorted,
                  selectedAfter == 0
                      ? std::vector<std::vector<std::wstring>>(rows->rbegin(), rows->rend())
                      : *rows);
    }
    EXPECT_EQ(Host(), installed);

    auto confirmation = [&] {
        return automation::WaitForProgramWindow(undo.Id(), ProgramWindow::Message,
                                                Scenario::kShowTimeoutMs);
    };
    // Enter on the list asks, and Enter on the question would answer No.
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        ASSERT_TRUE(answer == IDNO ? automation::PressKey(list, VK_RETURN)
                                   : automation::PressButton(window, IDC_RESTORE));
        HWND box = confirmation();
        ASSERT_NE(box, nullptr) << automation::Describe(undo.Id());
        EXPECT_EQ(automation::ButtonIds(box), (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(automation::DefaultButton(box), IDNO);
        const auto text = automation::MessageBoxText(box);
        ASSERT_TRUE(text.has_value());
        EXPECT_NE(text->find(automation::Widen(scenario.HostFolder())), std::wstring::npos)
            << Describe(*text);
        ASSERT_TRUE(automation::AnswerMessageBox(box, answer));
        ASSERT_TRUE(automation::WaitFor([&] { return !IsWindow(box); }, Scenario::kShowTimeoutMs));
        if (answer == IDNO) {
            EXPECT_EQ(Host(), installed);
        }
    }
    EXPECT_TRUE(automation::WaitFor([&] { return Points() == std::vector{points[0]}; },
                                    Scenario::kShowTimeoutMs));
    EXPECT_TRUE(HasUninstallEntry()) << "the newer installation still counts";
    ASSERT_TRUE(automation::PressButton(window, IDCANCEL));
    ASSERT_TRUE(undo.WaitForExit(Scenario::kShowTimeoutMs));
    EXPECT_EQ(undo.ExitCode(), 0u);
}

TEST_F(Restore, AKilledInstallationIsRestoredToTheStateBeforeIt) {
    // The roof texture is newer in the host: the run stops at the question.
    ASSERT_TRUE(filetree::SetWriteTime(scenario.HostFolder() + "\\Resourcen\\Texturen\\Dach.bmp",
                                       filetree::YearStart(2030)));
    const auto before = Host();
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    ASSERT_NE(scenario.WaitFor(ProgramWindow::Message), nullptr);
    ASSERT_TRUE(scenario.Kill());
    EXPECT_NE(Host(), before);
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(Pakundo("--restore " + points[0]), 0u);
    EXPECT_EQ(Host(), before);
}

TEST_F(Restore, ARestoreFolderOthersMayChangeIsRefused) {
    // The program's refusal; its words in the other languages are the same
    // resource lookup as every other line's.
    if (expected::CurrentLanguage() != language::Language::English) {
        GTEST_SKIP() << "one language is enough";
    }
    TemporaryFolder folder;
    const std::string root = folder.Path("Restore");
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;WD)",
                                                                     SDDL_REVISION_1, &everyone,
                                                                     nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, everyone, FALSE};
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), &attributes));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(everyone, &present, &dacl, &defaulted);
    SetNamedSecurityInfoA(const_cast<char*>(root.c_str()), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr);
    LocalFree(everyone);
    std::wstring said;
    EXPECT_EQ(Pakundo("--root \"" + root + "\" --list", &said), 1u);
    EXPECT_NE(said.find(automation::Widen("The restore folder " + root + " is not safe")),
              std::wstring::npos)
        << Describe(said);
}

}  // namespace
