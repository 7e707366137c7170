// The installer's texts as the build takes them from its string table.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "package/InstallerTexts.h"

namespace {

using installertexts::Text;
using language::Language;

constexpr Language kLanguages[] = {Language::German, Language::English, Language::French,
                                   Language::Polish};

TEST(InstallerTexts, EveryBaseIdHasATextInEveryLanguage) {
    for (int id = installertexts::kFirstBaseId; id <= installertexts::kLastBaseId; ++id) {
        for (Language language : kLanguages) {
            EXPECT_FALSE(Text(id, language).empty()) << id << " " << static_cast<int>(language);
        }
    }
}

// Each language has its own table; only the refusals 115 to 117 are German
// in every language.
TEST(InstallerTexts, EachLanguageReadsItsOwnTable) {
    struct Case {
        int id;
        std::size_t distinct;
    };
    const Case cases[] = {{102, 4}, {103, 4}, {106, 4}, {110, 4}, {111, 1},
                          {114, 3}, {115, 1}, {116, 1}, {117, 1}};
    for (const Case& c : cases) {
        std::set<std::string> texts;
        for (Language language : kLanguages) texts.insert(Text(c.id, language));
        EXPECT_EQ(texts.size(), c.distinct) << c.id;
    }
    EXPECT_EQ(Text(115, Language::Polish), Text(115, Language::German));
}

TEST(InstallerTexts, KeepsTheScriptsEscapesAndCharacters) {
    EXPECT_EQ(Text(108, Language::German),
              u8"Eine Datei aus dem Installationsskript kann nicht gefunden werden.\n %s");
    EXPECT_EQ(Text(113, Language::German), u8"Installation wählen");
}

TEST(InstallerTexts, AnIdOutsideTheBaseIdsHasNoText) {
    for (int id : {0, 100, 119, 201, 418}) {
        for (Language language : kLanguages) {
            EXPECT_EQ(Text(id, language), "") << id;
        }
    }
}

}  // namespace
