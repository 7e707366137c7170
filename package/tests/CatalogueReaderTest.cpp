// Reading "InstSkript.ini": which sections become entries, what each key
// gives, what missing keys give, and the language of the texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "package/CatalogueReader.h"
#include "tests/support/TestFiles.h"
#include "textfile/IniDocument.h"

namespace {

TEST(LanguageSuffix, FollowsThePrimaryLanguageOfEveryRegionalVariant) {
    struct Case {
        uint16_t languageId;
        const char* suffix;
    };
    const Case cases[] = {
        {0x0407, "_GER"}, {0x0807, "_GER"}, {0x0C07, "_GER"}, {0x1407, "_GER"}, {0x040C, "_FRA"},
        {0x080C, "_FRA"}, {0x0C0C, "_FRA"}, {0x0415, "_POL"}, {0x0409, "_ENG"}, {0x0809, "_ENG"},
        {0x0410, "_ENG"}, {0x0413, "_ENG"}, {0x0000, "_ENG"}, {0x0015, "_POL"}, {0xFC07, "_GER"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.suffix, cataloguereader::LanguageSuffix(c.languageId))
            << std::hex << c.languageId;
    }
}

class CatalogueReader : public ::testing::Test {
protected:
    // Reads `text` as the catalogue with the given language suffix, into a
    // fresh document (a second Load would merge into the first).
    const InstallCatalogue& Read(const std::string& text, const std::string& suffix = "_GER") {
        const std::string path = testfiles::Make("InstSkript.ini", text);
        auto document = std::make_unique<IniDocument>(false);
        EXPECT_EQ(0, document->Load(path.c_str(), 0, 0));
        catalogue = InstallCatalogue{};
        catalogue.selectedIndex = 7;
        cataloguereader::Read(*document, suffix, catalogue);
        return catalogue;
    }

