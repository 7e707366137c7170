#include "package/InstallScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

namespace {

using Entries = std::vector<std::string>;

// The running test's script file.
std::string WriteScript(const std::string& content) {
    return testfiles::Make("script.txt", content);
}

// Everything a step would read from one section.
struct SectionRead {
    bool found = false;
    Entries entries;
};

SectionRead ReadSection(InstallScript& script, const char* name) {
    SectionRead result;
    result.found = script.FindSection(name);
    if (result.found) {
        std::string text;
        while (script.NextEntry(text)) {
            result.entries.push_back(text);
        }
        EXPECT_EQ(text, "") << "a false NextEntry leaves no text behind";
    }
    return result;
}

struct SectionCase {
    const char* behaviour;
    std::string script;
    const char* section;
    bool found;
    Entries entries;
};

// Each case is read from a file and from memory (OpenBytes): both must
// give the same.
void RunCases(const std::vector<SectionCase>& cases) {
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        std::string path = WriteScript(c.script);
        InstallScript script;
        ASSERT_TRUE(script.Open(path.c_str()));
        SectionRead read = ReadSection(script, c.section);
        EXPECT_EQ(read.found, c.found);
        EXPECT_EQ(read.entries, c.entries);
        std::remove(path.c_str());
        InstallScript inMemory;
        ASSERT_TRUE(inMemory.OpenBytes(c.script));
        read = ReadSection(inMemory, c.section);
        EXPECT_EQ(read.found, c.found) << "in memory";
        EXPECT_EQ(read.entries, c.entries) << "in memory";
        EXPECT_EQ(inMemory.Path(), "");
    }
}

TEST(InstallScriptSections, AreFoundByExactTopLevelName) {
    const std::string twoSections =
        "Dateinstallation\n{\n"
        "  {Modelle\\a.3dm>>Resourcen\\Modelle\\a.3dm}\n"
        "  {Modelle\\b.3dm>>Resourcen\\Modelle\\b.3dm}\n"
        "}\n"
        "Texturskript{ {x>>Textur{id(7)name(x)}} }\n";
    RunCases({
        {"first of two sections",
         twoSections,
         "Dateinstallation",
         true,
         {"Modelle\\a.3dm>>Resourcen\\Modelle\\a.3dm",
          "Modelle\\b.3dm>>Resourcen\\Modelle\\b.3dm"}},
        {"second of two sections", twoSections, "Texturskript", true, {"x>>Textur{id(7)name(x)}"}},
        {"absent name", twoSections, "Bodenskript", false, {}},
        {"names compare case-sensitively", twoSections, "dateinstallation", false, {}},
        {"a prefix of a name is not the name", twoSections, "Datei", false, {}},
        {"a longer name does not match a shorter one", "Datei{{a}}", "Dateinstallation", false, {}},
        {"a name broken across lines",
         "Datein\r\nstallation{{a}}",
         "Dateinstallation",
         true,
         {"a"}},
        {"blanks inside a name are dropped",
         "Datein stallation {{a}}",
         "Dateinstallation",
         true,
         {"a"}},
        {"8-bit names compare as bytes",
         "B\xF6"
         "den{{a}}",
         "B\xF6"
         "den",
         true,
         {"a"}},
        {"the first of two equal sections", "S{{first}}S{{second}}", "S", true, {"first"}},
        {"a brace group before a section is a comment",
         "{Kommentar {mit Klammern}}\nDateinstallation{{a}}",
         "Dateinstallation",
         true,
         {"a"}},
        {"free text before a section hides it",
         "Hinweis zum Paket\nDateinstallation{{a}}",
         "Dateinstallation",
         false,
         {}},
        {"free text hides only the section it joins", "Hinweis S{{a}} T{{b}}", "T", true, {"b"}},
        {"names inside groups are never compared",
         "X{Dateinstallation{{a}}}",
         "Dateinstallation",
         false,
         {}},
        {"a stray closing brace is skipped alone",
         "}Dateinstallation{{a}}",
         "Dateinstallation",
         true,
         {"a"}},
        {"a name at the very end of the file",
         "S{{a}}Dateinstallation",
         "Dateinstallation",
         true,
         {}},
        {"a file ending inside a name", "S{{a}}Dateinst", "Dateinstallation", false, {}},
        {"an empty file", "", "Dateinstallation", false, {}},
        {"a file of whitespace only", " \t\r\n\v\f", "Dateinstallation", false, {}},
        {"a file of unbalanced opening braces", "{{{{{{", "Dateinstallation", false, {}},
    });
}

