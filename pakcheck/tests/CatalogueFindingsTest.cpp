// One broken catalogue per finding, read as start-up reads "InstSkript.ini";
// and the requirements of an entry as start-up judges them, in words.
#include <gtest/gtest.h>

#include <string>

#include "CheckedPackage.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;

const char* const kScript = "Texturskript{}Bodenskript{}Dateinstallation{}";

// A complete first entry, so that a case only adds what it is about.
std::string First(const std::string& extra = "") {
    return "[Install_00]\r\n"
           "Name_GER = \"Bahnhof\"\r\nDesc_GER = \"Ein Bahnhof\"\r\n"
           "Name_ENG = \"Station\"\r\nDesc_ENG = \"A station\"\r\n"
           "Name_FRA = \"Gare\"\r\nDesc_FRA = \"Une gare\"\r\n"
           "Name_POL = \"Stacja\"\r\nDesc_POL = \"Stacja\"\r\n"
           "Script = \"InstSkript.txt\"\r\n" +
           extra;
}

struct Case {
    const char* behaviour;
    std::string catalogue;
    const char* code;
    Severity severity;
    int32_t line;
};

// Cases print as their behaviour when they fail.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.behaviour;
}

class CatalogueFindings : public ::testing::TestWithParam<Case> {};

TEST_P(CatalogueFindings, AreReportedWithSeverityAndLine) {
    const Case& c = GetParam();
    CheckedPackage package;
    package.Write("InstSkript.txt", kScript);
    package.Write("Paket\\Skript.txt", kScript);
    package.Write("InstSkript.ini", c.catalogue);
    package.Check();
    EXPECT_TRUE(package.Has(c.code, c.severity, "InstSkript.ini", c.line)) << package.Listing();
}

const Case kCases[] = {
    {"a key before the first header is dropped", "Name_GER = \"x\"\r\n" + First(),
     "catalogue-line-dropped", Severity::Warning, 1},
    {"a line without = is dropped", First("Bahnhof Gruenwald\r\n"), "catalogue-line-dropped",
     Severity::Warning, 11},
    {"section 32 is never read", First() + "[Install_32]\r\n", "catalogue-section-beyond",
     Severity::Warning, 11},
    {"a section number with one digit is never read", First() + "[Install_5]\r\n",
     "catalogue-section-name", Severity::Warning, 11},
    {"a section name in another case is never read", First() + "[install_05]\r\n",
     "catalogue-section-name", Severity::Warning, 11},
    {"other sections are ignored", First() + "[Allgemein]\r\n", "catalogue-section-other",
     Severity::Note, 11},
    {"no package section at all", "[Allgemein]\r\nx = 1\r\n", "catalogue-empty", Severity::Error,
     0},
    {"a language without a name", "[Install_00]\r\nName_GER = \"Bahnhof\"\r\n",
     "catalogue-text-missing", Severity::Warning, 1},
    {"an unquoted name reads as empty",
     "[Install_00]\r\nName_GER = Bahnhof\r\nName_ENG = \"a\"\r\nName_FRA = \"a\"\r\nName_POL = "
     "\"a\"\r\n",
     "catalogue-text-unquoted", Severity::Warning, 2},
    {"an empty name", First("Name_FRA = \"\"\r\n"), "catalogue-text-empty", Severity::Warning, 11},
    {"an empty description is a note", First("Desc_ENG = \"\"\r\n"), "catalogue-text-empty",
     Severity::Note, 11},
    {"a text longer than start-up's buffer",
     First("Desc_GER = \"" + std::string(1100, 'x') + "\"\r\n"), "catalogue-text-cut",
     Severity::Warning, 11},
    {"a name in UTF-8",
     First("Name_GER = \"Br\xC3\xBC"
           "cke\"\r\n"),
     "catalogue-code-page", Severity::Warning, 11},
    {"a Polish name with a byte Windows-1250 lacks", First("Name_POL = \"x\x83y\"\r\n"),
     "catalogue-code-page", Severity::Warning, 11},
    {"the first entry's own script is not used", First("Script = \"Paket\\Skript.txt\"\r\n"),
     "catalogue-first-script", Severity::Warning, 11},
    {"an unquoted script of a later entry",
     First() + "[Install_01]\r\nScript = Paket\\Skript.txt\r\n", "catalogue-script-unquoted",
     Severity::Error, 12},
    {"a later entry without a script", First() + "[Install_01]\r\nName_GER = \"x\"\r\n",
     "catalogue-script-missing", Severity::Error, 11},
    {"a later entry whose script is missing",
     First() + "[Install_01]\r\nScript = \"Paket\\Fehlt.txt\"\r\n", "catalogue-script-missing",
     Severity::Error, 12},
    {"a version written as a fraction", First("TrakoVersion = 5.0\r\n"), "catalogue-version-type",
     Severity::Error, 11},
    {"a version written as a text", First("TrakoVersion = \"5\"\r\n"), "catalogue-version-type",
     Severity::Error, 11},
    {"a negative version", First("TrakoVersion = -1\r\n"), "catalogue-version-huge",
     Severity::Error, 11},
    {"a version below 3", First("TrakoVersion = 2\r\n"), "catalogue-version-low", Severity::Note,
     11},
    {"more than 20 numbers",
     First("TrakoVersion = 5" + std::string(",1", 2) + std::string(40, ',') + "\r\n"),
     "catalogue-version-long", Severity::Warning, 11},
    {"a patch written as a fraction", First("TrakoVersion = 5\r\nTrakoPatch = 3.5\r\n"),
     "catalogue-patch-type", Severity::Warning, 12},
    {"a patch for version 4 is never checked", First("TrakoVersion = 4\r\nTrakoPatch = 2\r\n"),
     "catalogue-patch-unchecked", Severity::Warning, 12},
    {"a 0 in the plug-in list hides later plug-ins", First("TrakoVersion = 5, 0, 7\r\n"),
     "catalogue-plugin-zero", Severity::Warning, 11},
    {"a plug-in above 20", First("TrakoVersion = 5, 21\r\n"), "catalogue-plugin-range",
     Severity::Error, 11},
    {"plug-ins of a package for version 6", First("TrakoVersion = 6, 2\r\n"),
     "catalogue-plugins-unchecked", Severity::Warning, 11},
    {"an empty catalogue", "", "catalogue-unreadable", Severity::Warning, 0},
};

