#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/CabinMerge.h"
#include "restore/ContentHash.h"
#include "restore/FileUndo.h"
#include "restore/Journal.h"
#include "restore/ListChanges.h"
#include "textfile/IniDocument.h"
#include "texturelist/TextureList.h"
#include "tests/support/TestFiles.h"

namespace {

using fileundo::Action;
using journal::FileKind;
using journal::Step;

Fingerprint Of(const std::string& bytes) {
    return FingerprintOfBytes(bytes);
}

TEST(ContentHash, DependsOnEveryByteAndNotOnHowTheContentIsCut) {
    const std::string content = "The quick brown fox jumps over the lazy dog, twice over.";
    const std::uint64_t whole = HashBytes(content);
    for (size_t cut = 0; cut <= content.size(); ++cut) {
        ContentHash pieces;
        pieces.Add(content.data(), cut);
        pieces.Add(content.data() + cut, content.size() - cut);
        EXPECT_EQ(pieces.Value(), whole) << "cut at " << cut;
        std::string changed = content;
        if (cut < content.size()) {
            changed[cut] ^= 1;
            EXPECT_NE(HashBytes(changed), whole) << "byte " << cut;
        }
    }
    EXPECT_NE(HashBytes(std::string(8, '\0')), HashBytes(std::string(9, '\0')));
    std::uint64_t parsed = 1;
    EXPECT_TRUE(ParseHex(HexOf(whole), parsed));
    EXPECT_EQ(parsed, whole);
    EXPECT_FALSE(ParseHex("0123", parsed));
    EXPECT_FALSE(ParseHex("0123456789abcdeG", parsed));
}

// Journals keep their hashes across builds: a hash computed another way
// would make every restore point written before read as "changed since".
TEST(ContentHash, StaysTheSameFromBuildToBuild) {
    std::string mixed(1000, '\0');
    for (size_t i = 0; i < mixed.size(); ++i) mixed[i] = static_cast<char>(i * 31 + 7);
    const struct {
        const char* behaviour;
        std::string content;
        const char* hash;
    } cases[] = {
        {"nothing", "", "ef46db3751d8e999"},
        {"three words and a tail", "Textur{ id(7) name(neu) }", "28fd54987d900ce7"},
        {"every byte value", mixed, "0a98bafb611b5d2c"},
    };
    for (const auto& c : cases) EXPECT_EQ(HexOf(HashBytes(c.content)), c.hash) << c.behaviour;
}

journal::FileRecord Replaced(int number, const std::string& path, const std::string& oldBytes,
                             const std::string& newBytes) {
    journal::FileRecord record;
    record.number = number;
    record.path = path;
    record.kind = FileKind::Replaced;
    record.before = Of(oldBytes);
    record.after = Of(newBytes);
    record.oldCopy = "files\\" + std::to_string(number);
    record.oldAttributes = 33;
    return record;
}

TEST(Journal, ReadsBackHowFarARunGotWhereverItWasCutOff) {
    journal::Journal written;
    written.package = "Bahnhof Gruenwald";
    written.name = "Bahnhof \"Grünwald\" [neu]";
    written.host = "C:\\Baukanter\\";
    written.time = "2026-12-08 12:40:05";
    journal::FileRecord added;
    added.number = 2;
    added.path = "Modelle\\a.mdl";
    added.after = Of("new");
    journal::ListRecord list;
    list.number = 1;
    list.path = "Resourcen\\Parallels\\cabins.ini";
    list.kind = journal::ListKind::Cabins;
    list.oldCopy = "lists\\1";
    list.before = Of("old list");
    list.after = Of("new list");
    list.changes = {{"Wagen", "Tuer", true, 7}, {"Lok", "Farbe", false, 0xffffffffffffffffull}};
    const std::string head = journal::HeaderBytes(written) +
                             journal::FolderBytes({1, "Modelle", Step::Recorded}) +
                             journal::FileBytes(Replaced(1, "Modelle\\x.bmp", "old", "newer")) +
                             journal::StepBytes("File", 1, Step::Done) + journal::FileBytes(added);
    const std::string full = head + journal::StepBytes("File", 2, Step::Failed) +
                             journal::ListBytes(list) + journal::HeaderKeyBytes("End", "finished");

    journal::Journal read;
    ASSERT_TRUE(journal::Parse(full, read));
    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.host, written.host);
    EXPECT_EQ(read.end, "finished");
    ASSERT_EQ(read.folders.size(), 1u);
    ASSERT_EQ(read.files.size(), 2u);
    const journal::FileRecord& replaced = read.files[0];
    EXPECT_EQ(replaced.kind, FileKind::Replaced);
    EXPECT_EQ(replaced.step, Step::Done);
    EXPECT_TRUE(SameContent(replaced.before, Of("old")));
    EXPECT_TRUE(SameContent(replaced.after, Of("newer")));
    EXPECT_EQ(replaced.oldCopy, "files\\1");
    EXPECT_EQ(replaced.oldAttributes, 33u);
    EXPECT_EQ(read.files[1].kind, FileKind::Added);
    EXPECT_FALSE(read.files[1].before.exists);
    EXPECT_EQ(read.files[1].step, Step::Failed);
    ASSERT_EQ(read.lists.size(), 1u);
    EXPECT_EQ(read.lists[0].kind, journal::ListKind::Cabins);
    ASSERT_EQ(read.lists[0].changes.size(), 2u);
    EXPECT_EQ(read.lists[0].changes[1].section, "Lok");
    EXPECT_EQ(read.lists[0].changes[1].hash, 0xffffffffffffffffull);
    EXPECT_TRUE(read.lists[0].changes[0].added);

