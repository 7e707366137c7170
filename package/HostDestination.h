// Whether a destination named by an install script stays inside the host
// folder. Pure string logic, shared by the file installation (which refuses
// such destinations) and by the package checker, which must judge them by
// the same rule on every system.
//
//   NamesFileInside  true when the relative `destination` names something
//                    below the folder it is joined to: not empty, not rooted
//                    ("\x", "/x"), no drive or stream (":"), no device name
//                    (CON, NUL, COM1, ... with any extension), and never
//                    climbing above the folder with ".." (or "...", which
//                    Windows trims to "..")
#pragma once

#include <cctype>
#include <string>

namespace hostdestination {

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows trims trailing dots from names, so any name of dots only (beyond
// a single one) is taken for a step up.
inline bool IsStepUp(const std::string& name) {
    return name.size() >= 2 && name.find_first_not_of('.') == std::string::npos;
}

// CON, NUL, COM1 and the like name devices in every folder, with any
// extension: writing to one leaves the host folder.
inline bool IsDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

inline bool NamesFileInside(const std::string& destination) {
    if (destination.empty() || IsSeparator(destination[0])) return false;
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
        } else if (!name.empty() && name != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return depth > 0;
}

}  // namespace hostdestination
