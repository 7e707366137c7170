// One broken cabin list per finding, read by the INI document as the cabin
// merge reads it; and values whose canonical form keeps their meaning.
#include <gtest/gtest.h>

#include <string>

#include "CheckedPackage.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;

struct Case {
    const char* behaviour;
    std::string cabin;
    const char* code;
    Severity severity;
    int32_t line;
};

// Cases print as their behaviour when they fail.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.behaviour;
}

class CabinFindings : public ::testing::TestWithParam<Case> {};

TEST_P(CabinFindings, AreReportedWithSeverityAndLine) {
    const Case& c = GetParam();
    CheckedPackage package;
    package.Write("InstSkript.txt", "Texturskript{}");
    package.Write("cabin.ini", c.cabin);
    package.Check();
    EXPECT_TRUE(package.Has(c.code, c.severity, "cabin.ini", c.line)) << package.Listing();
}

const Case kCases[] = {
    {"a key before any header is dropped", "Sitze = 3\r\n[Kabine]\r\nSitze = 4\r\n",
     "cabin-line-dropped", Severity::Warning, 1},
    {"a line without = is dropped", "[Kabine]\r\nSitze 3\r\n", "cabin-line-dropped",
     Severity::Warning, 2},
    {"a header without ] is dropped", "[Kabine]\r\n[Zweite\r\nSitze = 3\r\n", "cabin-line-dropped",
     Severity::Warning, 2},
    {"the keys after a broken header are dropped too", "[Kabine]\r\n[Zweite\r\n\r\nSitze = 3\r\n",
     "cabin-line-dropped", Severity::Warning, 4},
    {"an unquoted word is untyped", "[Kabine]\r\nModell = Zug\r\n", "cabin-untyped",
     Severity::Warning, 2},
    {"a word starting with N becomes N", "[Kabine]\r\n\r\nModell = Nordbahnhof\r\n",
     "cabin-value-changed", Severity::Error, 3},
    {"a Y/N list with blanks shifts its letters", "[Kabine]\r\nLicht = N, Y\r\n",
     "cabin-value-changed", Severity::Error, 2},
    {"Ja is not yes", "[Kabine]\r\nLicht = Y, Ja\r\n", "cabin-value-changed", Severity::Error, 2},
    {"a number with a unit loses the unit", "[Kabine]\r\nBreite = 3 m\r\n", "cabin-value-changed",
     Severity::Error, 2},
    {"a hexadecimal list with a stray word", "[Kabine]\r\nFarbe = 0xff, rot\r\n",
     "cabin-value-changed", Severity::Error, 2},
    {"bytes with an odd digit", "[Kabine]\r\nMuster = #a1f\r\n", "cabin-value-changed",
     Severity::Error, 2},
    {"text after the closing quote is lost", "[Kabine]\r\nModell = \"a.3dm\" alt\r\n",
     "cabin-value-changed", Severity::Warning, 2},
    {"four decimals are rounded to three", "[Kabine]\r\nSkala = 1.2345\r\n", "cabin-value-rounded",
     Severity::Warning, 2},
    {"a key set twice keeps the later value", "[Kabine]\r\nSitze = 3\r\nSitze = 4\r\n",
     "cabin-key-twice", Severity::Warning, 3},
    {"a section set twice is merged", "[Kabine]\r\nSitze = 3\r\n[Kabine]\r\nLicht = Y\r\n",
     "cabin-section-twice", Severity::Note, 3},
    {"a byte-order mark is skipped", "\xEF\xBB\xBF[Kabine]\r\nSitze = 3\r\n",
     "cabin-byte-order-mark", Severity::Note, 1},
    {"a UTF-8 text",
     "\xEF\xBB\xBF[Kabine]\r\nName = \"Br\xC3\xBC"
     "cke\"\r\n",
     "cabin-code-page", Severity::Warning, 2},
    {"a byte Windows-1252 lacks", "[Kabine]\r\nName = \"x\x81\"\r\n", "cabin-code-page",
     Severity::Warning, 2},
    {"an empty list is left out", "", "cabin-unreadable", Severity::Note, 0},
};

INSTANTIATE_TEST_SUITE_P(Broken, CabinFindings, ::testing::ValuesIn(kCases),
                         testpackage::BehaviourName<Case>);

TEST(CabinFindings, ValuesThatKeepTheirMeaningAreNotReported) {
    CheckedPackage package;
    package.Write("InstSkript.txt", "Dateinstallation{}Texturskript{}Bodenskript{}");
    package.Write(
        "cabin.ini",
        "; Kabinen\r\n[Kabine]\r\nModell = \"Resourcen\\Kabine.3dm\" ; Modell\r\nSitze = 3, -4\r\n"
        "Farbe = 0x00ff, 0x0A\r\nSkala = 1.5, 2\r\nLicht = Y,n\r\nAlt = yes\r\nMuster = #00ff10\r\n"
        "Name = \"Stra\xDF"
        "e\"\r\n");
    package.Check();
    EXPECT_TRUE(package.LastReport().findings.empty()) << package.Listing();
    ASSERT_EQ(package.LastReport().cabin.sections.size(), 1u);
    EXPECT_EQ(package.LastReport().cabin.sections[0].keys, 8);
}

TEST(CabinFindings, WithoutACabinListTheHostsStaysAsItIs) {
    CheckedPackage package;
    package.Write("InstSkript.txt", "Texturskript{}");
    package.Check();
    EXPECT_TRUE(package.Has("cabin-absent", Severity::Note, "cabin.ini", 0)) << package.Listing();
    EXPECT_FALSE(package.LastReport().cabin.present);
}

}  // namespace

}  // namespace pakcheck
