#include "textfile/IniDocument.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "IniTestSupport.h"

using initest::Bytes;
using initest::Items;
using initest::Lines;
using initest::LoadText;
using initest::SectionNamed;
using initest::TopLevel;
using Strings = std::vector<std::string>;

namespace {

// The entry `key` of section S after loading "[S]" and "key = <value>".
const IniNode* ReadValue(IniDocument& document, const std::string& value) {
    EXPECT_EQ(LoadText(document, "value.ini", "[S]\r\nkey = " + value + "\r\n"), 0);
    return document.FindEntry("S", "key");
}

TEST(IniRead, ValueKindFollowsTheFirstCharacter) {
    struct Case {
        const char* value;
        NodeKind kind;
        int32_t count;
    } cases[] = {
        {"\"text\"", NodeKind::Text, 4},     {"\"\"", NodeKind::Text, 0},
        {"#0a0b", NodeKind::Bytes, 2},       {"#", NodeKind::Bytes, 0},
        {"Y,N,Y", NodeKind::BoolList, 3},    {"Neu", NodeKind::BoolList, 1},
        {"0x10, 20", NodeKind::HexList, 2},  {"0X1", NodeKind::HexList, 1},
        {"-4", NodeKind::IntList, 1},        {"1,,3", NodeKind::IntList, 3},
        {"1.5, 2", NodeKind::FloatList, 2},  {".5", NodeKind::FloatList, 1},
        {"-0.5, 1", NodeKind::FloatList, 2}, {"Zug", NodeKind::Untyped, 1},
        {"Zug, Bahn", NodeKind::Untyped, 2}, {"", NodeKind::Untyped, 1},
        {"+5", NodeKind::Untyped, 1},        {"1,\"2,3\",4", NodeKind::IntList, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniDocument document;
        const IniNode* entry = ReadValue(document, c.value);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->Kind(), c.kind);
        EXPECT_EQ(entry->Count(), c.count);
    }
}

TEST(IniRead, ListItemsAreReadInto32BitValues) {
    struct Case {
        const char* value;
        std::vector<int32_t> items;
    } cases[] = {
        {"1, 2", {1, 2}},
        {"1,,3", {1, 0, 3}},  // an empty item is 0
        {"-4", {-4}},
        {"7, x, 9", {7, 0, 9}},  // so is one that does not scan
        {"0x10, 20", {16, 32}},  // every item is hexadecimal
        {"0xffffffff,-1", {-1, -1}},
        {"0x", {0}},
        {"4294967297", {1}},         // too long: taken modulo 2^32
        {"1,\"2,3\";4", {1, 0}},     // commas in quotes add no item ...
        {"1,\"2,3\",4", {1, 0, 3}},  // ... but the walk goes on after them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniDocument document;
        EXPECT_EQ(Items<int32_t>(ReadValue(document, c.value)), c.items);
    }
}

TEST(IniRead, FloatItemsStayFinite) {
    struct Case {
        const char* value;
        std::vector<float> items;
    } cases[] = {
        {"1.5, 2", {1.5f, 2.0f}},     {".25,-.5", {0.25f, -0.5f}},
        {"1e99.", {FLT_MAX}},  // beyond the range: the largest float
        {"-1e99.", {-FLT_MAX}},       {"1e-99.", {0.0f}},
        {"-inf., nan", {0.0f, 0.0f}},  // not numbers
        {"1.5, 0x10", {1.5f, 16.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniDocument document;
        const IniNode* entry = ReadValue(document, c.value);
        ASSERT_EQ(entry->Kind(), NodeKind::FloatList);
        EXPECT_EQ(Items<float>(entry), c.items);
    }
}

TEST(IniRead, YesNoAndByteLists) {
    struct Case {
        const char* value;
        std::string bytes;
    } cases[] = {
        {"Y,N,Y", std::string("\1\0\1", 3)},
        {"y,n", std::string("\1\0", 2)},
        {"y , Y", std::string("\1\0", 2)},        // the stride of two meets the blank and the comma
        {"Y,,,,", std::string("\1\0\0\0\0", 5)},  // more commas than letters: no read past the text
        {"Neu", std::string("\0", 1)},
        {"#0aFf", "\x0a\xff"},
        {"#0aF", "\x0a"},                    // a single trailing digit is ignored
        {"#0g g0", std::string("\0\0", 2)},  // pairs read as far as they are hexadecimal
        {"#a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniDocument document;
        const IniNode* entry = ReadValue(document, c.value);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry->Value().data()),
                              static_cast<size_t>(entry->Count())),
                  c.bytes);
    }
}

TEST(IniRead, TextEscapesAreReplacedPassByPass) {
    struct Case {
        const char* value;
        std::string text;
        std::string comment;
    } cases[] = {
        {"\"a[x5B]t]\"", "a\t", ""},  // the bracket made by the first pass takes part later
        {"\"q[x22]q\"", "q\"q", ""},         {"\"[e][x0D][x0A][x08][t]\"", "\r\n\r\n\b\t", ""},
        {"\"[x5B]x5B]\"", "[x5B]", ""},      {"\"[xFFFF]\"", "[xFFFF]", ""},  // 16-bit text only
        {"\"a;b\" ; note", "a;b", "; note"}, {"\"open ; end", "open ; end", ""},
        {"\"x\" tail ; c", "x", "; c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniDocument document;
        const IniNode* entry = ReadValue(document, c.value);
        ASSERT_EQ(entry->Kind(), NodeKind::Text);
        EXPECT_EQ(Bytes(entry->Value()), c.text);
        EXPECT_EQ(entry->Count(), static_cast<int32_t>(c.text.size()));
        EXPECT_EQ(Bytes(entry->Comment()), c.comment);
    }
}

TEST(IniRead, KeyLinesAreSplitAtTheFirstEquals) {
    IniDocument document;
    ASSERT_EQ(
        LoadText(document, "split.ini",
                 "[S]\r\n  Name \t=\t 5 , 6 ; five; six \r\nurl = \"a=b\"\r\n=3\r\nplain\r\n"),
        0);
    const IniNode* name = document.FindEntry("S", "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(Items<int32_t>(name), (std::vector<int32_t>{5, 6}));
    EXPECT_EQ(Bytes(name->Comment()), "; five; six");
    char text[8];
    document.GetString("S", "url", text, 0);
    EXPECT_STREQ(text, "a=b");
    EXPECT_EQ(Lines(SectionNamed(document, "S")), (Strings{"Name", "url"}));
}

TEST(IniRead, RepeatedSectionsAndKeysMergeIntoOne) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "repeat.ini", "[A]\r\nx = 1\r\n[B]\r\nx = 2\r\n[A]\r\nx = 3\r\n"),
              0);
    EXPECT_EQ(TopLevel(document), (Strings{"[A]", "[B]"}));
    EXPECT_EQ(Lines(SectionNamed(document, "A")), (Strings{"x"}));
    int32_t x = 0;
    document.GetIntArray("A", "x", &x, 1);
    EXPECT_EQ(x, 3);
}

