#include "texturelist/TextureMerge.h"

#include "package/InstallScript.h"
#include "texturelist/TextureList.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using texturemerge::MergeResult;

TEST(TextureMergeConvert, PutsTabsAndLineBreaksBehindTheBlockAfterTheArrow) {
    struct Case {
        const char* behaviour;
        std::string entry;
        bool converts;
        std::string converted;
    } cases[] = {
        {"a simple block", "x>>Textur{id(7)name(x)}", true, "Textur{\tid(7)\tname(x)\t}\n\t\t"},
        {"nested blocks", "x>>Textur{id(7)lod{a(1)}}", true,
         "Textur{\tid(7)\tlod{\ta(1)\t}\n\t\t}\n\t\t"},
        {"only the first arrow counts", "a>>b>>Textur{id(1)}", true, "b>>Textur{\tid(1)\t}\n\t\t"},
        {"nothing before the arrow", ">>Textur{id(1)}", true, "Textur{\tid(1)\t}\n\t\t"},
        {"nothing after the arrow", "x>>", true, ""},
        {"no arrow", "x>Textur{id(7)name(x)}", false, ""},
        {"an empty entry", "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        std::string converted = "stale";
        EXPECT_EQ(texturemerge::ConvertScriptEntry(c.entry, converted), c.converts);
        EXPECT_EQ(converted, c.converted);
    }
}

// A host list and an install script in scratch files, merged with one call.
class TextureMergeSection : public ::testing::Test {
protected:
    void SetUp() override {
        listPath = testfiles::Scratch("Texturen.txt");
        scriptPath = testfiles::Scratch("InstSkript.txt");
        std::remove(listPath.c_str());
        std::remove(scriptPath.c_str());
    }
    void TearDown() override {
        std::remove(listPath.c_str());
        std::remove(scriptPath.c_str());
    }

    MergeResult Merge(const std::string& list, const std::string& scriptText,
                      const char* section = "Texturskript") {
        testfiles::Write(listPath, list);
        return MergeInto(scriptText, section);
    }
    MergeResult MergeInto(const std::string& scriptText, const char* section) {
        testfiles::Write(scriptPath, scriptText);
        EXPECT_TRUE(script.Open(scriptPath.c_str()));
        return texturemerge::MergeSection(script, section, listPath);
    }

    std::string listPath;
    std::string scriptPath;
    InstallScript script;
};

const char kHostList[] =
    "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n";

TEST_F(TextureMergeSection, MergesEntriesByIdAndSavesTheCanonicalList) {
    struct Case {
        const char* behaviour;
        std::string script;
        std::string saved;
    } cases[] = {
        {"an empty section rewrites the list canonically", "Texturskript{}",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n"},
        {"a new id is added in order", "Texturskript{ {t.bmp >> Textur{ id(5) name(neu) }} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(5)\tname(neu)\t}\r\n"
         "\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n"},
        {"an existing id is replaced", "Texturskript{ {t.bmp >> Textur{ id(7) name(neu) }} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(7)\tname(neu)\t}\r\n}\r\n"},
        {"the later of two script entries with one id wins",
         "Texturskript{ {a>>Textur{id(7)name(eins)}} {b>>Textur{id(7)name(zwei)}} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(7)\tname(zwei)\t}\r\n}\r\n"},
        {"refused entries are skipped, the others merged",
         "Texturskript{ {a>>Textur{id(0)name(null)}} {b>>Textur{name(ohne)}} "
         "{c Textur{id(8)name(pfeillos)}} {d>>Boden{id(9)name(b)}} {e>>Textur{id(5)name(gut)}} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(5)\tname(gut)\t}\r\n"
         "\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n"},
        {"text after the last brace of an entry is dropped",
         "Texturskript{ {a>>Textur{id(5)name(n)}Rest} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(5)\tname(n)\t}\r\n"
         "\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n"},
        {"inner blocks continue on lines that start with two TABs",
         "Texturskript{ {a>>Textur{id(5)name(n)lod{s(1)}}} }",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(5)\tname(n)\tlod{\ts(1)\t}\r\n"
         "\t\t}\r\n\tTextur{\tid(7)\tname(alt)\t}\r\n}\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(Merge(kHostList, c.script), MergeResult::Saved);
        EXPECT_EQ(testfiles::Read(listPath), c.saved);
        TextureList reread;
        EXPECT_TRUE(reread.Load(listPath.c_str())) << "the merged list reads back";
    }
}

TEST_F(TextureMergeSection, LeavesTheListByteForByteWhenTheSectionIsAbsent) {
    const std::string list = "Basis {\n  Textur { id(3) name(x) }\n}\n";
    EXPECT_EQ(Merge(list, "Bodenskript{ {a>>Textur{id(5)name(n)}} }"), MergeResult::SectionAbsent);
    EXPECT_EQ(testfiles::Read(listPath), list);

    EXPECT_EQ(Merge(list, "Hinweis Texturskript{ {a>>Textur{id(5)name(n)}} }"),
              MergeResult::SectionAbsent)
        << "free text in front hides the section";
    EXPECT_EQ(testfiles::Read(listPath), list);

    testfiles::Write(listPath, list);
    std::remove(scriptPath.c_str());
    EXPECT_EQ(texturemerge::MergeSection(script, "Texturskript", listPath),
              MergeResult::SectionAbsent)
        << "a script that has gone away";
    EXPECT_EQ(testfiles::Read(listPath), list);
}

TEST_F(TextureMergeSection, NeverCreatesOrTouchesAListItCannotLoad) {
    const std::string scriptText = "Texturskript{ {a>>Textur{id(5)name(n)}} }";
    EXPECT_EQ(MergeInto(scriptText, "Texturskript"), MergeResult::ListNotLoaded);
    EXPECT_FALSE(testfiles::Exists(listPath)) << "a missing list is not created";

    const std::string broken = "Basis{ Textur{ id(3) } }";
    EXPECT_EQ(Merge(broken, scriptText), MergeResult::ListNotLoaded);
    EXPECT_EQ(testfiles::Read(listPath), broken);
}

TEST_F(TextureMergeSection, LoadsTheListBeforeItReadsTheScript) {
    // Without a list the script is not searched: the section being read
    // before the merge is still there to continue.
    testfiles::Write(scriptPath, "A{{a1}{a2}}Texturskript{{x>>Textur{id(5)name(n)}}}");
    ASSERT_TRUE(script.Open(scriptPath.c_str()));
    ASSERT_TRUE(script.FindSection("A"));
    std::string text;
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(texturemerge::MergeSection(script, "Texturskript", listPath),
              MergeResult::ListNotLoaded);
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(text, "a2");
}

TEST_F(TextureMergeSection, ReportsAReadOnlyListAndLeavesItUnchanged) {
    if (!testfiles::ReadOnlyIsEnforced()) {
        GTEST_SKIP() << "root writes read-only files; the Windows run checks this";
    }
    testfiles::Write(listPath, kHostList);
    testfiles::SetReadOnly(listPath, true);
    EXPECT_EQ(MergeInto("Texturskript{ {a>>Textur{id(5)name(n)}} }", "Texturskript"),
              MergeResult::SaveFailed);
    testfiles::SetReadOnly(listPath, false);
    EXPECT_EQ(testfiles::Read(listPath), kHostList);
    EXPECT_FALSE(testfiles::Exists(listPath + ".pakwerk-tmp"));
}

TEST_F(TextureMergeSection, MergesAPackageIntoAHostList) {
    testfiles::Write(listPath, testfiles::Read(testfiles::DataFile("Texturen.txt")));
    ASSERT_TRUE(script.Open(testfiles::DataFile("InstSkript.txt").c_str()));
    EXPECT_EQ(texturemerge::MergeSection(script, "Texturskript", listPath), MergeResult::Saved);
    EXPECT_EQ(testfiles::Read(listPath),
              testfiles::Read(testfiles::DataFile("Texturen.merged.txt")));

    // Read back, the entry with an inner block loses its line breaks.
    std::string canonical = testfiles::Read(listPath);
    const std::string multiLine = "\t}\r\n\t\t}\r\n";
    std::size_t at = canonical.find(multiLine);
    ASSERT_NE(at, std::string::npos);
    canonical.replace(at, multiLine.size(), "\t}}\r\n");
    EXPECT_EQ(texturemerge::MergeSection(script, "Bodenskript", listPath), MergeResult::Saved)
        << "an empty section";
    EXPECT_EQ(testfiles::Read(listPath), canonical);
}

}  // namespace
