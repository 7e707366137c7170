#include "textfile/SafeReplace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/TestFiles.h"

namespace {

using testfiles::Exists;
using testfiles::Read;
using testfiles::Scratch;
using testfiles::Write;

TEST(SafeReplace, TemporaryFileLiesBesideTheTargetWithANameNoLongerThanItsOwn) {
    struct Case {
        const char* target;
        const char* temporary;
    } cases[] = {
        {"host/Bodentexturen.txt", "host/~c430.tmp"},
        {"host/Texturen.txt", "host/~2508.tmp"},
        {"host/cabins.ini", "host/~4c1f.tmp"},
        {"host/CABINS.INI", "host/~4c1f.tmp"},
        {"host/Texte.ini", "host/~876d.tmp"},
        {"list.txt", "~28e7.tm"},
        {"host/a.ini", "host/~9860"},
        {"host/ab", "host/~0"},
        {"host/x", "host/~"},
        {"host/~", "host/_"},
        {"a/b.c/d", "a/b.c/~"},
#ifdef _WIN32
        {"C:\\Host\\ab", "C:\\Host\\~0"},
        {"C:x", "C:~"},
        {"C:\\Host/Sub\\cabins.ini", "C:\\Host/Sub\\~4c1f.tmp"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string temporary = safereplace::TemporaryPathFor(c.target);
        EXPECT_EQ(temporary, c.temporary);
        EXPECT_LE(temporary.size(), std::string(c.target).size());
    }
}

TEST(SafeReplace, MissingAndWritableTargetsMayBeReplaced) {
    std::string target = Scratch("safe_missing.txt");
    std::remove(target.c_str());
    EXPECT_TRUE(safereplace::TargetWritable(target.c_str()));
    EXPECT_FALSE(Exists(target)) << "asking must not create the file";
    Write(target, "old");
    EXPECT_TRUE(safereplace::TargetWritable(target.c_str()));
    EXPECT_EQ(Read(target), "old") << "asking must not truncate the file";
    std::remove(target.c_str());
}

TEST(SafeReplace, ReadOnlyTargetIsRefused) {
    if (!testfiles::ReadOnlyIsEnforced()) GTEST_SKIP() << "root writes read-only files";
    std::string target = Scratch("safe_readonly.txt");
    Write(target, "keep");
    testfiles::SetReadOnly(target, true);
    EXPECT_FALSE(safereplace::TargetWritable(target.c_str()));
    testfiles::SetReadOnly(target, false);
    std::remove(target.c_str());
}

TEST(SafeReplace, FlushedTemporaryReplacesTarget) {
    std::string target = Scratch("safe_target.txt");
    Write(target, "old content");
    std::string temp = safereplace::TemporaryPathFor(target.c_str());
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_GE(std::fputs("new", out), 0);
    EXPECT_TRUE(safereplace::FlushToDisk(out));
    std::fclose(out);
    EXPECT_TRUE(safereplace::ReplaceWith(temp.c_str(), target.c_str()));
    EXPECT_EQ(Read(target), "new");
    EXPECT_FALSE(Exists(temp));
    std::remove(target.c_str());
}

// The name holds the old or the new file at every moment of the move: a
// process killed in between, or a reader looking then, never finds none.
TEST(SafeReplace, TargetNameNeverGoesMissingDuringTheMove) {
    const std::string target = Scratch("safe_watched.txt");
    const std::string temp = safereplace::TemporaryPathFor(target.c_str());
    Write(target, "old");
    std::atomic<bool> done{false};
    std::atomic<int> missing{0};
    std::thread watcher([&] {
        while (!done) {
            if (!Exists(target)) ++missing;
        }
    });
    int moved = 0;
    for (; moved < 100; ++moved) {
        Write(temp, std::to_string(moved));
        if (!safereplace::ReplaceWith(temp.c_str(), target.c_str())) break;
    }
    done = true;
    watcher.join();
    EXPECT_EQ(moved, 100) << "a move failed";
    EXPECT_EQ(missing, 0) << "the target was missing while a move ran";
    std::remove(target.c_str());
}

TEST(SafeReplace, FailedMoveDeletesTemporaryAndKeepsTarget) {
    std::string target = Scratch("no_such_folder/list.txt");
    std::string temp = safereplace::TemporaryPathFor(Scratch("list.txt").c_str());
    Write(temp, "new");
    EXPECT_FALSE(safereplace::ReplaceWith(temp.c_str(), target.c_str()));
    EXPECT_FALSE(Exists(temp));
}

}  // namespace
