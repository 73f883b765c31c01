#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"

// What a console program (the companion tool) asks of the system. Two
// versions, chosen by CMake: Console_win.cpp and Console_posix.cpp.
namespace fichelia::console {

// Makes standard input, output and error carry bytes unchanged. On Windows
// they are text streams at start: a LF written would gain a CR, a CR LF read
// would lose its CR, and a Ctrl-Z byte would end the input. (Messages keep
// their LF alone too, as on every other system; consoles show them the same.)
// Elsewhere nothing to do.
void useBinaryStandardStreams();

// Makes a write to a pipe whose reader has gone fail (EPIPE), so that the
// program says so and ends with its status, instead of being ended silently
// by SIGPIPE. Nothing to do on Windows.
void failWritesToClosedPipes();

// The program's arguments after its name, in UTF-8. On Windows they come from
// the wide command line, so that a name with "é" or "Ł" comes whole whatever
// the system's code page; elsewhere they are argv's bytes as given.
std::vector<std::string> arguments(int argc, char** argv);

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The file of that UTF-8 name, opened for reading bytes; or why not:
// FileNotFound, IsFolder, AccessDenied or ReadFailed.
Result<File> openForReading(const std::string& utf8Name);

// True when the UTF-8 path leads, links followed, to the very file that is
// open: the same device and inode (on Windows, the same volume and file
// index), whatever the name, a hard link or a symbolic link. False when the
// path names no file.
bool isSameFile(std::FILE* file, const std::string& utf8Path);

// The size of an open regular file; none for a pipe or a terminal.
std::optional<std::uint64_t> fileSize(std::FILE* file);

// Large runs touch a lot of fresh memory, and the system's work in handing it
// over weighs as much as the program's. Where the C library allows it
// (glibc), every block is taken from the one heap and never handed back, so
// that the memory one step frees serves the next.
void keepFreedMemoryForReuse();

} // namespace fichelia::console