TEST(IniRead, SecondFileMergesKeysAndSections) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "first.ini", "; top\r\n[S]\r\na = 1\r\nb = 2\r\n[T]\r\nt = 1\r\n"),
              0);
    ASSERT_EQ(LoadText(document, "second.ini",
                       "[N]\r\nn = 1\r\n; before S\r\n[S] ; again\r\nb = 20\r\nc = 30\r\n"),
              0);
    EXPECT_EQ(TopLevel(document), (Strings{"; top", "[S]", "[T]", "[N]", "; before S"}));
    const IniNode* s = SectionNamed(document, "S");
    EXPECT_EQ(Lines(s), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Bytes(s->Comment()), "; again");
    int32_t b = 0;
    document.GetIntArray("S", "b", &b, 1);
    EXPECT_EQ(b, 20);
    EXPECT_EQ(document.FileName(), testfiles::Scratch("second.ini"));
}

TEST(IniRead, LargeSectionsReplaceKeysInFileOrder) {
    // Large enough that keys are found through the index.
    std::string first = "[Big]\r\n", second = "[Big]\r\n";
    for (int i = 0; i < 100; ++i)
        first += "k" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    for (int i = 0; i < 100; i += 2) second += "k" + std::to_string(i) + " = -1\r\n";
    IniDocument document;
    ASSERT_EQ(LoadText(document, "big1.ini", first), 0);
    ASSERT_EQ(LoadText(document, "big2.ini", second), 0);
    Strings expected;
    for (int i = 1; i < 100; i += 2) expected.push_back("k" + std::to_string(i));
    for (int i = 0; i < 100; i += 2) expected.push_back("k" + std::to_string(i));
    const IniNode* big = SectionNamed(document, "Big");
    EXPECT_EQ(Lines(big), expected);
    const IniNode* k98 = document.FindKey(big, "k98");
    ASSERT_NE(k98, nullptr);
    EXPECT_EQ(big->KeyCursor(), 99);
    EXPECT_EQ(document.FindKey(big, static_cast<const char*>(nullptr)), k98);
    EXPECT_EQ(document.FindKey(big, "k3"), big->Entries()[1].get());
    EXPECT_EQ(document.FindKey(big, "k100"), nullptr);
    EXPECT_EQ(big->KeyCursor(), -1);
    EXPECT_EQ(document.RemoveEntry("Big", "k1"), 0);
    EXPECT_EQ(document.FindKey(big, "k3"), big->Entries()[0].get());
    EXPECT_EQ(document.HasSection("Big", "k1"), 0);
    for (int i = 0; i < 100; i += 3) document.RemoveEntry("Big", ("k" + std::to_string(i)).c_str());
    for (int i = 0; i < 100; ++i) {
        const std::string key = "k" + std::to_string(i);
        const bool kept = i % 3 != 0 && i != 1;
        EXPECT_EQ(document.HasSection("Big", key.c_str()), kept ? 1 : 0) << key;
        if (kept) {
            EXPECT_EQ(Bytes(big->Entries()[static_cast<size_t>(big->KeyCursor())]->Name()), key);
        }
    }
}

