// How package texts look to users of Windows-1252 and Windows-1250, and
// which bytes give them away as UTF-8 or as undefined.
#include <gtest/gtest.h>

#include "pakcheck/reading/CodePage.h"

namespace pakcheck {

namespace {

using codepage::CodePage;

TEST(CodePage, ShowsBytesAsUsersOfTheCodePageSeeThem) {
    struct Case {
        const char* what;
        const char* bytes;
        CodePage page;
        const char* shown;
    };
    const Case cases[] = {
        {"ASCII is the same everywhere", "Bahnhof", CodePage::Windows1252, "Bahnhof"},
        {"Latin-1 letters in 1252", "Gr\xFCnwald", CodePage::Windows1252, "Grünwald"},
        {"the euro sign and quotes of 1252", "\x80 \x84x\x93", CodePage::Windows1252, "€ „x“"},
        {"Polish letters in 1250",
         "du\xBFych pr\xEA"
         "dko\x9C"
         "ci",
         CodePage::Windows1250, "dużych prędkości"},
        {"the same bytes in 1252", "du\xBF", CodePage::Windows1252, "du¿"},
        {"UTF-8 read as 1252", "Gr\xC3\xBCnwald", CodePage::Windows1252, "GrÃ¼nwald"},
        {"an undefined byte", "a\x81z", CodePage::Windows1252, "a\xEF\xBF\xBDz"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codepage::ToUtf8(c.bytes, c.page), c.shown) << c.what;
    }
}

TEST(CodePage, FindsUtf8SequencesAndUndefinedBytes) {
    struct Case {
        const char* what;
        std::string bytes;
        CodePage page;
        std::size_t utf8;
        std::size_t undefined;
    };
    const std::size_t none = codepage::Inspection::kNone;
    const Case cases[] = {
        {"plain ASCII", "Kabine_Stellwerk", CodePage::Windows1252, none, none},
        {"a 1252 umlaut alone", "Geb\xE4ude", CodePage::Windows1252, none, none},
        {"a two-byte UTF-8 umlaut", "Geb\xC3\xA4ude", CodePage::Windows1252, 3, none},
        {"a three-byte UTF-8 dash", "a\xE2\x80\x93z", CodePage::Windows1252, 1, none},
        {"a lead byte without its follower", "\xC3z", CodePage::Windows1252, none, none},
        {"a lead byte at the end", "ab\xC3", CodePage::Windows1252, none, none},
        {"an encoded surrogate is no UTF-8", "a\xED\xA0\x80", CodePage::Windows1252, none, none},
        {"an overlong slash is no UTF-8", "a\xE0\x80\xAF", CodePage::Windows1252, none, none},
        {"beyond U+10FFFF is no UTF-8", "a\xF4\x90\x80\x80", CodePage::Windows1252, none, 2},
        {"the last code point is UTF-8", "a\xF4\x8F\xBF\xBF", CodePage::Windows1252, 1, 2},
        {"the last before the surrogates is UTF-8", "a\xED\x9F\xBF", CodePage::Windows1252, 1,
         none},
        {"0x81 is undefined in 1252", "x\x81", CodePage::Windows1252, none, 1},
        {"0x8D is defined in 1250", "x\x8D", CodePage::Windows1250, none, none},
        {"0x83 is undefined in 1250", "x\x83", CodePage::Windows1250, none, 1},
    };
    for (const Case& c : cases) {
        const codepage::Inspection found = codepage::Inspect(c.bytes, c.page);
        EXPECT_EQ(found.utf8Sequence, c.utf8) << c.what;
        EXPECT_EQ(found.undefinedByte, c.undefined) << c.what;
        EXPECT_EQ(codepage::Describe(c.bytes, c.page).empty(), found.Clean()) << c.what;
    }
}

TEST(CodePage, DescribesUtf8WithTheCharacterUsersSee) {
    EXPECT_EQ(codepage::Describe("Br\xC3\xBC"
                                 "cke",
                                 CodePage::Windows1252),
              "is written in UTF-8: users of Windows-1252 see \"Ã¼\" for \"ü\"");
    EXPECT_EQ(codepage::Describe("x\x90", CodePage::Windows1252),
              "holds the byte 0x90, which Windows-1252 does not define");
}

TEST(CodePage, PassesUtf8OnAndConvertsOtherBytes) {
    EXPECT_EQ(codepage::AsUtf8("Gr\xC3\xBCnwald"), "Grünwald");
    EXPECT_EQ(codepage::AsUtf8("Gr\xFCnwald"), "Grünwald");
    EXPECT_EQ(codepage::Quote(std::string(80, 'x'), 4), "\"xxxx...\"");
}

}  // namespace

}  // namespace pakcheck
