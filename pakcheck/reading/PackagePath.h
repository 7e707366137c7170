// Finding the files a package names the way Windows finds them: scripts
// write paths with backslashes (Windows takes "/" as well) and Windows
// ignores the case of names. On a case-sensitive file system a name that
// exists only in another case is still found, and Resolve says so.
//
//   Resolve  Exact: `path` names the file as written; OtherCase: `path` names
//            the file whose name differs in case; Missing: nothing there
//            (`path` is the literal mapping, and `withBlanks` names a file
//            whose name differs only by blanks, which the install script
//            reader cannot carry, when there is one)
//   Key      a form of a relative path in which two paths that Windows takes
//            for the same file are equal ("A\.\b" and "a/B"); empty for a
//            path that climbs above its folder
#pragma once

#include <string>
#include <vector>

namespace pakcheck {

namespace packagepath {

enum class Match { Exact, OtherCase, Missing };

struct Resolved {
    Match match = Match::Missing;
    std::string path;        // in this system's form
    std::string withBlanks;  // Missing only: a file named with blanks, or empty
};

// The names of a relative path, split at "\" and "/", without empty names.
std::vector<std::string> Split(const std::string& relative);

// `root` joined with `relative`, separators mapped, nothing looked up.
std::string Literal(const std::string& root, const std::string& relative);

Resolved Resolve(const std::string& root, const std::string& relative);

std::string Key(const std::string& relative);

// ASCII letters folded to lower case, as names are compared on Windows.
std::string Folded(const std::string& name);

}  // namespace packagepath

}  // namespace pakcheck
