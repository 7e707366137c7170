#include "textfile/FileTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

using namespace textfile;

namespace {

struct HandlerCall {
    int32_t status;
    std::string name;
    std::string label;
};

std::vector<HandlerCall> calls;
int retriesLeft = 0;
void (*beforeAnswer)() = nullptr;

uint8_t Recording(int32_t status, const char* name, const char* label) {
    calls.push_back({status, name, label});
    if (beforeAnswer != nullptr) beforeAnswer();
    if (retriesLeft > 0) {
        --retriesLeft;
        return 1;
    }
    return 0;
}

class FileTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        retriesLeft = 0;
        beforeAnswer = nullptr;
        SetFileErrorHandler(Recording);
    }
    void TearDown() override {
        SetFileErrorHandler(nullptr);
        for (int32_t i = 0; i < kFileSlotCount; ++i) {
            if (FileSlotTable[i].mode != Closed) CloseFile(i);
        }
    }
    // A Memory slot holding `bytes`.
    int32_t Loaded(const std::string& name, const std::string& bytes) {
        int32_t handle = LoadWholeFile(testfiles::Make(name, bytes).c_str(), 0, 0);
        EXPECT_GE(handle, 0);
        return handle;
    }
};

TEST_F(FileTableTest, EleventhOpenFailsAndLeavesTheTenOpen) {
    std::string path = testfiles::Make("ten.txt", "x");
    for (int32_t i = 0; i < kFileSlotCount; ++i) {
        ASSERT_EQ(OpenFile(path.c_str(), "rb"), i);
    }
    EXPECT_EQ(OpenFile(path.c_str(), "rb"), -3);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].status, -3);
    EXPECT_EQ(calls[0].name, path);
    EXPECT_EQ(calls[0].label, "OpenFile");
    for (int32_t i = 0; i < kFileSlotCount; ++i) {
        EXPECT_EQ(FileSlotTable[i].mode, Stream);
        EXPECT_STREQ(FileSlotTable[i].name, path.c_str());
        EXPECT_EQ(FileSlotTable[i].length, 1u);
    }
}

TEST_F(FileTableTest, RetryAfterTheHandlerFreedASlotSucceeds) {
    std::string path = testfiles::Make("retry.txt", "x");
    for (int32_t i = 0; i < kFileSlotCount; ++i) ASSERT_EQ(OpenFile(path.c_str(), "rb"), i);
    retriesLeft = 1;
    beforeAnswer = [] { CloseFile(3); };
    EXPECT_EQ(OpenFile(path.c_str(), "rb"), 3);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(FileTableTest, FailedStepIsRepeatedWhileTheHandlerAsks) {
    std::string missing = testfiles::Scratch("no_such_file.txt");
    std::remove(missing.c_str());
    retriesLeft = 2;
    EXPECT_EQ(OpenFile(missing.c_str(), "rb"), -3);
    ASSERT_EQ(calls.size(), 3u);
    for (const HandlerCall& call : calls) {
        EXPECT_EQ(call.status, -3);
        EXPECT_EQ(call.label, "OpenFile");
    }
    calls.clear();
    retriesLeft = 1;
    EXPECT_EQ(LenFile(missing.c_str()), -3);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(FileSlotTable[0].mode, Closed);
}

TEST_F(FileTableTest, WrongHandlesAreReportedOnceWithTheirLabel) {
    int32_t closed = 4;
    char byte;
    struct Case {
        const char* what;
        int32_t result;
        const char* name;
        const char* label;
    } cases[] = {
        {"CloseFile(10)", CloseFile(10), "", "CloseFile"},
        {"CloseFile(-1)", CloseFile(-1), "", "CloseFile"},
        {"CloseFile(closed)", CloseFile(closed), "", "CloseFile"},
        {"ReadFile(closed)", ReadFile(closed, &byte, 1, 0), "", "ReadFile"},
        {"WriteFile(10)", WriteFile(10, "x", 1), "", "WriteFile"},
        {"WriteText(closed)", WriteText(closed, "%s", "x"), "", "WriteText"},
        {"SeekFile(-5)", SeekFile(-5, 0, 0), "", "SeekFile"},
        {"EoFile(10)", EoFile(10, 1), "", "EoFile"},
        {"EoFile(closed)", EoFile(closed, 1), "", "EoFile File not open"},
        {"FlushFile(closed)", FlushFile(closed), "", "FlushFile"},
    };
    retriesLeft = 100;  // wrong handles are never retried
    ASSERT_EQ(calls.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(cases[i].result, -6);
        EXPECT_EQ(calls[i].status, -6);
        EXPECT_EQ(calls[i].name, cases[i].name);
        EXPECT_EQ(calls[i].label, cases[i].label);
    }
}

TEST_F(FileTableTest, MemorySlotsRefuseStreamOperations) {
    int32_t handle = Loaded("memory.txt", "abc");
    char byte;
    EXPECT_EQ(ReadFile(handle, &byte, 1, 0), -6);
    EXPECT_EQ(WriteFile(handle, "x", 1), -6);
    EXPECT_EQ(WriteText(handle, "%s", "x"), -6);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].name, testfiles::Scratch("memory.txt"));
    EXPECT_EQ(FileSlotTable[handle].mode, Memory);
}

