// Stands in for the browser in the Windows tests: the tests' Wine prefix names
// it as Windows' handler of http, https and .html addresses, so that it is what
// the system starts when the program asks it to open one. It appends its
// argument, one line, to the file that FICHELIA_OPENED_LOG names.

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* log = std::getenv("FICHELIA_OPENED_LOG");
    if (log == nullptr || argc < 2) {
        return 2;
    }
    std::FILE* file = std::fopen(log, "ab");
    if (file == nullptr) {
        return 1;
    }
    const bool written = std::fprintf(file, "%s\n", argv[1]) > 0;
    return std::fclose(file) == 0 && written ? 0 : 1;
}
