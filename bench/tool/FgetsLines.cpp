// The baseline of `fichelia-page read` in tool-bench.sh: the plainest C reading
// of the same page, line by line with fgets into 1024 bytes, counting lines.
//   fichelia_fgets_lines FILE

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        return 1;
    }
    char line[1024];
    long lines = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        ++lines;
    }
    std::fclose(file);
    return lines > 0 ? 0 : 1;
}