TEST_F(FileTableTest, TokenReadersRefuseSlotsWithoutData) {
    char word[8];
    EXPECT_EQ(ReadToken(2, word, 0, ' ', 0, 0, 0), -6);
    EXPECT_EQ(ReadFormatted(2, "%s", word), -1);
    const char* line;
    uint32_t length;
    EXPECT_EQ(ReadLine(12, &line, &length), -6);
}

TEST_F(FileTableTest, NameLongerThanTheSlotFieldIsRefused) {
    std::string name(kSlotNameSize, 'n');
    EXPECT_EQ(OpenFile(name.c_str(), "rb"), -3);
    EXPECT_EQ(LoadWholeFile(name.c_str(), 0, 1), -3);
    for (const FileSlot& slot : FileSlotTable) EXPECT_EQ(slot.mode, Closed);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].status, -3);
}

TEST_F(FileTableTest, LoadWholeFileKeepsTheBytesInAMemorySlot) {
    std::string path = testfiles::Make("whole.txt", "0123456789");
    int32_t handle = LoadWholeFile(path.c_str(), 0, 0);
    ASSERT_GE(handle, 0);
    const FileSlot& slot = FileSlotTable[handle];
    EXPECT_EQ(slot.mode, Memory);
    EXPECT_EQ(slot.length, 10u);
    EXPECT_EQ(slot.position, 0u);
    EXPECT_EQ(slot.stream, nullptr);
    EXPECT_STREQ(slot.name, path.c_str());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(slot.buffer), 10), "0123456789");
    EXPECT_EQ(CloseFile(handle), 0);
    EXPECT_EQ(slot.mode, Closed);
    EXPECT_EQ(slot.buffer, nullptr);

    handle = LoadWholeFile(path.c_str(), 3, 4);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(FileSlotTable[handle].buffer), 4), "3456");
    CloseFile(handle);
}

TEST_F(FileTableTest, LoadWholeFileFailuresLeaveNoSlotOpen) {
    std::string empty = testfiles::Make("empty.txt", "");
    std::string shortFile = testfiles::Make("short.txt", "abc");
    std::string missing = testfiles::Scratch("missing.txt");
    std::remove(missing.c_str());
    struct Case {
        const char* what;
        std::string path;
        int32_t offset, size;
    } cases[] = {
        {"empty file", empty, 0, 0},
        {"missing file", missing, 0, 0},
        {"more than the file holds", shortFile, 0, 10},
        {"offset before the start", shortFile, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LoadWholeFile(c.path.c_str(), c.offset, c.size), -3);
        for (const FileSlot& slot : FileSlotTable) EXPECT_EQ(slot.mode, Closed);
    }
}

TEST_F(FileTableTest, EndOfMemoryDataCountsUnits) {
    int32_t handle = Loaded("five.txt", "abcde");
    struct Case {
        uint32_t position;
        int32_t unitSize;
        int32_t atEnd;
    } cases[] = {
        {0, 1, 0},  {4, 1, 0},  {5, 1, 1}, {1, 2, 0}, {2, 2, 1},  // 5 bytes hold 2 units of 16 bits
        {4, -3, 0}, {5, -3, 1},  // a negative unit size counts as 1
        {4, 0, 0},  {5, 0, 1},   // and so does 0
    };
    for (const Case& c : cases) {
        FileSlotTable[handle].position = c.position;
        EXPECT_EQ(EoFile(handle, c.unitSize), c.atEnd)
            << "position " << c.position << " unit " << c.unitSize;
    }
}

TEST_F(FileTableTest, EndOfStreamLeavesThePositionAlone) {
    std::string path = testfiles::Make("stream.txt", "abc");
    int32_t handle = OpenFile(path.c_str(), "rb");
    char two[2];
    EXPECT_EQ(EoFile(handle, 1), 0);
    ASSERT_EQ(ReadFile(handle, two, 2, 0), 0);
    EXPECT_EQ(EoFile(handle, 2), 1);  // one byte is not a 16-bit unit
    EXPECT_EQ(EoFile(handle, 1), 0);
    EXPECT_EQ(ReadFile(handle, two, 1, 0), 0);
    EXPECT_EQ(two[0], 'c');
    EXPECT_EQ(EoFile(handle, 1), 1);
}

