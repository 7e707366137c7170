#include "texturelist/TextureList.h"

#include "tests/support/TestFiles.h"
#include "textfile/SafeReplace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::map<std::uint32_t, std::string>;
using Listing = std::vector<std::pair<std::uint32_t, std::string>>;

// Entries in the order they are iterated, to compare with what a map of the
// expected entries iterates.
Listing InOrder(const EntryTable& entries) {
    Listing listing;
    for (const auto entry : entries) {
        listing.emplace_back(entry.first, std::string(entry.second));
    }
    return listing;
}

Listing InOrder(const Entries& entries) {
    return Listing(entries.begin(), entries.end());
}

const std::uint32_t kMinusOne = 4294967295u;

// A string literal with every byte, NULs included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

struct LoadCase {
    const char* behaviour;
    std::string file;
    bool loads;
    Entries entries;
};

void RunLoadCases(const std::vector<LoadCase>& cases) {
    std::string path = testfiles::Scratch("list.txt");
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        testfiles::Write(path, c.file);
        TextureList list;
        EXPECT_EQ(list.Load(path.c_str()), c.loads);
        EXPECT_EQ(list.Loaded(), c.loads);
        EXPECT_EQ(InOrder(list.Entries()), InOrder(c.entries));
        EXPECT_EQ(list.Path(), path);
        TextureList inMemory;
        EXPECT_EQ(inMemory.LoadBytes(c.file), c.loads) << "in memory";
        EXPECT_EQ(InOrder(inMemory.Entries()), InOrder(c.entries)) << "in memory";
    }
    std::remove(path.c_str());
}

TEST(TextureListLoad, ReadsBlocksIntoEntriesWithoutWhitespace) {
    RunLoadCases({
        {"an empty file is an empty list", "", true, {}},
        {"a list as the host writes it",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(12)\tname(y)\t}\r\n}\r\n",
         true,
         {{3, "Textur{\tid(3)\tname(x)\t}"}, {12, "Textur{\tid(12)\tname(y)\t}"}}},
        {"another top-level name, whitespace between every token",
         "Liste\n{\n Textur\n {\n id\n (\n 3\n )\n name ( x )\n }\n }\n",
         true,
         {{3, "Textur{\tid(3)\tname(x)\t}"}}},
        {"blanks inside parentheses are removed",
         "Basis{ Textur{ id( 3 ) name(Alter Baum) datei(alter baum.bmp) } }",
         true,
         {{3, "Textur{\tid(3)\tname(AlterBaum)\tdatei(alterbaum.bmp)\t}"}}},
        {"inner blocks get a TAB after their opening brace only",
         "Basis{ Textur{ id(1) name(a) lod{ stufe(1) } } }",
         true,
         {{1, "Textur{\tid(1)\tname(a)\tlod{\tstufe(1)\t}}"}}},
        {"text between blocks starts the next entry",
         "Basis{ Textur{id(1)name(a)} farbe(rot) Textur{id(2)name(b)} }",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}, {2, "farbe(rot)\tTextur{\tid(2)\tname(b)\t}"}}},
        {"text after the last block is dropped",
         "Basis{ Textur{id(1)name(a)} rest(1) }",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}}},
        {"a ')' before the top-level brace leaves a TAB in front of the first entry",
         "x) Basis{ Textur{id(1)name(a)} }",
         true,
         {{1, "\tTextur{\tid(1)\tname(a)\t}"}}},
        {"bytes are kept as they are, 0x1A and NUL included",
         Bytes("Basis{Textur{id(1)name(B\xE4r\x1A\0x)}}"),
         true,
         {{1, Bytes("Textur{\tid(1)\tname(B\xE4r\x1A\0x)\t}")}}},
    });
}