    // Killed while copying the second file: no end, its record says recorded.
    ASSERT_TRUE(journal::Parse(head, read));
    EXPECT_EQ(read.end, "");
    ASSERT_EQ(read.files.size(), 2u);
    EXPECT_EQ(read.files[1].step, Step::Recorded);
    // Killed in the middle of writing a record: the part written counts.
    ASSERT_TRUE(journal::Parse(head.substr(0, head.size() - 8), read));
    EXPECT_EQ(read.files.size(), 2u);
    // Cut off right after a record's name: the record is left out.
    ASSERT_TRUE(journal::Parse(head + "[File 3]\r\n", read));
    EXPECT_EQ(read.files.size(), 2u);
    // Paths that would lead a restore out of the host or the restore point.
    for (const char* path :
         {"..\\Windows\\x.dll", "\\Windows\\x.dll", "C:\\x.dll", "Modelle\\..\\..\\x",
          "Modelle\\.\\x", "a.dat:stream", "Modelle\\\\x", "/etc/x"}) {
        journal::FileRecord bad = added;
        bad.path = path;
        EXPECT_FALSE(journal::Parse(head + journal::FileBytes(bad), read)) << path;
        bad = Replaced(3, "Modelle\\y.bmp", "old", "new");
        bad.oldCopy = path;
        EXPECT_FALSE(journal::Parse(head + journal::FileBytes(bad), read)) << path;
    }
    EXPECT_FALSE(journal::Parse("[Restore point]\r\nPackage=\"x\"\r\n", read));
    EXPECT_FALSE(journal::Parse("", read));
}