TEST_F(FileTableTest, MemorySeekStaysInsideTheData) {
    int32_t handle = Loaded("seek.txt", "0123456789");
    FileSlot& slot = FileSlotTable[handle];
    struct Case {
        const char* what;
        uint32_t from;
        int32_t offset, origin;
        int32_t result;
        uint32_t position;
    } cases[] = {
        {"from the start", 7, 4, 0, 0, 4},
        {"to the very end", 0, 10, 0, 0, 10},
        {"forward", 2, 3, 1, 0, 5},
        {"origin 2 goes back", 6, 4, 2, 0, 2},
        {"beyond the end", 3, 11, 0, -2, 0},
        {"before the start", 3, -4, 1, -2, 0},
        {"back past the start", 3, 4, 2, -2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        slot.position = c.from;
        calls.clear();
        EXPECT_EQ(SeekFile(handle, c.offset, c.origin), c.result);
        EXPECT_EQ(slot.position, c.position);
        EXPECT_EQ(calls.size(), c.result == 0 ? 0u : 1u);
    }
}

TEST_F(FileTableTest, ReadTokenStopsAtDelimitersOrTheLimit) {
    int32_t handle = Loaded("tokens.txt", "abcdef\r\nxy z\r\n");
    char token[16];
    ASSERT_EQ(ReadToken(handle, token, 3, '\n', '\r', 0, 0), 0);
    EXPECT_STREQ(token, "abc");
    EXPECT_EQ(FileSlotTable[handle].position, 3u);
    ASSERT_EQ(ReadToken(handle, token, 3, '\n', '\r', 0, 0), 0);
    EXPECT_STREQ(token, "def");
    EXPECT_EQ(FileSlotTable[handle].position, 8u);
    ASSERT_EQ(ReadToken(handle, nullptr, 0, ' ', 0, 0, 0), 0);
    EXPECT_EQ(FileSlotTable[handle].position, 11u);
    ASSERT_EQ(ReadToken(handle, token, 0, '\n', '\r', 0, 0), 0);
    EXPECT_STREQ(token, "z");
    EXPECT_EQ(EoFile(handle, 1), 1);
    ASSERT_EQ(ReadToken(handle, token, 0, '\n', '\r', 0, 0), 0);
    EXPECT_STREQ(token, "") << "at the end a token is empty";
}

TEST_F(FileTableTest, WideTokensWidenDelimitersWithTheirSign) {
    std::string bytes =
        testfiles::Utf16("ab") + std::string("\xFF\xFF", 2) + testfiles::Utf16("cd");
    int32_t handle = Loaded("wide.txt", bytes);
    char16_t token[8];
    ASSERT_EQ(ReadTokenWide(handle, token, 0, '\xFF', 0, 0, 0), 0);
    EXPECT_EQ(std::u16string(token), u"ab");
    EXPECT_EQ(FileSlotTable[handle].position, 3u);
    ASSERT_EQ(ReadTokenWide(handle, token, 0, '\xFF', 0, 0, 0), 0);
    EXPECT_EQ(std::u16string(token), u"cd");
}

TEST_F(FileTableTest, ReadFormattedTakesTokensAcrossLines) {
    int32_t handle = Loaded("numbers.txt", "12\r\n34\r\n");
    int32_t first = 0, second = 0;
    ASSERT_EQ(ReadFormatted(handle, "%d %d", &first, &second), 0);
    EXPECT_EQ(first, 12);
    EXPECT_EQ(second, 34);
    EXPECT_EQ(ReadFormatted(handle, "%d", &first), -1) << "at the end";
}

TEST_F(FileTableTest, ReadFormattedConversions) {
    int32_t handle =
        Loaded("mixed.txt", "skip this line\r\nword 2.5 ff -7 1f\r\nrest of  line\r\nQ\r\n" +
                                testfiles::Utf16("wide"));
    char word[16], rest[32], letter[2];
    float number = 0;
    uint32_t hex = 0;
    long wideInt = 0;
    unsigned long wideHex = 0;
    ASSERT_EQ(ReadFormatted(handle, "\n%s%F%X%ld%lx%ls%c", word, &number, &hex, &wideInt, &wideHex,
                            rest, letter),
              0);
    EXPECT_STREQ(word, "word");
    EXPECT_FLOAT_EQ(number, 2.5f);
    EXPECT_EQ(hex, 0xffu);
    EXPECT_EQ(wideInt, -7);
    EXPECT_EQ(wideHex, 0x1ful);
    EXPECT_STREQ(rest, "rest of  line");
    EXPECT_STREQ(letter, "Q");
}

TEST_F(FileTableTest, ReadFormattedWidthCapsAString) {
    int32_t handle = Loaded("capped.txt", "abcdefgh ij");
    char part[4] = {'x', 'x', 'x', 'x'};
    int32_t unused = 5;
    ASSERT_EQ(ReadFormatted(handle, "%3s%q%%", part, &unused), 0);
    EXPECT_STREQ(part, "abc");
    EXPECT_EQ(unused, 5) << "unknown conversions take no argument";
    char rest[16];
    ASSERT_EQ(ReadFormatted(handle, "%s", rest), 0);
    EXPECT_STREQ(rest, "defgh") << "the rest of the word is left for the next read";
}

TEST_F(FileTableTest, ReadLineTakesWholeLinesOfAnyLength) {
    std::string longLine(5000, 'x');
    std::string nul(1, '\0');
    int32_t handle = Loaded("lines.txt", "\r\n\r\nfirst\r\n" + longLine + "\nthird\rfourth" + nul +
                                             "fifth\r\n\r\n");
    std::vector<std::string> lines;
    const char* line;
    uint32_t length;
    while (ReadLine(handle, &line, &length) == 0) lines.emplace_back(line, length);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].size(), longLine.size());
    lines[1] = "long";
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "long", "third", "fourth", "fifth"}));
    EXPECT_EQ(EoFile(handle, 1), 1);
}

