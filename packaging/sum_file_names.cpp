// Writes the names of the sum files the program reads, one a line: the suffixes (".sha256", and
// ".sfv") first, then the whole names ("SHA256SUMS"), each once, in the algorithm table's order.
// The packages' right-click entries are made from them (menu_entries.py).
//
// Built and run on the build machine while the Windows packages are made, so it takes the table
// from the headers alone: the names are gathered while compiling and nothing of the library is
// linked.
// Usage: sum_file_names OUTPUT_FILE
#include <array>
#include <cstdio>
#include <string_view>

#include "engine/sum_file.h"
#include "hashlib/hashlib.h"

namespace {

constexpr size_t MostNames = 4 * hashlib::Algorithms.size() + 1;

struct Names {
    std::array<std::string_view, MostNames> names{};
    size_t count = 0;

    constexpr void Add(std::string_view name) {
        for (size_t i = 0; i < count; ++i) {
            if (names[i] == name) {
                return;
            }
        }
        names[count++] = name;
    }
};

consteval Names SumFileNames() {
    Names names;
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* suffix : info.sum_file_suffixes) {
            if (suffix != nullptr) {
                names.Add(suffix);
            }
        }
    }
    names.Add(engine::SfvSuffix);
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* name : info.sum_file_names) {
            if (name != nullptr) {
                names.Add(name);
            }
        }
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sum_file_names OUTPUT_FILE\n");
        return 2;
    }
    static constexpr Names Listed = SumFileNames();
    std::FILE* output = std::fopen(argv[1], "wb");
    if (output == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    for (size_t i = 0; i < Listed.count; ++i) {
        std::fprintf(output, "%.*s\n", int(Listed.names[i].size()), Listed.names[i].data());
    }
    return std::fclose(output) == 0 ? 0 : 1;
}
