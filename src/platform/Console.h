#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a console program (the companion tool) asks of the system. Two
// versions, chosen by CMake: Console_win.cpp and Console_posix.cpp.
namespace fichelia::console {

// Makes standard input, output and error carry bytes unchanged. On Windows
// they are text streams at start: a LF written would gain a CR, a CR LF read
// would lose its CR, and a Ctrl-Z byte would end the input. (Messages keep
// their LF alone too, as on every other system; consoles show them the same.)
// Elsewhere nothing to do.
void useBinaryStandardStreams();

// The program's arguments after its name, in UTF-8. On Windows they come from
// the wide command line, so that a name with "é" or "Ł" comes whole whatever
// the system's code page; elsewhere they are argv's bytes as given.
std::vector<std::string> arguments(int argc, char** argv);

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The file of that UTF-8 name, opened for reading bytes, or none.
File openForReading(const std::string& utf8Name);

// The size of an open regular file; none for a pipe or a terminal.
std::optional<std::uint64_t> fileSize(std::FILE* file);

// Large runs touch a lot of fresh memory, and the system's work in handing it
// over weighs as much as the program's. Where the C library allows it
// (glibc), every block is taken from the one heap and never handed back, so
// that the memory one step frees serves the next.
void keepFreedMemoryForReuse();

} // namespace fichelia::console
