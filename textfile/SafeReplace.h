// Replacing a saved file whole, so that a full disk, a failing write or a
// crash never leaves a host's list half-written.
//
// A writer saves a file in four moves: check the target with TargetWritable,
// write everything to TemporaryPathFor(target) and check every write, make
// it durable with FlushToDisk, close it, then ReplaceWith moves it over the
// target. If anything fails before the move, the writer deletes the
// temporary file with remove() and reports the failure; the target is then
// exactly as it was.
#pragma once

#include <cstdio>
#include <string>

namespace safereplace {

// Temporary file for saving `target`: the same folder, so that the final
// move is a rename on one volume.
std::string TemporaryPathFor(const char* target);

// True when `target` does not exist or can be opened for writing. False for
// a read-only or locked file: a rename replaces such a file under POSIX and
// Wine, where Windows refuses, so a save must ask first.
bool TargetWritable(const char* target);

// Writes the stream's buffers and the system's cache of its file to disk.
// False when either fails. The stream stays open.
bool FlushToDisk(std::FILE* stream);

// Moves the closed, flushed `temporary` over `target`, replacing it.
// False when the move fails; the temporary file is then deleted and the
// target is unchanged.
bool ReplaceWith(const char* temporary, const char* target);

}  // namespace safereplace