TEST(TextureListLoad, TakesTheIdOfTheFirstIdField) {
    RunLoadCases({
        {"a negative id is a large unsigned one",
         "Basis{Textur{id(-1)name(a)}}",
         true,
         {{kMinusOne, "Textur{\tid(-1)\tname(a)\t}"}}},
        {"ids wrap around at 2^32",
         "Basis{Textur{id(4294967297)name(a)}}",
         true,
         {{1, "Textur{\tid(4294967297)\tname(a)\t}"}}},
        {"an explicit plus sign",
         "Basis{Textur{id(+5)name(a)}}",
         true,
         {{5, "Textur{\tid(+5)\tname(a)\t}"}}},
        {"digits end at the first other character",
         "Basis{Textur{id(12ab)name(a)}}",
         true,
         {{12, "Textur{\tid(12ab)\tname(a)\t}"}}},
        {"an empty id is id 0",
         "Basis{Textur{id()name(a)}}",
         true,
         {{0, "Textur{\tid()\tname(a)\t}"}}},
        {"'id(' inside a longer word counts",
         "Basis{Textur{Grid(5)id(3)name(a)}}",
         true,
         {{5, "Textur{\tGrid(5)\tid(3)\tname(a)\t}"}}},
        {"'id(' in text carried in from between blocks counts",
         "Basis{ Textur{id(1)name(a)} grid(9) Textur{id(2)name(b)} }",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}, {9, "grid(9)\tTextur{\tid(2)\tname(b)\t}"}}},
        {"of two blocks with one id the first stays",
         "Basis{Textur{id(7)name(erst)}Textur{id(7)name(zweit)}}",
         true,
         {{7, "Textur{\tid(7)\tname(erst)\t}"}}},
        {"ids out of order come out ascending, the first of each id staying",
         "Basis{Textur{id(9)name(a)}Textur{id(3)name(b)}Textur{id(9)name(c)}Textur{id(-1)name(d)}"
         "Textur{id(3)name(e)}Textur{id(1)name(f)}}",
         true,
         {{1, "Textur{\tid(1)\tname(f)\t}"},
          {3, "Textur{\tid(3)\tname(b)\t}"},
          {9, "Textur{\tid(9)\tname(a)\t}"},
          {kMinusOne, "Textur{\tid(-1)\tname(d)\t}"}}},
        {"case matters in field names", "Basis{Textur{ID(7)name(a)}}", false, {}},
    });
}

TEST(TextureListLoad, FailsWholeOrDropsOnlyTheUnfinishedBlock) {
    RunLoadCases({
        {"a block without a name fails the whole list",
         "Basis{Textur{id(1)name(a)}Textur{id(2)}}",
         false,
         {}},
        {"a block without an id fails the whole list",
         "Basis{Textur{id(1)name(a)}Textur{name(b)}}",
         false,
         {}},
        {"a name field needs a ')' after it", "Basis{Textur{id(1)name(}}", false, {}},
        {"a block cut off by the end of the file is dropped",
         "Basis{Textur{id(1)name(a)}Textur{id(2)name(b)",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}}},
        {"a missing final brace loses nothing",
         "Basis{Textur{id(1)name(a)}",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}}},
        {"a stray '}' before the list does not hide its entries",
         "}\r\nBasis{Textur{id(1)name(a)}}",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}}},
        {"a second top-level block adds its entries, without the first one's brace",
         "Basis{Textur{id(1)name(a)}rest(x)}Basis{Textur{id(2)name(b)}}",
         true,
         {{1, "Textur{\tid(1)\tname(a)\t}"}, {2, "Textur{\tid(2)\tname(b)\t}"}}},
    });
}

TEST(TextureListLoad, StartsAfreshAndForgetsAFailedRead) {
    std::string good = testfiles::Scratch("good.txt");
    std::string bad = testfiles::Scratch("bad.txt");
    testfiles::Write(good, "Basis{Textur{id(1)name(a)}}");
    testfiles::Write(bad, "Basis{Textur{id(2)}}");
    std::string missing = testfiles::Scratch("missing.txt");
    std::remove(missing.c_str());

    TextureList list;
    ASSERT_TRUE(list.Load(good.c_str()));
    EXPECT_FALSE(list.Load(bad.c_str()));
    EXPECT_FALSE(list.Loaded());
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_EQ(list.Path(), bad);

    ASSERT_TRUE(list.Load(good.c_str()));
    EXPECT_FALSE(list.Load(missing.c_str()));
    EXPECT_FALSE(list.Loaded());
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_FALSE(list.Load(nullptr));

    ASSERT_TRUE(list.Load(good.c_str()));
    ASSERT_TRUE(list.Load(good.c_str()));
    EXPECT_EQ(list.Entries().size(), 1u) << "a second Load starts from an empty list";
    std::remove(good.c_str());
    std::remove(bad.c_str());
}

