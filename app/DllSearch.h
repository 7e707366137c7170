// Where the program's libraries come from. Pakwerk runs as administrator from
// a package folder the user downloaded, pakundo from the restore folder: a
// library of the same name as a system one, put beside either program by
// someone without administrator rights, must never be loaded. Both programs
// call LimitOrStop as the first statement of WinMain, before anything else
// may load a library; every later LoadLibrary names the system folder too.
//
//   LimitToSystemFolder  makes System32 the only folder that LoadLibrary
//                        and the libraries it brings in search
//                        (SetDefaultDllDirectories); false when this Windows
//                        lacks that function (before Windows 8 without its
//                        security update) or refuses the call
//   LimitOrStop          LimitToSystemFolder; when that fails, says so
//                        (message 118) and returns false: the program must
//                        then end without doing anything else
#pragma once

namespace dllsearch {

bool LimitToSystemFolder();
bool LimitOrStop();

}  // namespace dllsearch
