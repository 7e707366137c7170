// One broken install script per finding: each is read as the installer reads
// it, and the checker must name the finding, its severity and its line.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CheckedPackage.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;

// A script that is fine apart from what a case puts in front of it.
const char* const kTextures = "Texturskript{}";

struct Case {
    const char* behaviour;
    std::string script;                        // InstSkript.txt
    std::map<std::string, std::string> files;  // more files of the package
    const char* code;
    Severity severity;
    int32_t line;
};

std::map<std::string, std::string> Model(const char* name = "Modelle\\a.3dm") {
    return {{name, "3dm"}};
}

// Cases print as their behaviour when they fail.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.behaviour;
}

class ScriptFindings : public ::testing::TestWithParam<Case> {};

TEST_P(ScriptFindings, AreReportedWithSeverityAndLine) {
    const Case& c = GetParam();
    CheckedPackage package;
    package.Write("InstSkript.txt", c.script);
    for (const auto& file : c.files) package.Write(file.first, file.second);
    package.Check();
    EXPECT_TRUE(package.Has(c.code, c.severity, "InstSkript.txt", c.line)) << package.Listing();
}

const Case kCases[] = {
    {"text before a section name hides the section",
     "Hallo\r\nDateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}\r\n}\r\n" + std::string(kTextures),
     Model(), "section-hidden", Severity::Warning, 1},
    {"a section name in another case is not found",
     std::string(kTextures) + "dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}}\r\n", Model(),
     "section-hidden", Severity::Warning, 1},
    {"a hidden texture section fails the run",
     "{Kommentar}\r\nVersion 2 Texturskript{}\r\n",
     {},
     "section-hidden",
     Severity::Error,
     2},
    {"no texture section at all fails the run", "Dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}}\r\n",
     Model(), "section-absent", Severity::Error, 0},
    {"no ground-texture section is worth a note",
     kTextures,
     {},
     "section-absent",
     Severity::Note,
     0},
    {"a section name inside an unclosed body is not found",
     "Dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}\r\nTexturskript{}}\r\n", Model(),
     "section-hidden", Severity::Error, 3},
    {"text before an entry ends the section",
     std::string(kTextures) +
         "Dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}\r\nModelle\r\n{Modelle\\a.3dm>>b.3dm}}",
     Model(), "section-ended", Severity::Warning, 3},
    {"text after the last entry is ignored",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}\r\nEnde}", Model(),
     "section-text", Severity::Note, 3},
    {"an entry cut off by the end of the file is dropped",
     std::string(kTextures) +
         "Dateinstallation{\r\n{Modelle\\a.3dm>>a.3dm}\r\n{Modelle\\a.3dm>>b.3dm\r\n",
     Model(), "entry-unclosed", Severity::Warning, 3},
    {"only the first of two same-named sections is read",
     std::string(kTextures) + "Dateinstallation{}\r\n\r\nDateinstallation{{Modelle\\a.3dm>>a.3dm}}",
     Model(), "section-twice", Severity::Warning, 3},
    {"a file entry without >> is skipped",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm > a.3dm}}", Model(),
     "file-no-arrow", Severity::Warning, 2},
    {"a missing source", std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\b.3dm>>b.3dm}}",
     Model(), "source-missing", Severity::Error, 2},
    {"lines ended by LF or CR alone count too",
     std::string(kTextures) + "Dateinstallation{\n\r{Modelle\\b.3dm>>b.3dm}}", Model(),
     "source-missing", Severity::Error, 3},
    {"a source that exists only in another case",
     std::string(kTextures) + "Dateinstallation{\r\n\r\n{modelle\\A.3dm>>a.3dm}}", Model(),
     "source-case", Severity::Warning, 3},
    {"a source whose name holds blanks",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\Alter Baum.3dm>>Baum.3dm}}",
     Model("Modelle\\Alter Baum.3dm"), "source-blanks", Severity::Error, 2},
    {"a source that is a folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle>>Modelle.3dm}}", Model(),
     "source-folder", Severity::Error, 2},
    {"a source pattern", std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\*.3dm>>a.3dm}}",
     Model(), "source-pattern", Severity::Error, 2},
    {"a destination above the host folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\..\\..\\a.3dm}}",
     Model(), "destination-outside", Severity::Error, 2},
    {"a destination on a drive",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>C:\\Windows\\a.3dm}}", Model(),
     "destination-outside", Severity::Error, 2},
    {"a destination that is a device",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\nul.3dm}}", Model(),
     "destination-outside", Severity::Error, 2},
    {"a destination with a leading backslash stays in the host folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>\\Resourcen\\a.3dm}}", Model(),
     "destination-leading-separator", Severity::Note, 2},
    {"a destination with a leading slash stays in the host folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>//a.3dm}}", Model(),
     "destination-leading-separator", Severity::Note, 2},
    {"a destination with a leading backslash above the host folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>\\..\\a.3dm}}", Model(),
     "destination-outside", Severity::Error, 2},
    {"a destination with doubled separators above the host folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Sub\\\\..\\..\\a.3dm}}",
     Model(), "destination-outside", Severity::Error, 2},
    {"no destination", std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>}}", Model(),
     "destination-empty", Severity::Error, 2},
    {"a destination naming a folder",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\Modelle\\}}",
     Model(), "destination-folder", Severity::Error, 2},
    {"a destination with a character Windows refuses in names",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\a|b.3dm}}", Model(),
     "destination-character", Severity::Error, 2},
    {"a destination with slashes",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen/Modelle/a.3dm}}",
     Model(), "destination-slash", Severity::Warning, 2},
    {"two entries writing the same file",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\a.3dm}\r\n{"
                              "Modelle\\a.3dm>>resourcen\\.\\A.3dm}}",
     Model(), "destination-twice", Severity::Warning, 3},
    {"two entries writing the same file, one with doubled and leading separators",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Resourcen\\a.3dm}\r\n{"
                              "Modelle\\a.3dm>>\\Resourcen\\\\a.3dm}}",
     Model(), "destination-twice", Severity::Warning, 3},
    {"a file name in UTF-8",
     std::string(kTextures) + "Dateinstallation{\r\n{Modelle\\a.3dm>>Br\xC3\xBC"
                              "cke.3dm}}",
     Model(), "name-code-page", Severity::Warning, 2},
    {"a texture entry without >>",
     "Texturskript{\r\n{Textur{id(7)name(x)}}}",
     {},
     "texture-skipped",
     Severity::Warning,
     2},
    {"a texture entry without Textur",
     "Texturskript{\r\n{x>>Farbe{id(7)name(x)}}}",
     {},
     "texture-skipped",
     Severity::Warning,
     2},
    {"a texture block without a closing brace after Textur",
     "Texturskript{\r\n{x>>{id(7)}Textur(name(x))}}",
     {},
     "texture-skipped",
     Severity::Warning,
     2},
    {"a texture block without an id",
     "Texturskript{\r\n{x>>Textur{nr(7)name(x)}}}",
     {},
     "texture-skipped",
     Severity::Warning,
     2},
    {"a texture block with id 0",
     "Texturskript{\r\n\r\n{x>>Textur{id(0)name(x)}}}",
     {},
     "texture-skipped",
     Severity::Warning,
     3},
    {"a texture block without a number in its id",
     "Texturskript{\r\n{x>>Textur{id(sieben)name(x)}}}",
     {},
     "texture-skipped",
     Severity::Warning,
     2},
    {"a texture block without a name field breaks the list",
     "Texturskript{\r\n{x>>Textur{id(7)}}}",
     {},
     "texture-no-name",
     Severity::Error,
     2},
    {"a ground texture without a name field too",
     std::string(kTextures) + "Bodenskript{\r\n{x>>Textur{id(7)}}}",
     {},
     "texture-no-name",
     Severity::Error,
     2},
    {"a block closed before its name makes the list unreadable",
     "Texturskript{\r\n{x>>Textur{id(7)}name(x){}}}",
     {},
     "texture-breaks-list",
     Severity::Error,
     2},
    {"an extra closing brace loses the textures after it",
     "Texturskript{\r\n{x>>{Textur{id(7)name(x)}}}}",
     {},
     "texture-reads-back",
     Severity::Error,
     2},
    {"an id taken from another field",
     "Texturskript{\r\n{x>>Textur{Grid(5)id(7)name(x)}}}",
     {},
     "texture-id-field",
     Severity::Warning,
     2},
    {"the same id twice in a section",
     "Texturskript{\r\n{x>>Textur{id(7)name(x)}}\r\n{y>>Textur{id(7)name(y)}}}",
     {},
     "texture-id-twice",
     Severity::Warning,
     3},
    {"a texture name in UTF-8",
     "Texturskript{\r\n{x>>Textur{id(7)name(Gr\xC3\xBCn)}}}",
     {},
     "texture-code-page",
     Severity::Warning,
     2},
    {"blanks in a texture field are dropped",
     "Texturskript{\r\n{x >> Textur{ id(7) name(Alter Baum) }}}",
     {},
     "texture-blanks",
     Severity::Note,
     2},
};

