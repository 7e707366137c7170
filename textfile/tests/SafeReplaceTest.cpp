#include "textfile/SafeReplace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

using testfiles::Exists;
using testfiles::Read;
using testfiles::Scratch;
using testfiles::Write;

TEST(SafeReplace, TemporaryFileLiesBesideTheTarget) {
    EXPECT_EQ(safereplace::TemporaryPathFor("dir/list.txt"), "dir/list.txt.pakwerk-tmp");
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

TEST(SafeReplace, FailedMoveDeletesTemporaryAndKeepsTarget) {
    std::string temp = Scratch("safe_orphan.txt.pakwerk-tmp");
    Write(temp, "new");
    std::string target = Scratch("no_such_folder/list.txt");
    EXPECT_FALSE(safereplace::ReplaceWith(temp.c_str(), target.c_str()));
    EXPECT_FALSE(Exists(temp));
}

}  // namespace
