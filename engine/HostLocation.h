// Where the host program is installed, as its registration says.
//
// Construction reads "AppPath" under the key "Software\Velmar\KANTRA 8.00"
// of HKEY_LOCAL_MACHINE (32-bit view) and never fails: when the key or the
// value is missing, is not a text, is empty or does not fit 260 bytes, the
// host counts as not installed. Nothing is shown either way.
//
//   HostFound  true when a host folder was read
//   HostPath   the folder with one backslash appended (also when it already
//              ends with one); empty when the host was not found. Every
//              destination is HostPath() followed directly by a relative path.
#pragma once

#include <string>

class HostLocation {
public:
    HostLocation();

    bool HostFound() const { return !hostPath.empty(); }
    const std::string& HostPath() const { return hostPath; }

protected:
    std::string hostPath;

private:
    void LocateHost();
};