TEST(IniRead, HeaderNamesAndComments) {
    struct Case {
        const char* line;
        const char* name;
        const char* comment;
    } cases[] = {
        {"[Head] ; remark", "Head", "; remark"},
        {"[ Head ]", " Head ", ""},
        {"[Head]junk;c", "Head", ";c"},
        {"[a;b]", "a;b", ""},  // a ";" inside the name starts no comment
        {"[]", "", ""},
        {"[x]]", "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        IniDocument document;
        ASSERT_EQ(LoadText(document, "header.ini", std::string(c.line) + "\r\na = 1\r\n"), 0);
        ASSERT_EQ(document.Nodes().size(), 1u);
        const IniNode* section = document.Nodes()[0].get();
        EXPECT_EQ(Bytes(section->Name()), c.name);
        EXPECT_EQ(Bytes(section->Comment()), c.comment);
        EXPECT_EQ(Lines(section), (Strings{"a"})) << "keys after the header belong to it";
    }
}

TEST(IniRead, CommentLinesStayWhereTheyStood) {
    IniDocument document;
    ASSERT_EQ(
        LoadText(document, "comments.ini",
                 "; file\r\n   \r\n\r\n\r\n[A]\r\n; about a\r\na = 1\r\n\t\r\n"
                 "; about B\r\n[B]\r\nb = 2\r\n; trailing\r\n  \r\n\r\n; after\r\n; the end\r\n"),
        0);
    EXPECT_EQ(TopLevel(document), (Strings{"; file", ";", "[A]", ";", "; about B", "[B]"}));
    EXPECT_EQ(Lines(SectionNamed(document, "A")), (Strings{"; about a", "a"}));
    EXPECT_EQ(Lines(SectionNamed(document, "B")),
              (Strings{"b", "; trailing", ";", "; after", "; the end"}))
        << "comments after the last key stay in its section";
}

TEST(IniRead, TrailingCommentsWithoutSectionGoToTheTopLevel) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "only.ini", "; one\r\n;two\r\n"), 0);
    EXPECT_EQ(TopLevel(document), (Strings{"; one", ";two"}));
    IniDocument onlyBreaks;
    ASSERT_EQ(LoadText(onlyBreaks, "breaks.ini", "\r\n\r\n\n"), 0);
    EXPECT_TRUE(onlyBreaks.Nodes().empty()) << "empty lines leave no trace";
}

