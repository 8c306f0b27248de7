// Writes the names of the sum files the program reads, one a line: the suffixes (".sha256", and
// ".sfv") first, then the whole names ("SHA256SUMS"), then the starts of names with a '*' after
// them ("CHECKSUM.SHA256-*"), each once, in the algorithm table's order.
// The packages' right-click entries are made from them (menu_entries.py).
//
// Built and run on the build machine while the Windows packages are made, so it takes the table
// from the headers alone: the names are gathered while compiling and nothing of the library is
// linked.
// Usage: sum_file_names OUTPUT_FILE
#include <array>
#include <cstdio>
#include <string_view>
#include <tuple>

#include "engine/sum_file.h"
#include "hashlib/hashlib.h"

namespace {

constexpr size_t MostNames =
    (std::tuple_size_v<decltype(hashlib::AlgorithmInfo::sum_file_suffixes)> +
     std::tuple_size_v<decltype(hashlib::AlgorithmInfo::sum_file_names)> +
     std::tuple_size_v<decltype(hashlib::AlgorithmInfo::sum_file_prefixes)>)*hashlib::Algorithms.size() +
    1;

struct Names {
    std::array<std::string_view, MostNames> names{};
    std::array<bool, MostNames> starts{};  // the name is the start of names
    size_t count = 0;

    constexpr void Add(std::string_view name, bool start = false) {
        for (size_t i = 0; i < count; ++i) {
            if (names[i] == name && starts[i] == start) {
                return;
            }
        }
        starts[count] = start;
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
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* start : info.sum_file_prefixes) {
            if (start != nullptr) {
                names.Add(start, true);
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
        std::fprintf(output, "%.*s%s\n", int(Listed.names[i].size()), Listed.names[i].data(),
                     Listed.starts[i] ? "*" : "");
    }
    return std::fclose(output) == 0 ? 0 : 1;
}