INSTANTIATE_TEST_SUITE_P(Broken, ScriptFindings, ::testing::ValuesIn(kCases),
                         testpackage::BehaviourName<Case>);

TEST(ScriptFindings, AMissingScriptOfTheSinglePackageIsAnError) {
    CheckedPackage package;
    package.Write("cabin.ini", "[A]\r\nx = 1\r\n");
    package.Check();
    EXPECT_TRUE(package.Has("script-missing", Severity::Error, "InstSkript.txt", 0))
        << package.Listing();
}

TEST(ScriptFindings, NearMissesAreNotReported) {
    // Remarks in braces, a name split by a line break, a brace group between
    // sections: all read fine by the installer.
    CheckedPackage package;
    package.Write("Modelle\\a.3dm", "3dm");
    package.Write("cabin.ini", "[A]\r\nx = 1\r\n");
    package.Write("InstSkript.txt",
                  "{Paket: Bahnhof}\r\nDatein\r\nstallation\r\n{\r\n { Modelle\\a.3dm >> "
                  "Resourcen\\a.3dm }\r\n}\r\n"
                  "{Texturen}\r\nTexturskript{{x>>Textur{id(7)name(x)}}}Bodenskript{}");
    package.Check();
    EXPECT_TRUE(package.LastReport().findings.empty()) << package.Listing();
    ASSERT_EQ(package.LastReport().scripts.size(), 1u);
    const ScriptInfo& script = package.LastReport().scripts[0];
    ASSERT_EQ(script.files.size(), 1u);
    EXPECT_EQ(script.files[0].line, 5);
    EXPECT_EQ(script.files[0].destination, "Resourcen\\a.3dm");
    ASSERT_EQ(script.textures.size(), 1u);
    EXPECT_EQ(script.textures[0].id, 7u);
}

TEST(ScriptFindings, TextureOutcomesFollowTheInstaller) {
    CheckedPackage package;
    package.Write("InstSkript.txt",
                  "Texturskript{\r\n{a>>Textur{id(3)name(a)}}\r\n{b>>Textur{id(0)name(b)}}\r\n{c>>"
                  "x>>Textur{id(-1)name(c)}}}");
    package.Check();
    const std::vector<TextureStep>& textures = package.LastReport().scripts.at(0).textures;
    ASSERT_EQ(textures.size(), 3u);
    EXPECT_EQ(textures[0].outcome, TextureStep::Outcome::Merged);
    EXPECT_EQ(textures[1].outcome, TextureStep::Outcome::IdZero);
    // Only the first ">>" counts; id(-1) is the unsigned 4294967295.
    EXPECT_EQ(textures[2].outcome, TextureStep::Outcome::Merged);
    EXPECT_EQ(textures[2].id, 4294967295u);
}

}  // namespace

}  // namespace pakcheck
