#include "textfile/IniDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "IniTestSupport.h"
#include "textfile/SafeReplace.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

using initest::Bytes;
using initest::LoadText;

namespace {

// Loads `input`, saves it, and gives the saved bytes. The same done in
// memory (LoadBytes, SavedBytes) must give the same bytes.
std::string SavedForm(const std::string& input, bool wide = false) {
    IniDocument document(wide);
    EXPECT_EQ(LoadText(document, "canon_in.ini", input), 0);
    std::string out = testfiles::Scratch("canon_out.ini");
    EXPECT_EQ(document.Save(out.c_str()), 0);
    std::string saved = testfiles::Read(out);
    IniDocument inMemory(wide);
    EXPECT_EQ(inMemory.LoadBytes(input), 0);
    EXPECT_EQ(inMemory.SavedBytes(), saved) << "in memory";
    return saved;
}

TEST(IniWrite, LoadAndSaveGiveTheCanonicalForm) {
    const std::string input =
        "; header comment\r\n"
        "   \r\n"
        "\r\n"
        "[Main] ;main comment\r\n"
        "  Int =  1 , 2\r\n"
        "Float=0.1,2\n"
        "Hex = 0x10, 0x12345\r\n"
        "Flags = y,n\r\n"
        "Bytes = #0A0b\r\n"
        "Text = \"q[x22] [t] [e]\"  ; said\r\n"
        "Empty = \"\"\r\n"
        "Word = Zug, Bahn ; kept\r\n"
        "Bare =\r\n"
        "dropped line\r\n"
        "; before a header\r\n"
        "[Empty]\r\n"
        "; after the last header\r\n";
    const std::string expected =
        "; header comment\r\n"
        ";\r\n"
        "[Main] ;main comment\r\n"
        "Int\t = 1,2\r\n"
        "Float\t = 0.100,2.000\r\n"
        "Hex\t = 0x0010,0x12345\r\n"
        "Flags\t = Y,N\r\n"
        "Bytes\t = #0a0b\r\n"
        "Text\t = \"q[x22] [t] [e]\" ; said\r\n"
        "Empty\t = \"\"\r\n"
        "Word\t = Zug, Bahn ; kept\r\n"
        "Bare\t =\r\n"
        "\r\n"
        "; before a header\r\n"
        "[Empty]\r\n"
        "\r\n"
        "; after the last header\r\n";
    std::string saved = SavedForm(input);
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(SavedForm(saved), saved) << "the canonical form is stable";
}

TEST(IniWrite, ValuesInCanonicalSyntax) {
    struct Case {
        const char* value;
        const char* written;
    } cases[] = {
        {"1", "1"},
        {"-4, 2147483647", "-4,2147483647"},
        {"0x10", "0x0010"},
        {"0xABCDEF12", "0xabcdef12"},
        {"0.1, 2", "0.100,2.000"},
        {"-0.0005", "-0.001"},
        {"1e30.", "1000000015047466219876688855040.000"},
        {"Y,N", "Y,N"},
        {"yes", "Y"},
        {"#", "#"},
        {"\"\"", "\"\""},
        {"\"a\\b\"", "\"a\\b\""},
        {"Zug", "Zug"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(SavedForm(std::string("[S]\r\nk = ") + c.value + "\r\n"),
                  std::string("[S]\r\nk\t = ") + c.written + "\r\n\r\n");
    }
}

TEST(IniWrite, TextsSurviveEscapingAndReading) {
    IniDocument document;
    ASSERT_EQ(
        LoadText(document, "escapes.ini",
                 "[E]\r\nt = \"[x5B]q[x22]\tx[t][e][x0A][x0D][x08]]\"\r\nu = \"[x0D][x0A]\"\r\n"),
        0);
    const std::string text = Bytes(document.FindEntry("E", "t")->Value());
    ASSERT_EQ(text, "[q\"\tx\t\r\n\n\r\b]");
    std::string path = testfiles::Scratch("escapes_out.ini");
    ASSERT_EQ(document.Save(path.c_str()), 0);
    EXPECT_EQ(testfiles::Read(path),
              "[E]\r\nt\t = \"[x5B]q[x22][t]x[t][e][x0A][x0D][x08]]\"\r\nu\t = \"[e]\"\r\n\r\n");
    IniDocument again;
    ASSERT_EQ(again.Load(path.c_str(), 0, 0), 0);
    EXPECT_EQ(Bytes(again.FindEntry("E", "t")->Value()), text);
    EXPECT_EQ(Bytes(again.FindEntry("E", "u")->Value()), "\r\n");
}

TEST(IniWrite, ATextSpellingAnEscapeReadsBackAsTheEscapedCharacter) {
    // Stored files rely on the order of the passes: "[x5B]t]" is a TAB.
    IniDocument document;
    ASSERT_EQ(LoadText(document, "spelled.ini", "[S]\r\nk = \"a[x5B]t]\"\r\n"), 0);
    EXPECT_EQ(Bytes(document.FindEntry("S", "k")->Value()), "a\t");
}

TEST(IniWrite, MergedDocumentKeepsTheFirstFilesOrder) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "host.ini", "[A]\r\nx = 1\r\ny = 2\r\n[B]\r\nb = 1\r\n"), 0);
    ASSERT_EQ(LoadText(document, "package.ini", "[C]\r\nc = 1\r\n[A]\r\nx = 5\r\nz = 3\r\n"), 0);
    std::string path = testfiles::Scratch("merged.ini");
    ASSERT_EQ(document.Save(path.c_str()), 0);
    EXPECT_EQ(testfiles::Read(path),
              "[A]\r\ny\t = 2\r\nx\t = 5\r\nz\t = 3\r\n\r\n"
              "[B]\r\nb\t = 1\r\n\r\n"
              "[C]\r\nc\t = 1\r\n\r\n");
}

