// Whether a destination named by an install script stays inside the host
// folder. Pure string logic, shared by the file installation (which refuses
// such destinations) and by the package checker, which must judge them by
// the same rule on every system.
//
// The installer joins a destination directly after the host folder's
// closing backslash ("C:\Host\" + "\Res\x.dat"), so a leading separator
// never starts the path: it only makes a run of separators in the middle,
// and Windows reads every such run as one. Empty names therefore count for
// nothing, wherever they stand.
//
//   NamesFileInside  true when the relative `destination` names something
//                    below the folder it is joined to, after ".", "..",
//                    leading and doubled separators are resolved: it names
//                    more than the folder itself (not empty, not only
//                    separators, not "Sub\.."), holds no drive or stream
//                    (":"), no device name (CON, NUL, COM1, ... with any
//                    extension), and never climbs above the folder with ".."
//                    (or "...", ". .", which Windows and Wine may trim to
//                    ".." or to nothing)
#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace hostdestination {

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows trims trailing dots and blanks from names, so a name of nothing
// else might end up as "..", as "." or as a name of its own. Taking every
// such name with two dots or more for a step up, and the others for no step
// at all, never places a destination deeper than Windows does.
inline bool IsOnlyDotsAndBlanks(const std::string& name) {
    return name.find_first_not_of(". ") == std::string::npos;
}

inline bool IsStepUp(const std::string& name) {
    return IsOnlyDotsAndBlanks(name) && std::count(name.begin(), name.end(), '.') >= 2;
}

// CON, NUL, COM1 and the like name devices in every folder, with any
// extension: writing to one leaves the host folder.
inline bool IsDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    // "NUL " is the device as well.
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

inline bool NamesFileInside(const std::string& destination) {
    // A colon names a drive ("C:x") or a stream; neither belongs here.
    if (destination.find(':') != std::string::npos) return false;
    int depth = 0;
    size_t start = 0;
    while (start <= destination.size()) {
        size_t end = start;
        while (end < destination.size() && !IsSeparator(destination[end])) ++end;
        const std::string name = destination.substr(start, end - start);
        if (IsStepUp(name)) {
            if (--depth < 0) return false;
        } else if (IsDeviceName(name)) {
            return false;
        } else if (!IsOnlyDotsAndBlanks(name)) {
            ++depth;
        }
        start = end + 1;
    }
    return depth > 0;
}

}  // namespace hostdestination