TEST(InstallScriptEntries, KeepTheirTextWithoutWhitespaceAndOuterBraces) {
    RunCases({
        {"an empty section", "S{}", "S", true, {}},
        {"an empty entry", "S{{}{a}}", "S", true, {"", "a"}},
        {"an entry across lines", "S{\n  { a\n  >>\n  b }\n}", "S", true, {"a>>b"}},
        {"every kind of whitespace dropped", "S{{a \t\r\n\v\fb}}", "S", true, {"ab"}},
        {"inner braces stay, the outer pair goes", "S{{Basis{x}}}", "S", true, {"Basis{x}"}},
        {"deeply nested braces", "S{{a{b{c}d}e}}", "S", true, {"a{b{c}d}e"}},
        {"a file name with a blank loses it",
         "S{{Texturen\\Ziegel rot.bmp}}",
         "S",
         true,
         {"Texturen\\Ziegelrot.bmp"}},
        {"NUL and 0x1A bytes are text",
         std::string("S{{a\0b\x1A"
                     "c}{d}}",
                     12),
         "S",
         true,
         {std::string("a\0b\x1A"
                      "c",
                      5),
          "d"}},
        {"text outside entries ends the section", "S{{a}junk{b}}", "S", true, {"a"}},
        {"an entry without braces reads as an empty section", "S{a>>b}", "S", true, {}},
        {"an entry cut off by the end of the file is dropped", "S{{a}{b}{c", "S", true, {"a", "b"}},
        {"an unclosed inner group drops the entry", "S{{a}{b{c}", "S", true, {"a"}},
        {"a section ends at its closing brace", "A{{a}}B{{b}}", "A", true, {"a"}},
        {"a section without a body has no entries", "S", "S", true, {}},
    });
}

// Where the reader found things and why a section ended, as the package
// checker reports them.
struct PlaceCase {
    const char* behaviour;
    std::string script;
    const char* section;
    int32_t sectionLine;
    std::vector<int32_t> entryLines;
    InstallScript::Ending ending;
    int32_t endingLine;  // ItemLine once NextEntry returned false
};

TEST(InstallScriptPlaces, AreReportedWithLinesAndTheSectionsEnding) {
    using Ending = InstallScript::Ending;
    const std::string bigGap(70 * 1024, '\n');
    const std::vector<PlaceCase> cases = {
        {"lines ended by CR LF",
         "X{}\r\nS\r\n{\r\n {a}\r\n {b}\r\n}",
         "S",
         2,
         {4, 5},
         Ending::Brace,
         6},
        {"lines ended by LF or CR alone", "\n\rS{\r{a}\n{b}}", "S", 3, {4, 5}, Ending::Brace, 5},
        {"a name broken across lines is where it starts",
         "Datei\r\nnstallation{{a}}",
         "Dateinstallation",
         1,
         {2},
         Ending::Brace,
         2},
        {"breaks inside an entry count", "S{{a\r\n\r\nb}{c}}", "S", 1, {1, 3}, Ending::Brace, 3},
        {"breaks inside a skipped group count", "{x\n\ny}\nS{{a}}", "S", 4, {4}, Ending::Brace, 4},
        {"text outside entries ends the section where it stands",
         "S{{a}\r\njunk{b}}",
         "S",
         1,
         {1},
         Ending::Text,
         2},
        {"an entry cut off by the end of the file", "S{{a}\n{b", "S", 1, {1}, Ending::CutOff, 2},
        {"the end of the file where the body should close",
         "S{{a}\n",
         "S",
         1,
         {1},
         Ending::FileEnd,
         2},
        {"a CR LF split across the reader's blocks counts once",
         "S{" + std::string(64 * 1024 - 3, ' ') + "\r\n{a}}",
         "S",
         1,
         {2},
         Ending::Brace,
         2},
        {"lines far beyond the first block",
         "S{" + bigGap + "{a}}",
         "S",
         1,
         {static_cast<int32_t>(bigGap.size()) + 1},
         Ending::Brace,
         static_cast<int32_t>(bigGap.size()) + 1},
        {"no section", "S{{a}}", "T", 0, {}, Ending::Reading, 0},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        std::string path = WriteScript(c.script);
        InstallScript script;
        ASSERT_TRUE(script.Open(path.c_str()));
        EXPECT_EQ(script.FindSection(c.section), c.sectionLine != 0);
        EXPECT_EQ(script.SectionLine(), c.sectionLine);
        std::vector<int32_t> lines;
        std::string text;
        while (script.NextEntry(text)) lines.push_back(script.ItemLine());
        EXPECT_EQ(lines, c.entryLines);
        EXPECT_EQ(script.SectionEnding(), c.ending);
        EXPECT_EQ(script.ItemLine(), c.endingLine);
        std::remove(path.c_str());
    }
}

