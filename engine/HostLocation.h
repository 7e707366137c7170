// Where the host program is installed, as its registration says.
//
// Construction reads "AppPath" under the key "Software\Velmar\KANTRA 8.00"
// of HKEY_LOCAL_MACHINE (32-bit view) and never fails: when the key or the
// value is missing, is not a text, does not fit 260 bytes, or names no
// absolute folder, the host counts as not installed. Nothing is shown either
// way. Absolute folders are drive paths ("C:\..." or "C:/...") and network
// shares ("\\server\share..."; a host installed on a share worked before,
// and only administrators write the value). Everything else would put the host
// somewhere that depends on the current folder (the package folder): empty,
// relative ("Host", "%SystemDrive%\Host": the text is not expanded),
// rooted on the current drive ("\Host"), drive-relative ("C:Host"), a lone
// "\" (the host would be "\\", a network path), and the device namespaces
// "\\.\" and "\\?\", where names are not resolved as folders.
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
