// What the file installation does with one entry of "Dateinstallation".
//
// An entry reads source>>destination: split at the first ">>", the source
// relative to the package folder, the destination relative to the host
// folder. The decision is pure logic over a few facts about the two files;
// the installer answers them from the file system, the package checker from
// its picture of the host as the run leaves it, so both decide alike.
//
//   Split     the entry's parts; hasArrow false when there is no ">>"
//   Decide    in this order: no ">>" -> Ignore; the source missing ->
//             SourceMissing; the destination leaving the host folder
//             (HostDestination.h), or resolving outside it as the system
//             reads it -> Refuse; the destination newer than the
//             source -> KeepNewer once the user said to keep every newer
//             file, else AskNewer; otherwise -> Copy. A fact is asked for
//             only when the decision gets to it, so nothing is looked up
//             outside the host folder.
//   Replaces  after AskNewer: true when the user's answer lets the copy go
//             ahead (Replace); KeepAll also sets `skipAllNewer`
#pragma once

#include <string>

namespace fileentry {

struct Entry {
    bool hasArrow = false;
    std::string source;       // relative to the package folder, as written
    std::string destination;  // relative to the host folder, as written
};

Entry Split(const std::string& text);

// The facts a decision may need, asked for lazily.
class Facts {
public:
    virtual bool SourceExists() = 0;
    // The destination, resolved as the system opens it, lies inside the host
    // folder. Asked only of a destination that passed the byte rule of
    // HostDestination.h; without a system to ask, that rule decides alone.
    virtual bool DestinationResolvesInside() { return true; }
    // The destination exists and was last written strictly later than the
    // source (see the file installation for the exact rule).
    virtual bool DestinationNewer() = 0;

protected:
    ~Facts() = default;
};

enum class Decision {
    Ignore,         // no ">>": nothing happens and nothing is said
    SourceMissing,  // reported (message 108); the step's result stays
    Refuse,         // never written; reported like a failed copy (message 107)
    KeepNewer,      // the newer destination stays, without a question
    AskNewer,       // the user is asked whether the newer destination stays (103)
    Copy,           // copied over whatever is there
};

Decision Decide(const Entry& entry, Facts& facts, bool skipAllNewer);

// The user's answer to the newer-file question.
enum class Answer {
    Keep,     // this newer file stays
    KeepAll,  // this and every later newer file of the run stay
    Replace,  // the package's file is copied over it
};

bool Replaces(Answer answer, bool& skipAllNewer);

}  // namespace fileentry