TEST(InstallScriptPlaces, TheRestOfABodyIsReadItemByItem) {
    using Item = InstallScript::Item;
    const std::string content = "S{ {a}\r\nRest des\r\nTextes {b b}{c}x{d";
    std::string path = WriteScript(content);
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    ASSERT_TRUE(script.FindSection("S"));
    std::string text;
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(content.substr(script.ItemBegin(), script.ItemEnd() - script.ItemBegin()), "{a}");
    EXPECT_FALSE(script.NextEntry(text));
    struct Expected {
        Item kind;
        std::string text;
        int32_t line;
        std::string bytes;
    };
    const std::vector<Expected> expected = {
        {Item::Text, "RestdesTextes", 2, "Rest des\r\nTextes "},
        {Item::Entry, "bb", 3, "{b b}"},
        {Item::Entry, "c", 3, "{c}"},
        {Item::Text, "x", 3, "x"},
        {Item::CutOff, "d", 3, "{d"},
    };
    Item kind;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text);
        ASSERT_TRUE(script.NextItem(text, kind));
        EXPECT_EQ(kind, e.kind);
        EXPECT_EQ(text, e.text);
        EXPECT_EQ(script.ItemLine(), e.line);
        EXPECT_EQ(content.substr(script.ItemBegin(), script.ItemEnd() - script.ItemBegin()),
                  e.bytes);
    }
    EXPECT_FALSE(script.NextItem(text, kind));
    EXPECT_FALSE(script.NextEntry(text)) << "NextEntry stays false once it stopped";
    std::remove(path.c_str());
}

TEST(InstallScriptPlaces, TopLevelNamesAreWalkedAsTheSearchPassesThem) {
    const std::string content =
        "{Kommentar}\r\nHinweis\r\nDateinstallation{{a}{b}}}S\r\n{{c}x}\r\nT{{Texturskript}}U";
    std::string path = WriteScript(content);
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    ASSERT_TRUE(script.Restart());
    std::vector<std::pair<std::string, int32_t>> names;
    std::vector<std::string> items;
    std::string name;
    int32_t line = 0;
    while (script.NextName(name, line)) {
        names.emplace_back(name, line);
        if (name == "T" && script.EnterGroup()) {
            std::string text;
            InstallScript::Item kind;
            while (script.NextItem(text, kind)) items.push_back(text);
        }
        if (name == "HinweisDateinstallation") {
            EXPECT_TRUE(script.EnterGroup());
        }
    }
    const std::vector<std::pair<std::string, int32_t>> expected = {
        {"HinweisDateinstallation", 2}, {"", 0}, {"S", 3}, {"T", 5}, {"U", 5}};
    EXPECT_EQ(names, expected) << "a lone \"}\" is passed over alone, as FindSection does";
    EXPECT_EQ(items, std::vector<std::string>({"Texturskript"}));
    EXPECT_FALSE(script.FindSection("Dateinstallation"));
    EXPECT_TRUE(script.FindSection("U"));
    EXPECT_EQ(script.SectionLine(), 5);
    std::remove(path.c_str());
}

TEST(InstallScriptEntries, StopForGoodAtTheEndOfTheSection) {
    std::string path = WriteScript("A{{a}}{b}B{{c}}");
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    ASSERT_TRUE(script.FindSection("A"));
    std::string text;
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(text, "a");
    EXPECT_FALSE(script.NextEntry(text));
    EXPECT_FALSE(script.NextEntry(text)) << "the group after the section is not its entry";
    EXPECT_FALSE(script.NextEntry(text));
    std::remove(path.c_str());
}

TEST(InstallScriptSections, AreSearchedFromTheStartEveryTime) {
    std::string path = testfiles::DataFile("InstSkript.txt");
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    EXPECT_EQ(script.Path(), path);

    SectionRead textures = ReadSection(script, "Texturskript");
    EXPECT_TRUE(textures.found);
    EXPECT_EQ(
        textures.entries,
        Entries({"Texturen\\Ziegelrot.bmp>>Textur{id(4711)name(Ziegelrot)datei(Ziegelrot.bmp)}"}));

    SectionRead files = ReadSection(script, "Dateinstallation");
    EXPECT_TRUE(files.found);
    EXPECT_EQ(files.entries,
              Entries({"Modelle\\Bahnhof.3dm>>Resourcen\\Modelle\\Bahnhof.3dm",
                       "Modelle\\Bahnsteig.3dm>>Resourcen\\Modelle\\Bahnsteig.3dm",
                       "Texturen\\Ziegelrot.bmp>>Resourcen\\Texturen\\Ziegelrot.bmp"}));

    SectionRead ground = ReadSection(script, "Bodenskript");
    EXPECT_TRUE(ground.found);
    EXPECT_TRUE(ground.entries.empty());

    EXPECT_FALSE(ReadSection(script, "Kabinen").found);
}

