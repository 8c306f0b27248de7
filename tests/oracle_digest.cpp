// oracle-digest FILE NAME...: the independent implementation's digests of a file of any size,
// read once in large pieces; one line "NAME HEX" per command-line algorithm name, in the
// program's own text form (CRC-32 printed most significant byte first). Used where a test needs
// a second opinion on a file too large to hold in memory.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hashlib/hashlib.h"
#include "oracle.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: oracle-digest FILE NAME...\n");
        return 2;
    }
    std::vector<int> ids;
    std::vector<std::unique_ptr<OracleHash>> oracles;
    for (int i = 2; i < argc; ++i) {
        const int id = hashlib::FindAlgorithmByCommandName(argv[i]);
        if (id < 0) {
            std::fprintf(stderr, "oracle-digest: unknown algorithm '%s'\n", argv[i]);
            return 2;
        }
        ids.push_back(id);
        oracles.push_back(CreateOracle(ids.back()));
    }

    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<uint8_t> piece(size_t(1) << 22);
    size_t got;
    while ((got = std::fread(piece.data(), 1, piece.size(), file)) > 0) {
        for (auto& oracle : oracles) {
            oracle->Update(piece.data(), got);
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "oracle-digest: reading %s failed\n", argv[1]);
        return 1;
    }

    for (size_t i = 0; i < oracles.size(); ++i) {
        std::vector<uint8_t> digest = oracles[i]->Final();
        if (ids[i] == hashlib::AlgorithmCrc32) {
            std::reverse(digest.begin(), digest.end());
        }
        std::printf("%s ", hashlib::Algorithms[ids[i]].command_name);
        for (uint8_t byte : digest) {
            std::printf("%02x", byte);
        }
        std::printf("\n");
    }
    return 0;
}