TEST(IniRead, Utf8MarkIsSkipped) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "mark.ini", "\xEF\xBB\xBF[First]\r\na = 1\r\n"), 0);
    EXPECT_TRUE(document.Utf8Mark());
    EXPECT_EQ(document.HasSection("First", "a"), 1);
    IniDocument plain;
    ASSERT_EQ(LoadText(plain, "plain.ini", "[First]\r\na = 1\r\n"), 0);
    EXPECT_FALSE(plain.Utf8Mark());
}

TEST(IniRead, LongLinesAreReadWhole) {
    std::string text(5000, 'x');
    std::string list = "1";
    for (int i = 2; i <= 600; ++i) list += "," + std::to_string(i);
    IniDocument document;
    ASSERT_EQ(LoadText(document, "long.ini",
                       "[L]\r\nt = \"" + text + "\" ; end\r\nn = " + list + "\r\n"),
              0);
    const IniNode* t = document.FindEntry("L", "t");
    EXPECT_EQ(t->Count(), 5000);
    EXPECT_EQ(Bytes(t->Comment()), "; end");
    const IniNode* n = document.FindEntry("L", "n");
    ASSERT_EQ(n->Count(), 600);
    EXPECT_EQ(Items<int32_t>(n).back(), 600);
}

TEST(IniRead, DroppedLinesAreRecordedWithTheirReason) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "dropped.ini",
                       "orphan = 1\r\n[Good]\r\nno equals\r\n\r\n=5\r\n[Bad\r\nlost = "
                       "2\r\n[Good]\nok = 1\r\n"),
              0);
    const auto& dropped = document.DroppedLines();
    ASSERT_EQ(dropped.size(), 5u);
    struct Expected {
        int32_t line;
        IniDroppedLine::Reason reason;
        const char* text;
    } expected[] = {
        {1, IniDroppedLine::OutsideSection, "orphan = 1"},
        {3, IniDroppedLine::NotAKey, "no equals"},
        {5, IniDroppedLine::NotAKey, "=5"},
        {6, IniDroppedLine::BadHeader, "[Bad"},
        {7, IniDroppedLine::OutsideSection, "lost = 2"},
    };
    for (size_t i = 0; i < dropped.size(); ++i) {
        EXPECT_EQ(dropped[i].line, expected[i].line);
        EXPECT_EQ(dropped[i].reason, expected[i].reason);
        EXPECT_EQ(dropped[i].text, expected[i].text);
        EXPECT_EQ(dropped[i].file, testfiles::Scratch("dropped.ini"));
    }
    EXPECT_EQ(Lines(SectionNamed(document, "Good")), (Strings{"ok"}));
}

// Everything the document made of each line, as a listener is told it.
class RecordingListener : public IniLineListener {
public:
    std::vector<std::string> told;
    void OnLine(const Line& line) override {
        static const char* const kKinds[] = {"Comment", "Header", "Key", "Dropped"};
        std::string record = std::to_string(line.number) + " " + kKinds[line.kind] + " <" +
                             std::string(line.text) + ">";
        if (line.kind == Line::Header || line.kind == Line::Key) {
            record += " [" + std::string(line.section) + "]";
        }
        if (line.kind == Line::Key) {
            record += " " + std::string(line.key) + " <" + std::string(line.value) + "> " +
                      std::to_string(line.items);
        }
        if (line.kind == Line::Dropped) record += " " + std::to_string(line.reason);
        told.push_back(record);
    }
};