TEST(FileUndo, TouchesAFileOnlyWhenItIsStillAsTheRunLeftIt) {
    journal::FileRecord added;
    added.kind = FileKind::Added;
    added.after = Of("package A");
    const journal::FileRecord replaced = Replaced(1, "x", "host", "package A");
    journal::FileRecord noCopy = replaced;
    noCopy.oldCopy.clear();
    const Fingerprint missing;
    struct Case {
        const char* behaviour;
        const journal::FileRecord& record;
        Fingerprint now;
        Action action;
    } cases[] = {
        {"an added file, unchanged", added, Of("package A"), Action::Delete},
        {"an added file, edited since", added, Of("package A, edited"), Action::KeepChanged},
        {"an added file, replaced by a later package", added, Of("package B"), Action::KeepChanged},
        {"an added file, deleted since", added, missing, Action::AlreadyBefore},
        {"a replaced file, unchanged", replaced, Of("package A"), Action::PutBack},
        {"a replaced file, replaced by a later package", replaced, Of("package B"),
         Action::KeepChanged},
        {"a replaced file, already put back", replaced, Of("host"), Action::AlreadyBefore},
        {"a replaced file, deleted since", replaced, missing, Action::KeepMissing},
        {"a replaced file whose old bytes were not saved", noCopy, Of("package A"),
         Action::KeepNoCopy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(fileundo::Decide(c.record, c.now), c.action);
    }
}

TEST(FileUndo, TwoPackagesOnOneFileComeOffInEitherOrderWithoutLosingTheLaterOne) {
    // Package A replaced the host's file, package B replaced A's.
    const journal::FileRecord a = Replaced(1, "x", "host", "A");
    const journal::FileRecord b = Replaced(1, "x", "A", "B");
    // The older first: B's file stays; then B brings back A's.
    EXPECT_EQ(fileundo::Decide(a, Of("B")), Action::KeepChanged);
    EXPECT_EQ(fileundo::Decide(b, Of("B")), Action::PutBack);
    // The newer first: A's file returns, then the host's.
    EXPECT_EQ(fileundo::Decide(a, Of("A")), Action::PutBack);
}

TextureList Textures(const std::string& entries) {
    TextureList list;
    EXPECT_TRUE(list.LoadBytes("Basis{\r\n" + entries + "}\r\n"));
    return list;
}

std::string EntriesOf(const TextureList& list) {
    std::string text;
    for (const auto& [id, entry] : list.Entries()) text += std::string(entry) + "\n";
    return text;
}

TEST(ListChanges, UndoesTextureEntriesOnlyWhereTheListStillHoldsWhatTheRunWrote) {
    const std::string e1 = "Textur{ id(1) name(Haus) }\r\n";
    const std::string e2 = "Textur{ id(2) name(Baum) }\r\n";
    const std::string e2new = "Textur{ id(2) name(Eiche) }\r\n";
    const std::string e2later = "Textur{ id(2) name(Linde) }\r\n";
    const std::string e7 = "Textur{ id(7) name(Signal) }\r\n";
    const std::string e7later = "Textur{ id(7) name(Mast) }\r\n";
    const std::string e9 = "Textur{ id(9) name(Zaun) }\r\n";
    const TextureList before = Textures(e1 + e2);
    const TextureList after = Textures(e1 + e2new + e7);
    const std::vector<journal::EntryChange> changes = listchanges::DiffTextures(before, after);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_FALSE(changes[0].added);
    EXPECT_TRUE(changes[1].added);
    struct Case {
        const char* behaviour;
        std::string now;
        std::string restored;
        int undone;
        std::vector<std::string> kept;
    } cases[] = {
        {"a later package added another id", e1 + e2new + e7 + e9, e1 + e2 + e9, 2, {}},
        {"a later package replaced the run's entries",
         e1 + e2later + e7later,
         e1 + e2later + e7later,
         0,
         {"id 2", "id 7"}},
        {"the user removed an added id", e1 + e2new, e1 + e2, 1, {}},
        {"the user removed a replaced id", e1 + e7, e1, 1, {"id 2"}},
        {"already restored", e1 + e2, e1 + e2, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TextureList current = Textures(c.now);
        const listchanges::Outcome outcome = listchanges::UndoTextures(before, current, changes);
        EXPECT_EQ(EntriesOf(current), EntriesOf(Textures(c.restored)));
        EXPECT_EQ(outcome.undone, c.undone);
        EXPECT_EQ(outcome.changed, c.undone > 0);
        EXPECT_EQ(outcome.kept, c.kept);
    }
}

std::string Cabins(const std::string& text, IniDocument& document) {
    EXPECT_EQ(document.LoadBytes(text), 0);
    return document.SavedBytes();
}

TEST(ListChanges, UndoesCabinKeysOnlyWhereTheListStillHoldsWhatTheRunWrote) {
    IniDocument before;
    Cabins("[Lok]\r\nFarbe=rot\r\nTuer=2\r\n", before);
    IniDocument after;
    Cabins("[Lok]\r\nFarbe=rot\r\nTuer=2\r\n[Lok]\r\nFarbe=blau\r\n[Wagen]\r\nSitze=40\r\n", after);
    const std::vector<journal::EntryChange> changes = listchanges::DiffCabins(before, after);
    ASSERT_EQ(changes.size(), 2u);
    struct Case {
        const char* behaviour;
        std::string now;
        std::string restored;
        std::vector<std::string> kept;
    } cases[] = {
        {"a later package added a key",
         "[Lok]\nTuer=2\nFarbe=blau\n[Wagen]\nSitze=40\nLaenge=20\n",
         "[Lok]\nTuer=2\nFarbe=rot\n[Wagen]\nLaenge=20\n",
         {}},
        {"a later package changed the run's keys",
         "[Lok]\nTuer=2\nFarbe=gruen\n[Wagen]\nSitze=60\n",
         "[Lok]\nTuer=2\nFarbe=gruen\n[Wagen]\nSitze=60\n",
         {"[Lok] Farbe", "[Wagen] Sitze"}},
        {"the run's section goes when it ends up empty",
         "[Lok]\nTuer=3\nFarbe=blau\n[Wagen]\nSitze=40\n",
         "[Lok]\nTuer=3\nFarbe=rot\n",
         {}},
        {"already restored", "[Lok]\nFarbe=rot\nTuer=2\n", "[Lok]\nFarbe=rot\nTuer=2\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        IniDocument current;
        Cabins(c.now, current);
        const listchanges::Outcome outcome = listchanges::UndoCabins(before, current, changes);
        IniDocument expected;
        EXPECT_EQ(current.SavedBytes(), Cabins(c.restored, expected));
        EXPECT_EQ(outcome.kept, c.kept);
    }

    // A list that starts with a UTF-8 mark: the keys of its first section
    // are that section's, not those of a section without a name.
    IniDocument marked;
    Cabins("\xEF\xBB\xBF[Lok]\r\nFarbe=rot\r\n", marked);
    IniDocument markedAfter;
    Cabins("\xEF\xBB\xBF[Lok]\r\nFarbe=rot\r\n[Lok]\r\nFarbe=blau\r\n", markedAfter);
    const std::vector<journal::EntryChange> markedChanges =
        listchanges::DiffCabins(marked, markedAfter);
    ASSERT_EQ(markedChanges.size(), 1u);
    EXPECT_EQ(markedChanges[0].section, "Lok");
    EXPECT_EQ(markedChanges[0].key, "Farbe");
    IniDocument markedNow;
    Cabins("\xEF\xBB\xBF[Lok]\r\nFarbe=blau\r\nTuer=3\r\n", markedNow);
    EXPECT_TRUE(listchanges::UndoCabins(marked, markedNow, markedChanges).kept.empty());
    IniDocument markedRestored;
    EXPECT_EQ(markedNow.SavedBytes(),
              Cabins("\xEF\xBB\xBF[Lok]\r\nTuer=3\r\nFarbe=rot\r\n", markedRestored));
}

// The restore point compares only the sections the package names
// (CabinMerge): it must record exactly the changes the comparison of the
// whole list before and after the merge finds, and the merge must write the
// bytes a load, a second load and a save write.
TEST(ListChanges, TheMergedSectionsAloneGiveTheChangesOfTheWholeList) {
    struct Case {
        const char* behaviour;
        std::string host;
        std::string package;
    };
    std::vector<Case> cases = {
        {"a key replaced, one added, a section added",
         "[Lok]\r\nFarbe=rot\r\nTuer=2\r\n[Zug]\r\nA=1\r\n",
         "[Lok]\r\nFarbe=blau\r\nLicht=Y\r\n[Wagen]\r\nSitze=40\r\n"},
        {"keys rewritten with the same value are no change", "[Lok]\r\nA=1, 2\r\nB=0x0a\r\n",
         "[Lok]\r\nA = 1,2\r\nB=0x000A\r\n"},
        {"values written as they read back: floats, hexadecimal, overflow, -0",
         "[K]\r\nF=1.0004\r\nG=2.9996\r\nH=0xABCDEF123\r\nI=99999999999\r\nJ=-0\r\n",
         "[K]\r\nF=1.000\r\nG=3.0004\r\nH=0xbcdef123\r\nI=1410065407\r\nJ=0\r\n"},
        {"texts with escapes and comments",
         "[K] ;kopf\r\nT=\"a[t]b[x22]\" ;alt\r\n; zeile\r\nU=\"x\"\r\n",
         "[K]\r\nT=\"a\tb\"\r\nU=\"x\" ;neu\r\n"},
        {"a section twice in the host, untyped values",
         "[A]\r\nX=Zug\r\n[B]\r\nY=1\r\n[A]\r\nZ=2\r\n", "[A]\r\nX=Bahn\r\nZ=2\r\n"},
        {"a UTF-8 mark and its first section changed",
         "\xEF\xBB\xBF[A]\r\nX=1\r\n[]\r\nX=2\r\nY=3\r\n[B]\r\nZ=1\r\n", "[A]\r\nX=5\r\n"},
        {"a UTF-8 mark, the section without a name changed",
         "\xEF\xBB\xBF[A]\r\nX=1\r\nW=0\r\n[]\r\nX=2\r\n", "[]\r\nW=4\r\n"},
        {"a UTF-8 mark, a comment first", "\xEF\xBB\xBF; Liste\r\n[A]\r\nX=1\r\n",
         "[A]\r\nX=2\r\n"},
        {"lines the reader drops", "X=1\r\n[A\r\n[A]\r\nnichts\r\nY=1\r\n",
         "Z=1\r\n[A]\r\n=2\r\nY=2\r\n"},
    };
    // Generated lists: every kind of value, sections the package repeats,
    // changes and adds.
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    const char* const values[] = {"1",     "-7",           "0x00ff", "1.2345", "-0.0005",   "Y,N",
                                  "#0a1b", "\"Text [t]\"", "Wort",   "3, 4.5", "2147483648"};
    const auto list = [&](int sections, int spread) {
        std::string text;
        for (int s = 0; s < sections; ++s) {
            text += "[S" + std::to_string(next(spread)) + "]\r\n";
            for (uint32_t k = next(5); k > 0; --k) {
                text += "K" + std::to_string(next(6)) + " = " + values[next(11)] +
                        (next(4) == 0 ? " ;c\r\n" : "\r\n");
            }
        }
        return text;
    };
    for (int i = 0; i < 20; ++i) {
        cases.push_back({"generated", list(60, 80), list(15, 100)});
    }
    const std::string hostPath = testfiles::Scratch("cabins.ini");
    const std::string packagePath = testfiles::Scratch("cabin.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour + std::string(": ") + c.host + " | " + c.package);
        testfiles::Write(hostPath, c.host);
        testfiles::Write(packagePath, c.package);
        IniDocument before(false);
        IniDocument merged(false);
        ASSERT_EQ(before.Load(hostPath.c_str(), 0, 0), 0);
        ASSERT_EQ(merged.Load(hostPath.c_str(), 0, 0), 0);
        ASSERT_EQ(merged.Load(packagePath.c_str(), 0, 0), 0);
        IniDocument saved(false);
        ASSERT_EQ(saved.LoadBytes(merged.SavedBytes()), 0);
        const std::vector<journal::EntryChange> whole = listchanges::DiffCabins(before, saved);

        CabinMerge merge;
        ASSERT_TRUE(merge.Prepare(hostPath, packagePath));
        EXPECT_EQ(merge.MergedBytes(), merged.SavedBytes());
        IniDocument oldSections(false);
        IniDocument newSections(false);
        if (!merge.OldSectionBytes().empty()) oldSections.LoadBytes(merge.OldSectionBytes());
        if (!merge.NewSectionBytes().empty()) newSections.LoadBytes(merge.NewSectionBytes());
        const std::vector<journal::EntryChange> part =
            listchanges::DiffCabins(oldSections, newSections);
        ASSERT_EQ(part.size(), whole.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(part[i].section, whole[i].section);
            EXPECT_EQ(part[i].key, whole[i].key);
            EXPECT_EQ(part[i].added, whole[i].added);
            EXPECT_EQ(part[i].hash, whole[i].hash);
        }
        ASSERT_TRUE(merge.Write());
        EXPECT_EQ(testfiles::Read(hostPath), merged.SavedBytes());
    }
}

}  // namespace