TEST_F(FileTableTest, StreamWritesAndReadsBack) {
    std::string path = testfiles::Scratch("written.txt");
    int32_t handle = OpenFile(path.c_str(), "wb");
    ASSERT_GE(handle, 0);
    EXPECT_EQ(WriteFile(handle, "ab", 2), 0);
    EXPECT_EQ(WriteFile(handle, "ignored", 0), 0);
    EXPECT_EQ(WriteText(handle, "%s=%d\n", "x", 42), 0);
    EXPECT_EQ(FlushFile(handle), 0);
    EXPECT_EQ(CloseFile(handle), 0);
    EXPECT_EQ(testfiles::Read(path), "abx=42\n") << "binary streams write LF as it is";
    EXPECT_EQ(LenFile(path.c_str()), 7);

    handle = OpenFile(path.c_str(), "rb");
    char buffer[8] = {};
    EXPECT_EQ(ReadFile(handle, buffer, 2, 0), 0);
    EXPECT_EQ(ReadFile(handle, nullptr, 3, 0), 0) << "continues after the previous read";
    EXPECT_STREQ(buffer, "abx=4");
    EXPECT_EQ(ReadFile(handle, nullptr, 5, 1), 2) << "partial reads give the count";
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(ReadFile(handle, nullptr, 1, 0), -1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].status, -1);
    EXPECT_EQ(calls[0].label, "ReadFile");
}

TEST_F(FileTableTest, ReadWithoutAnyDestinationFails) {
    std::string path = testfiles::Make("nodest.txt", "abc");
    int32_t handle = OpenFile(path.c_str(), "rb");
    EXPECT_EQ(ReadFile(handle, nullptr, 1, 0), -1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].status, -6);
}

TEST_F(FileTableTest, ShortReadRetriesTheWholeCount) {
    std::string path = testfiles::Make("shortread.txt", "abc");
    int32_t handle = OpenFile(path.c_str(), "rb");
    char buffer[8] = {};
    retriesLeft = 2;
    EXPECT_EQ(ReadFile(handle, buffer, 5, 0), -1);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_STREQ(buffer, "abc") << "every retry read the same bytes again";
}

#ifndef _WIN32
TEST_F(FileTableTest, FailedCloseIsReportedOnceAndFreesTheSlot) {
    int32_t handle = OpenFile("/dev/full", "wb");
    if (handle < 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(WriteFile(handle, "data", 4), 0);  // buffered; the close must write it
    retriesLeft = 5;
    EXPECT_EQ(CloseFile(handle), -5);
    ASSERT_EQ(calls.size(), 1u) << "a stream cannot be closed twice";
    EXPECT_EQ(calls[0].label, "CloseFile");
    EXPECT_EQ(FileSlotTable[handle].mode, Closed);
}

TEST_F(FileTableTest, FailedFlushIsReported) {
    int32_t handle = OpenFile("/dev/full", "wb");
    if (handle < 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(WriteFile(handle, "data", 4), 0);
    EXPECT_EQ(FlushFile(handle), -8);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].label, "FlushFile");
}
#endif

TEST_F(FileTableTest, ModeStartingWithTReadsTheWholeFile) {
    std::string path = testfiles::Make("tmode.txt", "hello");
    int32_t handle = OpenFile(path.c_str(), "t");
    ASSERT_GE(handle, 0);
    EXPECT_EQ(FileSlotTable[handle].mode, Memory);
    EXPECT_EQ(FileSlotTable[handle].length, 5u);
}

}  // namespace
