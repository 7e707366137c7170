// The decision for one file entry: the order in which the facts count, and
// that no fact is asked for once the decision is made.
#include "package/FileEntryDecision.h"
#include "package/HostDestination.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using fileentry::Answer;
using fileentry::Decision;

// Answers from the case and counts what was asked.
struct CaseFacts : fileentry::Facts {
    bool sourceExists = true;
    bool destinationNewer = false;
    int asked = 0;
    bool SourceExists() override {
        ++asked;
        return sourceExists;
    }
    bool DestinationNewer() override {
        ++asked;
        return destinationNewer;
    }
};

TEST(FileEntrySplit, AtTheFirstArrow) {
    struct Case {
        const char* text;
        bool hasArrow;
        const char* source;
        const char* destination;
    };
    const Case cases[] = {
        {"a.dat>>b.dat", true, "a.dat", "b.dat"},
        {"a.dat>>b>>c.dat", true, "a.dat", "b>>c.dat"},
        {"a.dat>>>b.dat", true, "a.dat", ">b.dat"},
        {">>b.dat", true, "", "b.dat"},
        {"a.dat>>", true, "a.dat", ""},
        {"a.dat>b.dat", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const fileentry::Entry entry = fileentry::Split(c.text);
        EXPECT_EQ(c.hasArrow, entry.hasArrow) << c.text;
        EXPECT_EQ(c.source, entry.source) << c.text;
        EXPECT_EQ(c.destination, entry.destination) << c.text;
    }
}

TEST(FileEntryDecision, FactsCountInTheInstallersOrder) {
    struct Case {
        const char* name;
        const char* text;
        bool sourceExists;
        bool destinationNewer;
        bool skipAllNewer;
        Decision expected;
        int asked;  // facts looked up before the decision was made
    };
    const Case cases[] = {
        {"no arrow asks nothing", "a.dat", false, false, false, Decision::Ignore, 0},
        {"a missing source outranks a bad destination", "a>>..\\x", false, false, false,
         Decision::SourceMissing, 1},
        {"a destination above the host is refused unlooked", "a>>..\\x", true, true, false,
         Decision::Refuse, 1},
        {"a device name is refused", "a>>Sub\\NUL.txt", true, false, false, Decision::Refuse, 1},
        {"an empty destination is refused", "a>>", true, false, false, Decision::Refuse, 1},
        {"a newer destination is asked about", "a>>b", true, true, false, Decision::AskNewer, 2},
        {"after keep-all it stays silently", "a>>b", true, true, true, Decision::KeepNewer, 2},
        {"missing, older or same age: copied", "a>>b", true, false, true, Decision::Copy, 2},
    };
    for (const Case& c : cases) {
        CaseFacts facts;
        facts.sourceExists = c.sourceExists;
        facts.destinationNewer = c.destinationNewer;
        EXPECT_EQ(c.expected, fileentry::Decide(fileentry::Split(c.text), facts, c.skipAllNewer))
            << c.name;
        EXPECT_EQ(c.asked, facts.asked) << c.name;
    }
}

// The destination is joined after the host folder's backslash, where Windows
// reads a run of separators as one.
TEST(HostDestination, JudgesTheResolvedPath) {
    struct Case {
        const char* destination;
        bool inside;
    };
    const Case cases[] = {
        {"\\\\\\Resourcen\\x.dat", true},
        {"\\Resourcen\\x.dat", true},
        {"/Resourcen/x.dat", true},
        {"\\\\x.dat", true},
        {"Resourcen\\\\x.dat", true},
        {"Resourcen//x.dat", true},
        {"Resourcen\\\\\\Neu\\x.dat", true},
        {"Sub\\..\\x.dat", true},
        {"Sub\\\\..\\x.dat", true},
        {"x.dat.", true},
        {"COM10.dat", true},
        {"\\..\\x.dat", false},
        {"\\\\..\\x.dat", false},
        {"Sub\\\\..\\..\\x.dat", false},
        {"Sub\\...\\x.dat", true},
        {"...\\x.dat", false},
        {"Sub\\. .\\..\\x.dat", false},
        {"\\", false},
        {"\\\\", false},
        {"/", false},
        {"\\.", false},
        {"Sub\\..\\", false},
        {". ", false},
        {"  ", false},
        {"", false},
        {"\\C:\\x.dat", false},
        {"x.dat:stream", false},
        {"\\NUL", false},
        {"Sub\\\\com1.dat", false},
        {"Sub\\NUL .dat", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.inside, hostdestination::NamesFileInside(c.destination)) << c.destination;
    }
}

TEST(FileEntryDecision, AnswersToTheNewerFileQuestion) {
    struct Case {
        Answer answer;
        bool replaces;
        bool skipAllNewerAfter;
    };
    const Case cases[] = {
        {Answer::Keep, false, false},
        {Answer::KeepAll, false, true},
        {Answer::Replace, true, false},
    };
    for (const Case& c : cases) {
        bool skipAllNewer = false;
        EXPECT_EQ(c.replaces, fileentry::Replaces(c.answer, skipAllNewer));
        EXPECT_EQ(c.skipAllNewerAfter, skipAllNewer);
    }
}

}  // namespace
