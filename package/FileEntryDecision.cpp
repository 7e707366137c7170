#include "package/FileEntryDecision.h"

#include "package/HostDestination.h"

namespace fileentry {

Entry Split(const std::string& text) {
    Entry entry;
    const std::size_t arrow = text.find(">>");
    if (arrow == std::string::npos) return entry;
    entry.hasArrow = true;
    entry.source = text.substr(0, arrow);
    entry.destination = text.substr(arrow + 2);
    return entry;
}

Decision Decide(const Entry& entry, Facts& facts, bool skipAllNewer) {
    if (!entry.hasArrow) return Decision::Ignore;
    if (!facts.SourceExists()) return Decision::SourceMissing;
    if (!hostdestination::NamesFileInside(entry.destination) ||
        !facts.DestinationResolvesInside()) {
        return Decision::Refuse;
    }
    if (facts.DestinationNewer()) return skipAllNewer ? Decision::KeepNewer : Decision::AskNewer;
    return Decision::Copy;
}

bool Replaces(Answer answer, bool& skipAllNewer) {
    if (answer == Answer::KeepAll) skipAllNewer = true;
    return answer == Answer::Replace;
}

}  // namespace fileentry