TEST(IniRead, LinesAreToldAsReadAndSectionsAndKeysKeepTheirLines) {
    IniDocument document;
    RecordingListener listener;
    const std::string path =
        testfiles::Make("lines.ini",
                        "; top\r\norphan = 1\r\n[Good] ; c\r\na = 1, \"x,y\" ; z\r\n  "
                        "\r\n\r\n[Bad\r\n[Good]\nb = 3\ra = \"t\"\r\n");
    ASSERT_EQ(document.Load(path.c_str(), 0, 0, &listener), 0);
    EXPECT_EQ(listener.told, (Strings{
                                 "1 Comment <; top>",
                                 "2 Dropped <orphan = 1> 2",
                                 "3 Header <[Good] ; c> [Good]",
                                 "4 Key <a = 1, \"x,y\" ; z> [Good] a <1, \"x,y\"> 2",
                                 "7 Dropped <[Bad> 3",
                                 "8 Header <[Good]> [Good]",
                                 "9 Key <b = 3> [Good] b <3> 1",
                                 "10 Key <a = \"t\"> [Good] a <\"t\"> 1",
                             }));
    const IniNode* good = SectionNamed(document, "Good");
    EXPECT_EQ(good->Line(), 3) << "a section keeps the line of its first header";
    EXPECT_EQ(document.FindEntry("Good", "a")->Line(), 10) << "a key set twice: the value kept";
    EXPECT_EQ(document.FindEntry("Good", "b")->Line(), 9);

    // A second file: its new nodes carry their own lines; nodes made
    // directly carry none.
    ASSERT_EQ(LoadText(document, "more.ini", "\r\n[More]\r\nc = 1\r\n[Good]\r\nb = 4\r\n"), 0);
    EXPECT_EQ(SectionNamed(document, "More")->Line(), 2);
    EXPECT_EQ(good->Line(), 3);
    EXPECT_EQ(document.FindEntry("Good", "b")->Line(), 5);
    ASSERT_GE(document.AddKeyLine("d = 1", document.FindSection("Good")), 0);
    EXPECT_EQ(document.FindEntry("Good", "d")->Line(), 0);
    EXPECT_EQ(listener.told.size(), 8u) << "only the load it was given to is told";
}

TEST(IniRead, UnreadableFilesLeaveTheDocumentAlone) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "keep.ini", "[K]\r\nk = 1\r\n"), 0);
    std::string missing = testfiles::Scratch("absent.ini");
    std::remove(missing.c_str());
    EXPECT_EQ(document.Load(missing.c_str(), 0, 0), -1);
    EXPECT_EQ(document.FileName(), missing);
    EXPECT_EQ(LoadText(document, "empty.ini", ""), -1);
    EXPECT_EQ(TopLevel(document), (Strings{"[K]"}));

    std::string tooLong(256, 'p');
    EXPECT_EQ(document.Load(tooLong.c_str(), 0, 0), -1);
    EXPECT_EQ(document.FileName(), testfiles::Scratch("empty.ini")) << "a long path is not cut";

    IniDocument fresh;
    EXPECT_EQ(fresh.Load(nullptr, 0, 0), -1);
}

class IniLookup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(LoadText(document, "lookup.ini",
                           "[Install_00]\r\nName = \"Zug\"\r\nTrakoVersion = 5, 6\r\nKind = Zug\r\n"
                           "Flags = Y,N,Y,Y,N,Y,Y,N,Y,Y\r\n[Install_01]\r\nScript = \"b.txt\"\r\n"),
                  0);
    }
    IniDocument document;
};

