// The English texts of the engine's messages with their arguments filled in,
// as a user of an English system reads them. The engine's tests run with
// LC_ALL=en_US.
#pragma once

#include <string>

namespace englishmessages {

inline std::string ScriptMissing() {
  return "The skript file InstSkript.txt is missing. This contains installation information and "
         "must reside in the same directory as Pakwerk.";
}

inline std::string NewerFile(const std::string& existing, const std::string& installing) {
  return "The file: \n\n" + existing +
         "\n\nis of a newer version than the one it is to be replaced with: \n\n" + installing +
         ".\n\nIt is recommended to keep the file.  \n\nShould the present file be kept?";
}

inline std::string CopyFailed(const std::string& source, const std::string& destination) {
  return "Copying of the file " + source + " to " + destination +
         " failed. Maybe a write protection is set?";
}

inline std::string SourceMissing(const std::string& source) {
  return "A file from the installation script cannot be found.\n " + source;
}

}  // namespace englishmessages
