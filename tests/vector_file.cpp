#include "vector_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace {

// Reads `text "..."` or `hex DIGITS` at `pos`; false when neither stands there.
bool ReadBytes(const std::string& line, size_t& pos, std::string& out) {
    auto skip = [&] {
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
    };
    skip();
    if (line.compare(pos, 5, "text ") == 0) {
        pos += 5;
        skip();
        if (pos >= line.size() || line[pos] != '"') {
            return false;
        }
        const size_t end = line.find('"', pos + 1);
        if (end == std::string::npos) {
            return false;
        }
        out = line.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        return true;
    }
    if (line.compare(pos, 4, "hex ") == 0) {
        pos += 4;
        skip();
        const size_t end = line.find(' ', pos);
        const std::string digits = line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!ParseHex(digits, out)) {
            return false;
        }
        pos = end == std::string::npos ? line.size() : end;
        return true;
    }
    return false;
}

}  // namespace

std::vector<HashVector> ParseVectorFile(const std::string& name, const std::string& text) {
    std::vector<HashVector> records;
    std::istringstream lines(text);
    std::string line;
    std::string algorithm;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string where = name + ":" + std::to_string(number);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.compare(0, 10, "algorithm ") == 0) {
            algorithm = line.substr(10);
            continue;
        }
        HashVector record;
        record.where = where;
        record.algorithm = algorithm;
        size_t pos = 0;
        bool ok = !algorithm.empty() && ReadBytes(line, pos, record.message);
        std::istringstream rest(ok ? line.substr(pos) : std::string());
        std::string word;
        while (ok && rest >> word && word != "=") {
            if (word[0] == 'x' && word.size() > 1) {
                record.repeat = std::stoull(word.substr(1));
            } else if (word == "key") {
                std::string tail;
                std::getline(rest, tail);
                size_t key_pos = 0;
                ok = ReadBytes(tail, key_pos, record.key);
                record.keyed = true;
                rest.clear();
                rest.str(tail.substr(key_pos));
            } else {
                ok = false;
            }
        }
        ok = ok && word == "=" && (rest >> record.digest) && !record.digest.empty();
        EXPECT_TRUE(ok) << "malformed vector line " << where << ": " << line;
        if (ok) {
            records.push_back(record);
        }
    }
    return records;
}

std::vector<HashVector> LoadAllVectors() {
    std::vector<HashVector> all;
    for (int i = 0; i < kEmbeddedVectorFileCount; ++i) {
        auto records = ParseVectorFile(kEmbeddedVectorFiles[i].name, kEmbeddedVectorFiles[i].text);
        all.insert(all.end(), records.begin(), records.end());
    }
    return all;
}