TEST_F(IniLookup, SectionsAndCursors) {
    EXPECT_EQ(document.HasSection("Install_02", nullptr), 0);
    EXPECT_EQ(document.CurrentSection(), -1);
    EXPECT_EQ(document.HasSection("Install_01", nullptr), 1);
    EXPECT_EQ(document.CurrentSection(), 1);
    EXPECT_EQ(document.Nodes()[1]->KeyCursor(), 0);
    EXPECT_EQ(document.HasSection("Install_00", "Kind"), 1);
    EXPECT_EQ(document.Nodes()[0]->KeyCursor(), 2);
    EXPECT_EQ(document.HasSection("Install_00", "Script"), 0);
    EXPECT_EQ(document.Nodes()[0]->KeyCursor(), -1);
    EXPECT_EQ(document.FindSection(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(document.HasSection("install_00", nullptr), 0) << "names are case-sensitive";
    EXPECT_EQ(document.FindSection(static_cast<const char*>(nullptr)), -1);
    EXPECT_EQ(document.HasSection(u"Install_00", nullptr), 0) << "wide names in a narrow document";
}

TEST_F(IniLookup, MissingValuesReadAsEmpty) {
    char text[8];
    std::memset(text, 'x', sizeof text);
    const void* stored = document.GetString("Install_00", "Desc", text, 0);
    EXPECT_EQ(stored, EmptyValue);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(text[1], 'x') << "one terminator, nothing more";

    int32_t numbers[3] = {7, 7, 7};
    document.GetIntArray("Install_00", "TrakoPatch", numbers, 3);
    EXPECT_EQ(numbers[0], 7) << "a missing list writes nothing";
    EXPECT_EQ(document.GetIntArray("Install_09", "TrakoPatch", nullptr, 0), EmptyValue);
}

TEST_F(IniLookup, IntArraysCopyUpToMaxCount) {
    int32_t numbers[20];
    std::fill(std::begin(numbers), std::end(numbers), -9);
    document.GetIntArray("Install_00", "TrakoVersion", numbers, 20);
    EXPECT_EQ(numbers[0], 5);
    EXPECT_EQ(numbers[1], 6);
    EXPECT_EQ(numbers[2], -9);
    std::fill(std::begin(numbers), std::end(numbers), -9);
    document.GetIntArray("Install_00", "TrakoVersion", numbers, 1);
    EXPECT_EQ(numbers[0], 5);
    EXPECT_EQ(numbers[1], -9);
}

TEST_F(IniLookup, UntypedKeysReadAsEmptyAndZero) {
    const IniNode* kind = document.FindEntry("Install_00", "Kind");
    EXPECT_EQ(kind->Kind(), NodeKind::Untyped);
    EXPECT_EQ(Bytes(kind->Text()), "Zug");
    char text[4] = {'x', 'x', 'x', 'x'};
    document.GetString("Install_00", "Kind", text, 0);
    EXPECT_STREQ(text, "");
    int32_t numbers[2] = {7, 7};
    document.GetIntArray("Install_00", "Kind", numbers, 0);
    EXPECT_EQ(numbers[0], 0);
}

TEST_F(IniLookup, CopiesNeverReachPastTheStoredValue) {
    // Ten yes/no bytes read as ten 32-bit items: 12 stored bytes (with the
    // terminating zeros), the rest must come out as zero.
    uint8_t raw[40];
    std::memset(raw, 0xAA, sizeof raw);
    document.GetIntArray("Install_00", "Flags", raw, 0);
    EXPECT_EQ(raw[0], 1);
    EXPECT_EQ(raw[1], 0);
    for (size_t i = 12; i < sizeof raw; ++i) EXPECT_EQ(raw[i], 0) << "byte " << i;
}

TEST_F(IniLookup, CappedTextEndsWithATerminator) {
    char text[8];
    std::memset(text, 'x', sizeof text);
    document.GetString("Install_01", "Script", text, 3);
    EXPECT_STREQ(text, "b.t");
    EXPECT_EQ(text[4], 'x') << "maxCount + 1 characters at most";
    document.GetString("Install_01", "Script", text, 0);
    EXPECT_STREQ(text, "b.txt");
}

TEST_F(IniLookup, RemovingKeysAndSections) {
    EXPECT_EQ(document.RemoveEntry("Install_00", "Nope"), -1);
    EXPECT_EQ(document.RemoveEntry("Install_00", "Kind"), 0);
    EXPECT_EQ(Lines(document.Nodes()[0].get()), (Strings{"Name", "TrakoVersion", "Flags"}));
    EXPECT_EQ(document.RemoveEntry("Install_00", nullptr), 0);
    EXPECT_EQ(document.CurrentSection(), -1);
    EXPECT_EQ(TopLevel(document), (Strings{"[Install_01]"}));
    EXPECT_EQ(document.FindSection("Install_01"), 0);
    EXPECT_EQ(document.RemoveEntry("Install_00", nullptr), -1);
}

TEST(IniBuild, ReadingStepsCanBeCalledDirectly) {
    IniDocument document;
    EXPECT_EQ(document.AddKeyLine("a = 1", 0), -1) << "no section yet";
    EXPECT_EQ(document.AddSectionHeader("[S] ; c"), 0);
    EXPECT_EQ(document.AddSectionHeader("[T"), -1);
    EXPECT_EQ(document.AddKeyLine("a = 1, 2, 3", 0), 3);
    EXPECT_EQ(document.AddKeyLine("no equals", 0), -1);
    EXPECT_EQ(document.AddCommentLine("plain words", 0), 0);
    EXPECT_EQ(document.AddCommentLine("; top", -1), 1);
    EXPECT_EQ(document.AddCommentLine("; nowhere", 1), -1) << "index 1 is a comment";
    EXPECT_EQ(document.AddCommentLine("; nowhere", 7), -1);
    EXPECT_EQ(Lines(SectionNamed(document, "S")), (Strings{"a", ";plain words"}));
    const IniNode* again = document.GetOrAddSection("S");
    EXPECT_EQ(again, document.Nodes()[0].get());
    const IniNode* added = document.GetOrAddSection("New");
    EXPECT_EQ(added, document.Nodes()[2].get());
}

TEST(IniWideRead, Utf16FilesWithWideNames) {
    IniDocument document(true);
    std::string file = "\xFF\xFE" + testfiles::Utf16(
                                        "[Wide] ; c\r\nname = \"v[xFFFF]w\"\r\nempty = \"\"\r\n"
                                        "n = 1, 2\r\nword = Zug\r\n");
    ASSERT_EQ(LoadText(document, "wide.ini", file), 0);
    EXPECT_EQ(document.HasSection(u"Wide", u"name"), 1);
    EXPECT_EQ(document.HasSection("Wide", nullptr), 0) << "narrow names in a wide document";
    char16_t text[8];
    document.GetString(u"Wide", u"name", text, 0);
    EXPECT_EQ(std::u16string(text), std::u16string(u"v\xFFFFw"));
    EXPECT_EQ(document.HasSection(u"Wide", u"empty"), 0) << "an empty wide text is dropped";
    int32_t n[2] = {};
    document.GetIntArray(u"Wide", u"n", n, 2);
    EXPECT_EQ(n[1], 2);
    const IniNode* word = document.FindEntry(u"Wide", u"word");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->Kind(), NodeKind::Untyped);
    EXPECT_FALSE(word->Value().HoldsData());
    int32_t zeros[2] = {7, 7};
    document.GetIntArray(u"Wide", u"word", zeros, 0);
    EXPECT_EQ(zeros[0], 0);
    EXPECT_EQ(Bytes(document.Nodes()[0]->Comment()), testfiles::Utf16("; c"));
}

}  // namespace
