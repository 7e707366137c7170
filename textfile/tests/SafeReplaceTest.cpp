#include "textfile/SafeReplace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void MakeReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

std::string Scratch(const char* name) {
    return std::string(::testing::TempDir()) + name;
}

TEST(SafeReplace, TemporaryFileLiesBesideTheTarget) {
    EXPECT_EQ(safereplace::TemporaryPathFor("dir/list.txt"), "dir/list.txt.pakwerk-tmp");
}

TEST(SafeReplace, MissingAndWritableTargetsMayBeReplaced) {
    std::string target = Scratch("safe_missing.txt");
    std::remove(target.c_str());
    EXPECT_TRUE(safereplace::TargetWritable(target.c_str()));
    EXPECT_FALSE(Exists(target)) << "asking must not create the file";
    WriteAll(target, "old");
    EXPECT_TRUE(safereplace::TargetWritable(target.c_str()));
    EXPECT_EQ(ReadAll(target), "old") << "asking must not truncate the file";
    std::remove(target.c_str());
}

TEST(SafeReplace, ReadOnlyTargetIsRefused) {
#ifndef _WIN32
    if (geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
#endif
    std::string target = Scratch("safe_readonly.txt");
    WriteAll(target, "keep");
    MakeReadOnly(target, true);
    EXPECT_FALSE(safereplace::TargetWritable(target.c_str()));
    MakeReadOnly(target, false);
    std::remove(target.c_str());
}

TEST(SafeReplace, FlushedTemporaryReplacesTarget) {
    std::string target = Scratch("safe_target.txt");
    WriteAll(target, "old content");
    std::string temp = safereplace::TemporaryPathFor(target.c_str());
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_GE(std::fputs("new", out), 0);
    EXPECT_TRUE(safereplace::FlushToDisk(out));
    std::fclose(out);
    EXPECT_TRUE(safereplace::ReplaceWith(temp.c_str(), target.c_str()));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_FALSE(Exists(temp));
    std::remove(target.c_str());
}

TEST(SafeReplace, FailedMoveDeletesTemporaryAndKeepsTarget) {
    std::string temp = Scratch("safe_orphan.txt.pakwerk-tmp");
    WriteAll(temp, "new");
    std::string target = Scratch("no_such_folder/list.txt");
    EXPECT_FALSE(safereplace::ReplaceWith(temp.c_str(), target.c_str()));
    EXPECT_FALSE(Exists(temp));
}

}  // namespace