INSTANTIATE_TEST_SUITE_P(Broken, CatalogueFindings, ::testing::ValuesIn(kCases),
                         testpackage::BehaviourName<Case>);

TEST(CatalogueFindings, ACatalogueInAnotherCaseIsFoundButReported) {
    CheckedPackage package;
    package.Write("InstSkript.txt", kScript);
    package.Write("instskript.INI", First());
    package.Check();
    EXPECT_TRUE(package.Has("catalogue-case", Severity::Warning, "InstSkript.ini", 0))
        << package.Listing();
    EXPECT_EQ(package.LastReport().catalogue.entries.size(), 1u);
}

TEST(CatalogueFindings, EntriesFollowThePresentSectionsWithoutGaps) {
    CheckedPackage package;
    package.Write("InstSkript.txt", kScript);
    package.Write("Paket\\Skript.txt", kScript);
    package.Write("InstSkript.ini", "[Install_10]\r\nScript = \"Paket\\Skript.txt\"\r\n" + First());
    package.Check("", "POL");
    const CatalogueInfo& catalogue = package.LastReport().catalogue;
    ASSERT_EQ(catalogue.entries.size(), 2u);
    EXPECT_EQ(catalogue.entries[0].section, "Install_00");
    EXPECT_EQ(catalogue.entries[0].scriptUsed, "InstSkript.txt");
    EXPECT_EQ(catalogue.entries[1].section, "Install_10");
    EXPECT_EQ(catalogue.entries[1].scriptUsed, "Paket\\Skript.txt");
    ASSERT_EQ(catalogue.entries[0].texts.size(), 1u);
    EXPECT_EQ(catalogue.entries[0].texts[0].language, "POL");
    EXPECT_EQ(catalogue.entries[0].texts[0].name, "Stacja");
    // Both scripts are checked, each once.
    EXPECT_EQ(package.LastReport().scripts.size(), 2u);
}

TEST(CatalogueRequirements, AreTheOnesStartUpApplies) {
    struct Case {
        const char* keys;
        const char* words;
        std::vector<uint32_t> plugins;
    };
    const Case cases[] = {
        {"", "any Trako (3 or newer)", {}},
        {"TrakoVersion = 4\r\nTrakoPatch = 7\r\n", "Trako 4 or newer", {}},
        {"TrakoVersion = 5\r\nTrakoPatch = 3\r\n",
         "Trako 5 or newer; with Trako 5 itself, patch 3 or higher",
         {}},
        {"TrakoVersion = 5, 2, 7\r\n",
         "Trako 5 or newer; with Trako 5 itself, plug-ins 2 and 7",
         {2, 7}},
        {"TrakoVersion = 5, 3\r\n", "Trako 5 or newer; with Trako 5 itself, plug-in 3", {3}},
        {"TrakoVersion = 5, 0, 7\r\n", "Trako 5 or newer", {}},
        {"TrakoVersion = 6, 2\r\nTrakoPatch = 1\r\n",
         "Trako 6 or newer; with Trako 6 itself, patch 1 or higher",
         {}},
    };
    for (const Case& c : cases) {
        CheckedPackage package;
        package.Write("InstSkript.txt", kScript);
        package.Write("InstSkript.ini", First(c.keys));
        package.Check("", "ENG");
        ASSERT_EQ(package.LastReport().catalogue.entries.size(), 1u) << c.keys;
        const CatalogueItem& item = package.LastReport().catalogue.entries[0];
        EXPECT_EQ(item.requirements, c.words) << c.keys;
        EXPECT_EQ(item.plugins, c.plugins) << c.keys;
    }
}

}  // namespace

}  // namespace pakcheck