TEST(TextureListLoad, ReadsLargeListsAcrossBlocks) {
    // Tokens that straddle the reader's blocks, and a name far longer than one.
    std::string file = "Basis{\r\n";
    const std::uint32_t count = 50000;
    for (std::uint32_t id = 1; id <= count; ++id) {
        file +=
            "\tTextur{\tid(" + std::to_string(id) + ")\tname(t" + std::to_string(id) + ")\t}\r\n";
    }
    const std::string longName(600 * 1024, 'n');
    file += "Textur{id(" + std::to_string(count + 1) + ")name(" + longName + ")}}\r\n";
    std::string path = testfiles::Scratch("large.txt");
    testfiles::Write(path, file);

    TextureList list;
    ASSERT_TRUE(list.Load(path.c_str()));
    ASSERT_EQ(list.Entries().size(), count + 1);
    for (std::uint32_t id : {1u, 2u, 4000u, 9999u, count}) {
        EXPECT_EQ(list.Entries().At(id),
                  "Textur{\tid(" + std::to_string(id) + ")\tname(t" + std::to_string(id) + ")\t}");
    }
    EXPECT_EQ(list.Entries().At(count + 1),
              "Textur{\tid(" + std::to_string(count + 1) + ")\tname(" + longName + ")\t}");
    ASSERT_TRUE(list.Save(path.c_str()));
    EXPECT_EQ(testfiles::Read(path), file.substr(0, file.rfind("Textur{")) + "\t" +
                                         std::string(list.Entries().At(count + 1)) + "\r\n}\r\n");
    std::remove(path.c_str());
}

TEST(TextureListId, IsDecimalWithWrapAround) {
    struct Case {
        const char* text;
        std::uint32_t id;
    } cases[] = {
        {"7)", 7},          {" \t\r\n7", 7},
        {"+7", 7},          {"-1", kMinusOne},
        {"-0", 0},          {"", 0},
        {"-", 0},           {"x7", 0},
        {"+-7", 0},         {"4294967295", kMinusOne},
        {"4294967296", 0},  {"99999999999", 1215752191u},
        {"-4294967295", 1}, {"12 34", 12},
        {"007", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(texturelist::ParseId(c.text, c.text + std::strlen(c.text)), c.id);
    }
    const char* digits = "12345";
    EXPECT_EQ(texturelist::ParseId(digits, digits + 2), 12u) << "reads nothing past the end";
    EXPECT_EQ(texturelist::ParseId(digits, digits), 0u);
}

struct AddCase {
    const char* behaviour;
    std::string text;
    bool added;
    std::uint32_t id;
    std::string stored;
};

TEST(TextureListAddEntry, StoresTheBlockUnderItsId) {
    const std::vector<AddCase> cases = {
        {"a converted script entry", "Textur{\tid(7)\tname(x)\t}\n\t\t", true, 7,
         "Textur{\tid(7)\tname(x)\t}"},
        {"text before 'Textur' and after the last '}' is dropped", "a>>b>>Textur{id(5)name(x)}rest",
         true, 5, "Textur{id(5)name(x)}"},
        {"nested blocks up to the last brace", "Textur{id(6)lod{a}}\n\t\t}\n\t\t", true, 6,
         "Textur{id(6)lod{a}}\n\t\t}"},
        {"a negative id", "Textur{id(-1)name(x)}", true, kMinusOne, "Textur{id(-1)name(x)}"},
        {"no name field is needed", "Textur{id(8)}", true, 8, "Textur{id(8)}"},
        {"'id(' inside a longer word counts", "Textur{Grid(9)id(3)}", true, 9,
         "Textur{Grid(9)id(3)}"},
        {"no 'Textur'", "Boden{id(1)name(x)}", false, 0, ""},
        {"'Textur' is case-sensitive", "textur{id(1)name(x)}", false, 0, ""},
        {"no closing brace", "Textur{id(1)name(x)", false, 0, ""},
        {"the only closing brace stands before 'Textur'", "}Textur{id(1)name(x)", false, 0, ""},
        {"no id field", "Textur{name(x)}", false, 0, ""},
        {"id 0", "Textur{id(0)name(x)}", false, 0, ""},
        {"an empty id", "Textur{id()name(x)}", false, 0, ""},
        {"a non-numeric id", "Textur{id(abc)name(x)}", false, 0, ""},
        {"an id that wraps to 0", "Textur{id(4294967296)name(x)}", false, 0, ""},
        {"an empty text", "", false, 0, ""},
    };
    const Entries before = {{5, "Textur{id(5)name(alt)}"}, {99, "Textur{id(99)name(z)}"}};
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TextureList list;
        for (const auto& entry : before) {
            ASSERT_TRUE(list.AddEntry(entry.second));
        }
        EXPECT_EQ(list.AddEntry(c.text), c.added);
        Entries expected = before;
        if (c.added) {
            expected[c.id] = c.stored;
        }
        EXPECT_EQ(InOrder(list.Entries()), InOrder(expected));
    }
}