TEST(IniWrite, CommentsAfterTheLastKeyFollowTheClosingEmptyLine) {
    // Where a reader puts them back: into the last section at the end of
    // the file, to the top level before the next header.
    const std::string input =
        "[A]\r\na = 1\r\n; end of A\r\nno key here\r\n[B]\r\n; end of file\r\n";
    const std::string saved = SavedForm(input);
    EXPECT_EQ(saved, "[A]\r\na\t = 1\r\n\r\n; end of A\r\n[B]\r\n\r\n; end of file\r\n");
    EXPECT_EQ(SavedForm(saved), saved);
}

TEST(IniWrite, CommentsBeforeAMergedHeaderStayAtTheEnd) {
    IniDocument document;
    ASSERT_EQ(LoadText(document, "host2.ini", "[A]\r\na = 1\r\n"), 0);
    ASSERT_EQ(LoadText(document, "package2.ini", "; from the package\r\n[A]\r\nb = 2\r\n"), 0);
    std::string path = testfiles::Scratch("merged2.ini");
    ASSERT_EQ(document.Save(path.c_str()), 0);
    const std::string saved = testfiles::Read(path);
    EXPECT_EQ(saved, "[A]\r\na\t = 1\r\nb\t = 2\r\n\r\n; from the package\r\n");
    EXPECT_EQ(SavedForm(saved), saved);
}

TEST(IniWrite, EmptyDocumentGivesAnEmptyFile) {
    IniDocument document;
    std::string path = testfiles::Make("empty_out.ini", "old");
    ASSERT_EQ(document.Save(path.c_str()), 0);
    EXPECT_EQ(testfiles::Read(path), "");
}

TEST(IniWrite, Utf8MarkIsWrittenBack) {
    EXPECT_EQ(SavedForm("\xEF\xBB\xBF[M]\r\nk = 1\r\n"), "\xEF\xBB\xBF[M]\r\nk\t = 1\r\n\r\n");
}

TEST(IniWrite, SaveWithoutPathWritesTheLoadedFile) {
    IniDocument document;
    std::string path = testfiles::Make("inplace.ini", "[P]\nk=1\n");
    ASSERT_EQ(document.Load(path.c_str(), 0, 0), 0);
    ASSERT_EQ(document.Save(nullptr), 0);
    EXPECT_EQ(testfiles::Read(path), "[P]\r\nk\t = 1\r\n\r\n");
    IniDocument never;
    EXPECT_EQ(never.Save(nullptr), -1);
}

TEST(IniWrite, WideDocumentsWriteUtf16) {
    const std::string input =
        "\xFF\xFE" + testfiles::Utf16("[W] ; c\r\nk = \"v[t]\"\r\nn = 0x1\r\n");
    const std::string expected =
        "\xFF\xFE" + testfiles::Utf16("[W] ; c\r\nk\t = \"v[t]\"\r\nn\t = 0x0001\r\n\r\n");
    std::string saved = SavedForm(input, true);
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(SavedForm(saved, true), saved);
}

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        target = testfiles::Make("target.ini", original);
        ASSERT_EQ(LoadText(document, "source.ini", "[New]\r\nk = 1\r\n"), 0);
    }
    void TearDown() override {
        testfiles::SetReadOnly(target, false);
        std::filesystem::remove(target);
    }
    void ExpectTargetUntouched() {
        EXPECT_EQ(testfiles::Read(target), original);
        EXPECT_FALSE(testfiles::Exists(safereplace::TemporaryPathFor(target.c_str())));
    }
    const std::string original = "[Old]\r\nkeep = 1\r\n";
    std::string target;
    IniDocument document;
};

TEST_F(SafeSave, ReadOnlyTargetIsNotReplaced) {
    if (!testfiles::ReadOnlyIsEnforced()) GTEST_SKIP() << "root writes read-only files";
    testfiles::SetReadOnly(target, true);
    EXPECT_EQ(document.Save(target.c_str()), -1);
    ExpectTargetUntouched();
}

TEST_F(SafeSave, UnwritableTemporaryFileLeavesTheTarget) {
    std::string blocker = safereplace::TemporaryPathFor(target.c_str());
    std::filesystem::create_directory(blocker);
    EXPECT_EQ(document.Save(target.c_str()), -1);
    EXPECT_EQ(testfiles::Read(target), original);
    std::filesystem::remove(blocker);
}

TEST_F(SafeSave, MissingFolderOrLongPathIsRefused) {
    EXPECT_EQ(document.Save(testfiles::Scratch("no_folder/x/target.ini").c_str()), -1);
    std::string tooLong = target + std::string(256, 'x');
    EXPECT_EQ(document.Save(tooLong.c_str()), -1);
    EXPECT_EQ(document.FileName(), testfiles::Scratch("no_folder/x/target.ini"));
}

TEST_F(SafeSave, SuccessfulSaveLeavesNoTemporaryFile) {
    EXPECT_EQ(document.Save(target.c_str()), 0);
    EXPECT_EQ(testfiles::Read(target), "[New]\r\nk\t = 1\r\n\r\n");
    EXPECT_FALSE(testfiles::Exists(safereplace::TemporaryPathFor(target.c_str())));
}

#ifndef _WIN32
TEST_F(SafeSave, FailingWriteLeavesTheTarget) {
    // A document far larger than the file size limit: a write fails midway.
    std::string big = "[Big]\r\n";
    for (int i = 0; i < 20000; ++i)
        big += "key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    IniDocument large;
    ASSERT_EQ(LoadText(large, "big_source.ini", big), 0);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    int32_t result = large.Save(target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, -1);
    ExpectTargetUntouched();
}
#endif

}  // namespace
