// Replacing a saved file whole, so that a full disk, a failing write or a
// crash never leaves a host's list half-written.
//
// A writer saves a file in four moves: check the target with TargetWritable,
// write everything to TemporaryPathFor(target) with Write and check every
// write, make it durable with FlushToDisk, Close it, then ReplaceWith moves
// it over the target. If anything fails before the move, the writer deletes
// the temporary file with remove() and reports the failure; the target is
// then exactly as it was. The INI document (through the file table) and the
// texture list both save this way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace safereplace {

// Temporary file for saving `target`: the same folder, so that the final
// move is a rename on one volume, and a name never longer than the target's
// own, so that the temporary path fits wherever the target's path does. The
// name is "~HHHH.tmp", HHHH four hex digits of a hash of the target's name
// (without case), so that saves of different files in one folder do not
// share it; cut to the length of the target's name when that is shorter
// ("a.ini" gives "~HHHH", "x" gives "~"), with "_" for the "~" when it would
// be the target's own name (compared without case). A temporary file left
// by a save that was killed is simply overwritten by the next save.
std::string TemporaryPathFor(const char* target);

// True when `target` does not exist or can be opened for writing. False for
// a read-only or locked file: a rename replaces such a file under POSIX and
// Wine, where Windows refuses, so a save must ask first.
bool TargetWritable(const char* target);

// Writes `size` bytes to the stream. False when not all of them were written.
bool Write(std::FILE* stream, const void* data, std::size_t size);

// Writes the stream's buffers and the system's cache of its file to disk.
// False when either fails. The stream stays open.
bool FlushToDisk(std::FILE* stream);

// Closes the stream; it is released even when the close fails (the data
// may then be lost). False when the close failed.
bool Close(std::FILE* stream);

// Moves the closed, flushed `temporary` over `target` in one rename, so
// that the target's name holds the old or the new content at every moment,
// even when the process is killed or the machine stops during the move. On
// Windows the new file takes over the target's hidden, system and
// not-indexed attributes and its creation time; its security is what the
// folder gives a new file. False when the move fails; the temporary file is
// then deleted and the target is unchanged.
bool ReplaceWith(const char* temporary, const char* target);

// Test seam: FailStep(n) makes the n-th of the following calls of Write,
// FlushToDisk, Close and ReplaceWith fail as the system reports such a
// failure: Write and FlushToDisk with "disk full" before writing anything,
// Close after releasing the stream, ReplaceWith with "access denied" before
// moving anything (deleting the temporary file as a failed move does). Every
// call counts, in any module, whether the step fails or not. FailStep(0)
// turns the seam off; off, a call costs one comparison. StepsCounted gives
// the number of calls counted since the last FailStep: after a save that
// failed it is at least n exactly when the failure was the injected one.
void FailStep(int n);
int StepsCounted();

}  // namespace safereplace