// Generated merges into a loaded list, against a map that takes each entry
// in turn: whatever the order of the ids, repeated or not, read in between
// or not, the last entry of an id holds and the list saves in id order.
TEST(TextureListAddEntry, LaterEntryReplacesEarlierOneWithTheSameId) {
    std::string host = "Basis{";
    for (std::uint32_t id = 10; id <= 2000; id += 10) {
        host += "Textur{id(" + std::to_string(id) + ")name(alt)}";
    }
    host += "Textur{id(-1)name(alt)}}";
    std::mt19937 random(20);  // the engine's numbers are the same everywhere
    constexpr std::uint32_t kN = 3000;
    const struct {
        const char* behaviour;
        std::function<std::uint32_t(std::uint32_t)> id;  // of the i-th entry
        std::uint32_t readEvery;                         // 0: read only at the end
    } orders[] = {
        {"ascending", [](std::uint32_t i) { return i + 1; }, 0},
        {"descending", [](std::uint32_t i) { return kN - i; }, 0},
        {"descending, read in between", [](std::uint32_t i) { return kN - i; }, 7},
        {"the same id twice in a row", [](std::uint32_t i) { return 4 + i / 2; }, 0},
        {"random, many repeats",
         [&random](std::uint32_t) { return static_cast<std::uint32_t>(1 + random() % 500); }, 0},
        {"random over all ids, read in between",
         [&random](std::uint32_t) { return static_cast<std::uint32_t>(random()); }, 100},
    };
    for (const auto& order : orders) {
        SCOPED_TRACE(order.behaviour);
        TextureList list;
        ASSERT_TRUE(list.LoadBytes(host));
        Entries expected;
        for (const auto entry : list.Entries()) {
            expected[entry.first] = std::string(entry.second);
        }
        for (std::uint32_t i = 0; i < kN; ++i) {
            const std::uint32_t id = order.id(i);
            const std::string text =
                "Textur{id(" + std::to_string(id) + ")name(n" + std::to_string(i) + ")}";
            EXPECT_EQ(list.AddEntry(text), id != 0);
            if (id != 0) expected[id] = text;
            if (order.readEvery != 0 && i % order.readEvery == 0) {
                ASSERT_EQ(list.Entries().size(), expected.size());
                ASSERT_NE(list.Entries().Find(id == 0 ? 10 : id), list.Entries().end());
            }
        }
        EXPECT_EQ(InOrder(list.Entries()), InOrder(expected));
        std::string saved;
        ASSERT_TRUE(list.SaveBytes(&saved));
        std::string written = "Basis{\r\n";
        for (const auto& entry : expected) written += "\t" + entry.second + "\r\n";
        EXPECT_EQ(saved, written + "}\r\n");
    }
}

// Loads `file` and saves it again; the saved bytes. The same done in
// memory (LoadBytes, SaveBytes) must give the same bytes.
std::string Resave(const std::string& file) {
    std::string path = testfiles::Scratch("resave.txt");
    testfiles::Write(path, file);
    TextureList list;
    EXPECT_TRUE(list.Load(path.c_str()));
    EXPECT_TRUE(list.Save(path.c_str()));
    std::string saved = testfiles::Read(path);
    std::remove(path.c_str());
    TextureList inMemory;
    std::string savedInMemory;
    EXPECT_TRUE(inMemory.LoadBytes(file));
    EXPECT_TRUE(inMemory.SaveBytes(&savedInMemory));
    EXPECT_EQ(savedInMemory, saved) << "in memory";
    return saved;
}