    InstallCatalogue catalogue;
};

TEST_F(CatalogueReader, EveryKeyOfAFullSection) {
    const InstallCatalogue& c = Read(
        "[Install_00]\r\n"
        "Name_GER = \"Stellwerk Nord\"\r\n"
        "Desc_GER = \"Zwei Zeilen[e]Beschreibung\"\r\n"
        "Script = \"Paket1\\Skript.txt\"\r\n"
        "TrakoVersion = 5, 2, 7\r\n"
        "TrakoPatch = 3\r\n");
    ASSERT_EQ(1, c.entryCount);
    const CatalogueEntry& e = c.entries[0];
    EXPECT_EQ("Stellwerk Nord", e.name);
    EXPECT_EQ("Zwei Zeilen\r\nBeschreibung", e.description);
    EXPECT_EQ("Paket1\\Skript.txt", e.script);
    EXPECT_EQ(5u, e.trakoVersion[0]);
    EXPECT_EQ(2u, e.trakoVersion[1]);
    EXPECT_EQ(7u, e.trakoVersion[2]);
    for (int i = 3; i < 20; ++i) EXPECT_EQ(0u, e.trakoVersion[i]) << i;
    EXPECT_EQ(2, e.pluginCount);
    EXPECT_EQ(3u, e.requiredPatch);
    EXPECT_EQ(7, c.selectedIndex) << "reading leaves the choice alone";
}

TEST_F(CatalogueReader, PresentSectionsBecomeEntriesWithoutGapsInNumberOrder) {
    const InstallCatalogue& c = Read(
        "[Install_10]\nName_GER = \"zehn\"\n"
        "[Install_03]\nName_GER = \"drei\"\n"
        "[Install_32]\nName_GER = \"zweiunddreissig\"\n"
        "[Install_5]\nName_GER = \"fuenf ohne Null\"\n"
        "[install_04]\nName_GER = \"klein geschrieben\"\n");
    ASSERT_EQ(2, c.entryCount);
    EXPECT_EQ("drei", c.entries[0].name);
    EXPECT_EQ("zehn", c.entries[1].name);
}

TEST_F(CatalogueReader, ThirtyTwoSectionsFillTheCatalogue) {
    std::string text;
    for (int k = 31; k >= 0; --k) {
        text += "[Install_" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "]\n";
        text += "Name_GER = \"Paket " + std::to_string(k) + "\"\n";
    }
    const InstallCatalogue& c = Read(text);
    ASSERT_EQ(32, c.entryCount);
    EXPECT_EQ("Paket 0", c.entries[0].name);
    EXPECT_EQ("Paket 31", c.entries[31].name);
}

TEST_F(CatalogueReader, SectionWithoutKeysIsAnEntryForVersion3) {
    const InstallCatalogue& c = Read("[Install_00]\n[Install_01]\nName_GER = \"zweites\"\n");
    ASSERT_EQ(2, c.entryCount);
    const CatalogueEntry& e = c.entries[0];
    EXPECT_EQ("", e.name);
    EXPECT_EQ("", e.description);
    EXPECT_EQ("", e.script);
    EXPECT_EQ(3u, e.trakoVersion[0]);
    EXPECT_EQ(0, e.pluginCount);
    EXPECT_EQ(0u, e.requiredPatch);
}

TEST_F(CatalogueReader, RequiredVersionsBelow3Become3) {
    struct Case {
        const char* line;
        uint32_t major;
    };
    const Case cases[] = {{"TrakoVersion = 2", 3}, {"TrakoVersion = 0", 3}, {"TrakoVersion = 3", 3},
                          {"TrakoVersion = 4", 4}, {"TrakoVersion = 6", 6}, {"", 3}};
    for (const Case& c : cases) {
        const InstallCatalogue& read = Read(std::string("[Install_00]\n") + c.line + "\n");
        ASSERT_EQ(1, read.entryCount) << c.line;
        EXPECT_EQ(c.major, read.entries[0].trakoVersion[0]) << c.line;
    }
}

TEST_F(CatalogueReader, PluginCountCountsNonZeroNumbersOfTheFirstTwenty) {
    struct Case {
        const char* list;
        int32_t count;
    };
    const Case cases[] = {
        {"5", 0},
        {"5, 3", 1},
        {"5, 0, 7", 1},
        {"5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19", 19},
        {"5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21", 19},
    };
    for (const Case& c : cases) {
        const InstallCatalogue& read =
            Read(std::string("[Install_00]\nTrakoVersion = ") + c.list + "\n");
        ASSERT_EQ(1, read.entryCount) << c.list;
        EXPECT_EQ(c.count, read.entries[0].pluginCount) << c.list;
    }
}

TEST_F(CatalogueReader, TextsComeInTheChosenLanguageOnly) {
    const std::string text =
        "[Install_00]\n"
        "Name_GER = \"Bahnhof\"\nDesc_GER = \"Ein Bahnhof\"\n"
        "Name_FRA = \"Gare\"\nDesc_FRA = \"Une gare\"\n"
        "Script = \"gare.txt\"\n";
    EXPECT_EQ("Gare", Read(text, "_FRA").entries[0].name);
    EXPECT_EQ("Une gare", catalogue.entries[0].description);
    EXPECT_EQ("Bahnhof", Read(text, "_GER").entries[0].name);
    const InstallCatalogue& polish = Read(text, "_POL");
    EXPECT_EQ("", polish.entries[0].name);
    EXPECT_EQ("", polish.entries[0].description);
    EXPECT_EQ("gare.txt", polish.entries[0].script) << "the script key has no suffix";
}

TEST_F(CatalogueReader, UnquotedTextsReadAsEmpty) {
    const InstallCatalogue& c = Read("[Install_00]\nName_GER = Bahnhof\n");
    ASSERT_EQ(1, c.entryCount);
    EXPECT_EQ("", c.entries[0].name);
}

TEST_F(CatalogueReader, OverlongTextNeverOverrunsTheTextBuffer) {
    const std::string longName(3000, 'x');
    const InstallCatalogue& c =
        Read("[Install_00]\nName_GER = \"" + longName + "\"\nScript = \"a.txt\"\n");
    ASSERT_EQ(1, c.entryCount);
    EXPECT_LE(c.entries[0].name.size(), 1023u);
    EXPECT_EQ(std::string(c.entries[0].name.size(), 'x'), c.entries[0].name);
    EXPECT_EQ("a.txt", c.entries[0].script);
}

}  // namespace