TEST(InstallScriptSections, NewSearchAbandonsTheSectionBeingRead) {
    std::string path = WriteScript("A{{a1}{a2}}B{{b1}}");
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    std::string text;
    ASSERT_TRUE(script.FindSection("A"));
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(text, "a1");
    ASSERT_TRUE(script.FindSection("B"));
    ASSERT_TRUE(script.NextEntry(text));
    EXPECT_EQ(text, "b1");
    EXPECT_FALSE(script.NextEntry(text));
    EXPECT_FALSE(script.FindSection("C"));
    EXPECT_FALSE(script.NextEntry(text)) << "a failed search leaves no section to read";
    EXPECT_EQ(ReadSection(script, "A").entries, Entries({"a1", "a2"}));
    std::remove(path.c_str());
}

TEST(InstallScriptOpen, ReportsWhetherTheScriptCanBeRead) {
    InstallScript unopened;
    std::string text;
    EXPECT_FALSE(unopened.FindSection("S")) << "nothing to search before Open";
    EXPECT_FALSE(unopened.NextEntry(text));
    EXPECT_EQ(unopened.Path(), "");

    std::string missing = testfiles::Scratch("missing.txt");
    std::remove(missing.c_str());
    InstallScript script;
    EXPECT_FALSE(script.Open(missing.c_str()));
    EXPECT_EQ(script.Path(), missing);
    EXPECT_FALSE(script.FindSection("S"));

    // A script that appears after Open is read by the next search.
    testfiles::Write(missing, "S{{a}}");
    EXPECT_EQ(ReadSection(script, "S").entries, Entries({"a"}));
    std::remove(missing.c_str());

    EXPECT_FALSE(script.Open(nullptr));
    EXPECT_EQ(script.Path(), "");
    EXPECT_FALSE(script.FindSection("S"));
}

TEST(InstallScriptOpen, LeavesTheFileClosedOutsideASection) {
    // Windows refuses to delete a file that is still open, so a successful
    // remove shows that the reader let go of the script.
    std::string path = WriteScript("S{{a}}");
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    EXPECT_EQ(std::remove(path.c_str()), 0) << "Open must close the file again";

    WriteScript("S{{a}}");
    {
        InstallScript reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        ASSERT_TRUE(reader.FindSection("S"));
    }
    EXPECT_EQ(std::remove(path.c_str()), 0) << "destruction must close the section's file";
}

TEST(InstallScriptEntries, SurviveBlockBoundariesOfLargeFiles) {
    // Entries that straddle the reader's blocks, and one far longer than a block.
    std::string content = "Texturskript{";
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        content += "\r\n  { Texturen\\t" + std::to_string(i) + ".bmp >> Textur{ id(" +
                   std::to_string(i + 1) + ") name(t" + std::to_string(i) + ") } }";
    }
    std::string longWord(300 * 1024, 'w');
    content += "{" + longWord + "{x}" + longWord + "}}";
    std::string path = WriteScript(content);

    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    SectionRead read = ReadSection(script, "Texturskript");
    ASSERT_EQ(read.entries.size(), static_cast<std::size_t>(count + 1));
    for (int i : {0, 1, 4095, 65535, count - 1}) {
        EXPECT_EQ(read.entries[i], "Texturen\\t" + std::to_string(i) + ".bmp>>Textur{id(" +
                                       std::to_string(i + 1) + ")name(t" + std::to_string(i) +
                                       ")}");
    }
    EXPECT_EQ(read.entries.back(), longWord + "{x}" + longWord);
    std::remove(path.c_str());

    InstallScript inMemory;
    ASSERT_TRUE(inMemory.OpenBytes(content));
    EXPECT_EQ(ReadSection(inMemory, "Texturskript").entries, read.entries) << "in memory";
}

TEST(InstallScriptSections, LongTextOutsideBracesIsSkippedAsOneName) {
    std::string path = WriteScript(std::string(1 << 20, 'x') + "{}S{{a}}");
    InstallScript script;
    ASSERT_TRUE(script.Open(path.c_str()));
    EXPECT_FALSE(ReadSection(script, std::string(1 << 20, 'y').c_str()).found);
    EXPECT_EQ(ReadSection(script, "S").entries, Entries({"a"}));
    std::remove(path.c_str());
}

}  // namespace