TEST(TextureListSave, WritesTheFixedLayoutWithCrLf) {
    struct Case {
        const char* behaviour;
        std::string file;
        std::string saved;
    } cases[] = {
        {"an empty list", "", "Basis{\r\n}\r\n"},
        {"two entries, a TAB before each", "Basis{Textur{id(12)name(y)}Textur{id(3)name(x)}}",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n\tTextur{\tid(12)\tname(y)\t}\r\n}\r\n"},
        {"any layout and top-level name becomes the host's",
         "  Liste\n\n{ Textur {\n\tid ( 3 )\n\tname ( Alter Baum )\n }\n}\n\n",
         "Basis{\r\n\tTextur{\tid(3)\tname(AlterBaum)\t}\r\n}\r\n"},
        {"ids in unsigned order: 9 before 10, -1 last",
         "Basis{Textur{id(-1)name(m)}Textur{id(10)name(z)}Textur{id(9)name(n)}}",
         "Basis{\r\n\tTextur{\tid(9)\tname(n)\t}\r\n\tTextur{\tid(10)\tname(z)\t}\r\n"
         "\tTextur{\tid(-1)\tname(m)\t}\r\n}\r\n"},
        {"canonical bytes are kept as they are", "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n}\r\n",
         "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n}\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(Resave(c.file), c.saved);
    }
}

TEST(TextureListSave, TurnsLineFeedsInsideEntriesIntoCrLf) {
    std::string path = testfiles::Scratch("list.txt");
    testfiles::Write(path, "Basis{}");
    TextureList list;
    ASSERT_TRUE(list.Load(path.c_str()));
    ASSERT_TRUE(list.AddEntry("Textur{\tid(5)\tname(a)\tlod{\tx(1)\t}\n\t\t}\n\t\t"));
    ASSERT_TRUE(list.Save(path.c_str()));
    EXPECT_EQ(testfiles::Read(path),
              "Basis{\r\n\tTextur{\tid(5)\tname(a)\tlod{\tx(1)\t}\r\n\t\t}\r\n}\r\n");

    ASSERT_TRUE(list.Load(path.c_str())) << "the saved list reads back";
    EXPECT_EQ(InOrder(list.Entries()),
              InOrder(Entries({{5, "Textur{\tid(5)\tname(a)\tlod{\tx(1)\t}}"}})));
    std::remove(path.c_str());
}

TEST(TextureListSave, ReplacesTheWholeFile) {
    std::string path = testfiles::Scratch("list.txt");
    std::string longList = "Basis{";
    for (int id = 1; id <= 1000; ++id) {
        longList += "Textur{id(" + std::to_string(id) + ")name(t)}";
    }
    testfiles::Write(path, longList + "}");
    std::string shortList = testfiles::Scratch("short.txt");
    testfiles::Write(shortList, "Basis{Textur{id(1)name(t)}}");
    TextureList list;
    ASSERT_TRUE(list.Load(shortList.c_str()));
    ASSERT_TRUE(list.Save(path.c_str()));
    EXPECT_EQ(testfiles::Read(path), "Basis{\r\n\tTextur{\tid(1)\tname(t)\t}\r\n}\r\n");
    EXPECT_FALSE(testfiles::Exists(safereplace::TemporaryPathFor(path.c_str())));
    std::remove(path.c_str());
    std::remove(shortList.c_str());
}

TEST(TextureListSave, RefusesAndLeavesTheDiskAloneWhenItCannotWrite) {
    std::string path = testfiles::Scratch("list.txt");
    const std::string original = "Basis{ Textur{ id(1) name(a) } }";
    testfiles::Write(path, original);

    TextureList unloaded;
    ASSERT_TRUE(unloaded.AddEntry("Textur{id(2)name(b)}"));
    EXPECT_FALSE(unloaded.Save(path.c_str())) << "a list that was never loaded";
    EXPECT_EQ(testfiles::Read(path), original);
    std::string fresh = testfiles::Scratch("fresh.txt");
    std::remove(fresh.c_str());
    EXPECT_FALSE(unloaded.Save(fresh.c_str()));
    EXPECT_FALSE(testfiles::Exists(fresh)) << "nothing is created for a list never loaded";

    TextureList list;
    ASSERT_TRUE(list.Load(path.c_str()));
    std::string noFolder = testfiles::Scratch("no_such_folder/list.txt");
    EXPECT_FALSE(list.Save(noFolder.c_str()));
    EXPECT_FALSE(list.Save(nullptr));
    EXPECT_EQ(testfiles::Read(path), original);
    std::remove(path.c_str());
}

TEST(TextureListSave, LeavesAReadOnlyListUnchanged) {
    if (!testfiles::ReadOnlyIsEnforced()) {
        GTEST_SKIP() << "root writes read-only files; the Windows run checks this";
    }
    std::string path = testfiles::Scratch("list.txt");
    const std::string original = "Basis{ Textur{ id(1) name(a) } }";
    testfiles::Write(path, original);
    TextureList list;
    ASSERT_TRUE(list.Load(path.c_str()));
    ASSERT_TRUE(list.AddEntry("Textur{id(2)name(b)}"));
    testfiles::SetReadOnly(path, true);
    EXPECT_FALSE(list.Save(path.c_str()));
    testfiles::SetReadOnly(path, false);
    EXPECT_EQ(testfiles::Read(path), original);
    EXPECT_FALSE(testfiles::Exists(safereplace::TemporaryPathFor(path.c_str())));
    std::remove(path.c_str());
}

}  // namespace
