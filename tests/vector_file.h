// Known-answer vectors kept as data in tests/vectors/*.vec, compiled into the test programs.
//
// Format, one record a line ('#' starts a comment line; the first lines name the source):
//   algorithm NAME                    the command-line name of the algorithm of the records below
//   MESSAGE [xN] [key KEY] = DIGEST   a record
// where MESSAGE and KEY are `text "..."` (the characters between the quotes) or `hex DIGITS`,
// xN repeats the message N times, and DIGEST is the expected lower-case hex text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EmbeddedVectorFile {
    const char* name;
    const char* text;
};
extern const EmbeddedVectorFile kEmbeddedVectorFiles[];
extern const int kEmbeddedVectorFileCount;

struct HashVector {
    std::string where;      // file:line, for failure messages
    std::string algorithm;  // command-line name
    std::string message;    // one copy of the repeated unit
    uint64_t repeat = 1;
    bool keyed = false;
    std::string key;
    std::string digest;
};

// Every record of every embedded file; a malformed line fails the calling test.
std::vector<HashVector> LoadAllVectors();

// Parses one file's text; exposed for the parser's own tests.
std::vector<HashVector> ParseVectorFile(const std::string& name, const std::string& text);
