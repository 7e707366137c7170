// Whole runs recorded into a restore point and restored: the host folder
// comes back byte for byte and attribute for attribute, changes made since
// the run stay, and a restore point that cannot be made changes nothing of
// the installation. What a standard user could plant in the store decides
// nothing: the store's descriptor, and hostile stores and restore points.
#include "engine/RestorePoints.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/RegistryKey.h"
#include "engine/RestoreRecorder.h"
#include "engine/RestoreStore.h"
#include "engine/UninstallEntry.h"
#include "restore/Journal.h"
#include "engine/tests/TestInstallation.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace testfiles;
using Tree = std::map<std::string, std::string>;

const char kTextures[] = "Resourcen\\Parallels\\Texturen.txt";
const char kGround[] = "Resourcen\\Parallels\\Bodentexturen.txt";
const char kCabins[] = "Resourcen\\Parallels\\cabins.ini";
const char kAdded[] = "Resourcen\\Modelle\\Neu\\a.3dm";
const char kReplaced[] = "Resourcen\\Modelle\\alt.3dm";

Tree HostTree(const TestInstallation& installation) {
    return FolderTree(installation.Host());
}

void Prepare(const TestInstallation& installation) {
    Write(installation.Host(kTextures), "Basis{\r\n\tTextur{ id(3) name(alt) }\r\n}\r\n");
    Write(installation.Host(kGround), "Basis {\r\n  Textur { id(5) name(Gras) }\r\n}\r\n");
    // The cabin list as earlier merges leave it: merged section by section.
    Write(installation.Host(kCabins), "[A]\r\nk\t = 1 ; host\r\n\r\n[C]\r\nn\t = 2\r\n\r\n");
    Write(installation.Host(kReplaced), "host model");
    // Attributes the installation resets; a restore brings them back.
    SetAttributes(installation.Host(kReplaced),
                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    Write(installation.Package("Modelle\\a.3dm"), "model a");
    Write(installation.Package("Modelle\\alt.3dm"), "package model");
    Write(installation.Package("cabin.ini"), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");
    // Destinations as a script may write them: Windows resolves the leading
    // separator and the step up, and so must the restore point.
    installation.WriteScript(
        "Dateinstallation{{Modelle\\a.3dm>>\\Resourcen\\Modelle\\Neu\\a.3dm}"
        "{Modelle\\alt.3dm>>Resourcen\\Texturen\\..\\Modelle\\alt.3dm}}"
        "Texturskript{{x>>Textur{id(7)name(neu)}}}Bodenskript{{x>>Textur{id(5)name(Kies)}}}");
}

// What the installer carries as its restore program. Without a restore
// program in the store no uninstall entry is written.
const char kUnversionedProgram[] = "a restore program without a version";

// The uninstall entry of the package "Paket" in the installation's host.
std::string EntryKey(const TestInstallation& installation) {
    return restorepoints::PackageKey("Paket", installation.Host(""));
}

bool HasUninstallEntry(const TestInstallation& installation) {
    RegistryKey key;
    char name[RegistryKey::kStringBufferSize];
    return key.SetPath(HKEY_LOCAL_MACHINE,
                       uninstallentry::KeyPath(EntryKey(installation)).c_str()) &&
           key.Open(KEY_READ) && key.ReadString("DisplayName", name) &&
           std::string(name) == "Paket";
}

TEST(RestorePoint, PutsTheHostBackAndKeepsWhatChangedSince) {
    struct Case {
        const char* behaviour;
        std::function<void(const TestInstallation&, Tree&)>
            since;  // changes it and the expectation
        restorepoints::Outcome outcome;
        bool pointStays;
    } cases[] = {
        {"nothing changed since", [](const TestInstallation&, Tree&) {},
         restorepoints::Outcome::Done, false},
        {"the user edited an added file",
         [](const TestInstallation& installation, Tree& expected) {
             Write(installation.Host(kAdded), "edited");
             expected["Resourcen\\Modelle\\Neu\\"] = "attributes 16";
             expected[kAdded] = "attributes 32 edited";
         },
         restorepoints::Outcome::Kept, true},
        {"a later package added a texture",
         [](const TestInstallation& installation, Tree& expected) {
             const std::string later =
                 "Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n\tTextur{\tid(7)\tname(neu)\t}\r\n"
                 "\tTextur{\tid(9)\tname(spaet)\t}\r\n}\r\n";
             Write(installation.Host(kTextures), later);
             expected[kTextures] =
                 "attributes 32 "
                 "Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n\tTextur{\tid(9)\tname(spaet)\t}"
                 "\r\n}\r\n";
         },
         restorepoints::Outcome::Done, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TestInstallation installation;
        Prepare(installation);
        Tree expected = HostTree(installation);
        const std::string root = installation.Outside("Restore");
        RestoreRecorder recorder(root, "Paket", kUnversionedProgram);
        installation.Observe(recorder);
        ASSERT_EQ(installation.Run().status, S_OK);
        ASSERT_FALSE(recorder.Id().empty());
        EXPECT_TRUE(recorder.Recording() == false);
        EXPECT_TRUE(HasUninstallEntry(installation));
        c.since(installation, expected);

        std::vector<restorepoints::Note> report;
        const Tree installed = HostTree(installation);
        EXPECT_EQ(restorepoints::Restore(root, recorder.Id(), true, report), c.outcome);
        EXPECT_EQ(HostTree(installation), installed) << "a dry run changes nothing";
        report.clear();
        EXPECT_EQ(restorepoints::Restore(root, recorder.Id(), false, report), c.outcome);
        EXPECT_EQ(HostTree(installation), expected);
        EXPECT_FALSE(HasUninstallEntry(installation));
        EXPECT_EQ(Exists(root + "\\" + recorder.Id()), c.pointStays);
        EXPECT_EQ(restorepoints::List(root).size(), c.pointStays ? 1u : 0u);
        uninstallentry::Remove(EntryKey(installation));
    }
}

TEST(RestorePoint, ARestorePointThatCannotBeMadeChangesNothingOfTheInstallation) {
    TestInstallation plain;
    Prepare(plain);
    ASSERT_EQ(plain.Run().status, S_OK);

    TestInstallation recorded;
    Prepare(recorded);
    Write(recorded.Outside("Restore"), "a file where the folder would be");
    RestoreRecorder recorder(recorded.Outside("Restore\\Points"), "Paket", "");
    recorded.Observe(recorder);
    const TestInstallation::Outcome outcome = recorded.Run();
    EXPECT_EQ(outcome.status, S_OK);
    EXPECT_TRUE(recorder.Id().empty());
    EXPECT_EQ(HostTree(recorded), HostTree(plain));
}

// The restore program as built, and its bytes with a newer file version.
std::string BuiltRestoreProgram() {
    std::string path = "Z:" PAKUNDO_EXE;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

std::string WithNewerVersion(std::string program) {
    const std::string key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
    const size_t fixed = program.find("\xBD\x04\xEF\xFE", program.find(key));
    if (program.find(key) == std::string::npos || fixed == std::string::npos ||
        fixed + 12 > program.size()) {
        return std::string();
    }
    program[fixed + 11] = static_cast<char>(program[fixed + 11] + 1);  // the major version
    return program;
}

// Makes `link` a link to the folder `target`. Wine 8 makes no links of its
// own; it reports a Unix link to a folder as a reparse point, so there the
// Unix program "ln" makes one (Wine starts Unix programs).
bool IsLinkNow(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string UnixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return std::string();
    std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    if (name == nullptr) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Unix program under Wine (which does not wait for it).
void RunUnix(const char* program, std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (process.hThread != nullptr) CloseHandle(process.hThread);
        if (process.hProcess != nullptr) CloseHandle(process.hProcess);
    }
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int wait = 0; wait < 100 && !done(); ++wait) Sleep(50);
    return done();
}

bool MakeLink(const std::string& link, const std::string& target) {
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsLinkNow(link)) {
        return true;
    }
    const std::string from = UnixPath(target);
    const std::string to = UnixPath(link);
    if (from.empty() || to.empty()) return false;
    RunUnix("Z:\\bin\\ln", "ln -s \"" + from + "\" \"" + to + "\"");
    return WaitUntil([&] { return IsLinkNow(link); });
}

// Wine cannot remove a Unix link to a folder: "rm" does.
void RemoveLink(const std::string& link) {
    if (!IsLinkNow(link) || RemoveDirectoryA(link.c_str())) return;
    const std::string name = UnixPath(link);
    if (!name.empty()) RunUnix("Z:\\bin\\rm", "rm -f \"" + name + "\"");
    EXPECT_TRUE(WaitUntil([&] { return !IsLinkNow(link); })) << "cannot remove " << link;
}

TEST(RestoreStore, IsMadeProtectedAndTrustsOnlyAdministratorsAndItsOwnOwner) {
    PSECURITY_DESCRIPTOR made = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(restorestore::kFolderSecurity,
                                                                     SDDL_REVISION_1, &made,
                                                                     nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(made, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the store inherits nothing";
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(made, SDDL_REVISION_1,
                                                                     OWNER_SECURITY_INFORMATION |
                                                                         DACL_SECURITY_INFORMATION,
                                                                     &text, nullptr));
    EXPECT_STREQ(text, "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
    LocalFree(text);
    LocalFree(made);

    const struct {
        const char* store;
        const char* descriptor;
        restorestore::Verdict verdict;
        bool nullDacl = false;  // the descriptor's DACL replaced by a NULL DACL
    } cases[] = {
        {"as made", restorestore::kFolderSecurity, restorestore::Verdict::Safe},
        {"made by older versions: Users may add files and folders",
         "O:BAD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIIOID;GA;;;CO)"
         "(A;OICIID;0x1200a9;;;BU)(A;CIID;DCLCRPCR;;;BU)",
         restorestore::Verdict::Tighten},
        {"no DACL", "O:SY", restorestore::Verdict::Tighten, true},
        {"Everyone may change the permissions", "O:BAD:P(A;;WD;;;WD)(A;;FA;;;SY)",
         restorestore::Verdict::Tighten},
        {"what is made inside is the Users'", "O:BAD:P(A;OICIIO;FA;;;BU)(A;;FA;;;SY)",
         restorestore::Verdict::Tighten},
        {"Users are denied", "O:BAD:P(D;;FA;;;BU)(A;;FA;;;SY)", restorestore::Verdict::Safe},
        {"owned by a user", "O:S-1-5-21-1-2-3-1001D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
         restorestore::Verdict::Unsafe},
        {"owned by a user, no DACL", "O:S-1-5-21-1-2-3-1001", restorestore::Verdict::Unsafe, true},
        // What Wine reports for a folder of another Unix user.
        {"owned by Anonymous Logon", "O:AND:P(A;;FA;;;SY)", restorestore::Verdict::Unsafe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.store);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.descriptor,
                                                                         SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        // Wine's SDDL reader makes no NULL DACL of "D:NO_ACCESS_CONTROL":
        // one is set by hand (on a copy in absolute form, as Windows needs).
        SECURITY_DESCRIPTOR absolute;
        PSID owner = nullptr;
        BOOL defaulted = FALSE;
        ASSERT_TRUE(!c.nullDacl ||
                    (InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION) &&
                     GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) &&
                     SetSecurityDescriptorOwner(&absolute, owner, FALSE) &&
                     SetSecurityDescriptorDacl(&absolute, TRUE, nullptr, FALSE)));
        EXPECT_EQ(restorestore::Judge(c.nullDacl ? &absolute : descriptor), c.verdict);
        LocalFree(descriptor);
    }

    // Wine keeps no descriptor on its file system: what a made store reads
    // back is one made up from the Unix owner and mode, and passes.
    TestInstallation installation;
    const std::string root = installation.Outside("Pakwerk\\Restore");
    ASSERT_EQ(restorestore::Open(root), restorestore::State::Safe);
    EXPECT_EQ(restorestore::Check(root), restorestore::State::Safe);

    // The store's restore program: placed when missing, kept against one
    // that is not newer, replaced by a newer one; each time exactly its bytes.
    const std::string built = Read(BuiltRestoreProgram());
    const std::string newer = WithNewerVersion(built);
    ASSERT_FALSE(newer.empty()) << "the restore program has a version";
    const std::string placed = root + "\\pakundo.exe";
    EXPECT_TRUE(restorestore::PlaceRestoreProgram(root, built));
    EXPECT_EQ(Read(placed), built);
    EXPECT_EQ(restorestore::ProgramVersion(placed), uint64_t{0x0001000100000000}) << "1.1.0.0";
    EXPECT_TRUE(restorestore::PlaceRestoreProgram(root, newer));
    EXPECT_EQ(Read(placed), newer);
    EXPECT_TRUE(restorestore::PlaceRestoreProgram(root, built));
    EXPECT_EQ(Read(placed), newer);
    EXPECT_TRUE(restorestore::PlaceRestoreProgram(root, std::string()));
}

TEST(RestorePoint, WhatAStandardUserCouldPlantDecidesNothing) {
    struct Run {
        const TestInstallation& installation;
        const std::string& root;
        const RestoreRecorder& recorder;
        std::string point;
        Tree installed;
        std::vector<restorepoints::Note> report;
        std::vector<std::string> links;
        bool linked = true;

        std::string OldCopyOf(const std::string& path) const {
            journal::Journal recorded;
            EXPECT_TRUE(journal::Parse(Read(point + "\\journal.ini"), recorded));
            for (const auto& file : recorded.files) {
                if (file.path == path) return point + "\\" + file.oldCopy;
            }
            for (const auto& list : recorded.lists) {
                if (list.path == path) return point + "\\" + list.oldCopy;
            }
            return std::string();
        }
        bool Reported(restorepoints::Note::What what, const std::string& path) const {
            for (const auto& note : report) {
                if (note.what == what && note.path == path) return true;
            }
            return false;
        }
    };
    using Step = std::function<void(Run&)>;
    const Step nothing = [](Run&) {};
    const auto link = [](const std::string& name, const std::string& target) {
        return [=](Run& run) {
            const std::string to = target.empty() ? run.point : run.installation.Outside(target);
            run.links.push_back(run.point + "\\" + name);
            run.linked = run.linked && MakeLink(run.links.back(), to);
            EXPECT_TRUE(run.linked) << "cannot make a link";
        };
    };
    const auto markerStays = [](Run& run) {
        EXPECT_EQ(Read(run.installation.Outside("Elsewhere\\marker.txt")), "marker");
    };
    const struct {
        const char* hostile;
        Step before;  // the store before the run
        Step after;   // the restore point after it
        Step check;
    } cases[] = {
        {"a store made beforehand with loose permissions",
         [](Run& run) {
             PSECURITY_DESCRIPTOR everyone = nullptr;
             ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;WD)",
                                                                              SDDL_REVISION_1,
                                                                              &everyone, nullptr));
             SECURITY_ATTRIBUTES attributes{sizeof attributes, everyone, FALSE};
             ASSERT_TRUE(CreateDirectoryA(run.root.c_str(), &attributes));
             BOOL present = FALSE;
             BOOL defaulted = FALSE;
             PACL dacl = nullptr;
             GetSecurityDescriptorDacl(everyone, &present, &dacl, &defaulted);
             SetNamedSecurityInfoA(const_cast<char*>(run.root.c_str()), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr);
             LocalFree(everyone);
         },
         nothing,
         [](Run& run) {
             EXPECT_TRUE(run.recorder.Id().empty());
             EXPECT_EQ(run.recorder.Why(), "the restore folder is not safe");
             EXPECT_EQ(run.installed.at(kAdded), "attributes 32 model a")
                 << "installed all the same";
             EXPECT_EQ(FolderTree(run.root), Tree()) << "nothing written to the store";
             EXPECT_TRUE(restorepoints::List(run.root).empty());
         }},
        {"a store holding the built restore program, an installer carrying one without a version",
         [](Run& run) {
             ASSERT_EQ(restorestore::Open(run.root), restorestore::State::Safe);
             ASSERT_TRUE(CopyFileA(BuiltRestoreProgram().c_str(),
                                   (run.root + "\\pakundo.exe").c_str(), FALSE));
         },
         nothing,
         [](Run& run) {
             EXPECT_EQ(Read(run.root + "\\pakundo.exe"), Read(BuiltRestoreProgram()));
             EXPECT_TRUE(HasUninstallEntry(run.installation));
         }},
        {"a journal whose host is not the registry's", nothing,
         [](Run& run) {
             const std::string other = run.installation.Outside("Other") + "\\";
             Write(other + kAdded, "model a");
             std::string bytes = Read(run.point + "\\journal.ini");
             // The header's value, the only one that names the host whole.
             const std::string host = "\"" + run.installation.Host() + "\\\"";
             ASSERT_NE(bytes.find(host), std::string::npos) << bytes;
             bytes.replace(bytes.find(host), host.size(), "\"" + other + "\"");
             Write(run.point + "\\journal.ini", bytes);
         },
         [](Run& run) {
             EXPECT_EQ(restorepoints::Restore(run.root, run.recorder.Id(), false, run.report),
                       restorepoints::Outcome::OtherHost);
             ASSERT_EQ(run.report.size(), 1u);
             EXPECT_EQ(run.report[0].path, run.installation.Outside("Other") + "\\");
             EXPECT_EQ(run.report[0].detail, run.installation.Host() + "\\");
             EXPECT_EQ(Read(run.installation.Outside("Other\\") + kAdded), "model a");
             EXPECT_EQ(HostTree(run.installation), run.installed);
             EXPECT_TRUE(HasUninstallEntry(run.installation));
         }},
        {"a changed old copy of a file", nothing,
         [](Run& run) { Write(run.OldCopyOf(kReplaced), "not the old model"); },
         [](Run& run) {
             EXPECT_EQ(restorepoints::Restore(run.root, run.recorder.Id(), false, run.report),
                       restorepoints::Outcome::Kept);
             EXPECT_TRUE(run.Reported(restorepoints::Note::What::KeepCopyChanged, kReplaced));
             EXPECT_EQ(Read(run.installation.Host(kReplaced)), "package model");
         }},
        {"a changed old copy of a list", nothing,
         [](Run& run) {
             Write(run.OldCopyOf(kTextures), "Basis{\r\n\tTextur{ id(3) name(boese) }\r\n}\r\n");
         },
         [](Run& run) {
             EXPECT_EQ(restorepoints::Restore(run.root, run.recorder.Id(), false, run.report),
                       restorepoints::Outcome::Kept);
             EXPECT_TRUE(run.Reported(restorepoints::Note::What::KeepCopyChanged, kTextures));
             EXPECT_EQ(HostTree(run.installation).at(kTextures), run.installed.at(kTextures));
         }},
        {"a 20 MB journal", nothing,
         [](Run& run) {
             const std::string line = ";" + std::string(1021, 'x') + "\r\n";
             std::string padding;
             for (int i = 0; i < 20 * 1024; ++i) padding += line;
             Write(run.point + "\\journal.ini", Read(run.point + "\\journal.ini") + padding);
         },
         [](Run& run) {
             EXPECT_TRUE(restorepoints::List(run.root).empty());
             EXPECT_EQ(restorepoints::Restore(run.root, run.recorder.Id(), false, run.report),
                       restorepoints::Outcome::NotFound);
             EXPECT_EQ(HostTree(run.installation), run.installed);
         }},
        {"a link to a folder with a marker, forgotten", nothing, link("files\\l", "Elsewhere"),
         [&](Run& run) {
             restorepoints::Forget(run.root, run.recorder.Id());
             markerStays(run);
         }},
        {"a link to a folder with a marker, restored", nothing, link("l", "Elsewhere"),
         [&](Run& run) {
             restorepoints::Restore(run.root, run.recorder.Id(), false, run.report);
             markerStays(run);
         }},
        {"two links that loop", nothing,
         [&](Run& run) {
             link("a", "")(run);
             link("b", "")(run);
         },
         [](Run& run) {
             const auto start = std::chrono::steady_clock::now();
             EXPECT_EQ(restorepoints::List(run.root).size(), 1u);
             EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hostile);
        TestInstallation installation;
        Prepare(installation);
        Write(installation.Outside("Elsewhere\\marker.txt"), "marker");
        const std::string root = installation.Outside("Restore");
        RestoreRecorder recorder(root, "Paket", kUnversionedProgram);
        Run run{installation, root, recorder, std::string(), Tree(), {}, {}, true};
        ASSERT_NO_FATAL_FAILURE(c.before(run));
        installation.Observe(recorder);
        ASSERT_EQ(installation.Run().status, S_OK);
        run.point = root + "\\" + recorder.Id();
        run.installed = HostTree(installation);
        c.after(run);
        if (run.linked) c.check(run);
        for (const std::string& link : run.links) RemoveLink(link);
        uninstallentry::Remove(EntryKey(installation));
    }
}

}  // namespace
