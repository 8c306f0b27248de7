#include "calculate_command.h"

#include <algorithm>

#include "digest_calculator.h"
#include "file_reader.h"

namespace engine {
namespace {

// Counted in bytes of the system code page; a path of exactly this length is accepted.
constexpr size_t kMaxPathLength = 260;

bool IsTrailingWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// One routine for data and key: odd length first, then the characters. Empty passes.
Refusal CheckHex(const std::string& digits) {
    if (digits.size() % 2 != 0) {
        return Refusal::HexOddLength;
    }
    if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
        return Refusal::HexIllegalCharacter;
    }
    return Refusal::None;
}

// Only the space character goes; other white space stays and is refused as illegal.
void RemoveSpaces(std::string& text) {
    std::erase(text, ' ');
}

CommandOutcome Refuse(CommandOutcome outcome, Refusal refusal, Field field) {
    outcome.refusal = refusal;
    outcome.field = field;
    return outcome;
}

}  // namespace

int CountSelectedAlgorithms(bool hmac, const std::array<uint8_t, hashlib::AlgorithmCount>& selection) {
    int count = 0;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (selection[id] != 0 && (!hmac || hashlib::Algorithms[id].keyable)) {
            ++count;
        }
    }
    return count;
}

bool ParallelFeedingPays(const CommandValues& values, unsigned usable_cores) {
    return usable_cores > 1 && CountSelectedAlgorithms(values.hmac, values.selection) >= 2;
}

CommandOutcome CheckCalculateCommand(const CommandValues& values) {
    CommandOutcome outcome;
    outcome.values = values;
    CommandValues& cleaned = outcome.values;

    if (cleaned.input_kind == InputFile) {
        std::string& path = cleaned.input_value;
        while (!path.empty() && IsTrailingWhiteSpace(path.back())) {
            path.pop_back();
        }
        if (path.empty()) {
            return Refuse(std::move(outcome), Refusal::NoFile, Field::Data);
        }
        if (SystemCodePageLength(path) > kMaxPathLength) {
            return Refuse(std::move(outcome), Refusal::PathTooLong, Field::Data);
        }
    }
    if (cleaned.input_kind == InputHex) {
        RemoveSpaces(cleaned.input_value);
        if (const Refusal refusal = CheckHex(cleaned.input_value); refusal != Refusal::None) {
            return Refuse(std::move(outcome), refusal, Field::Data);
        }
    }
    if (cleaned.hmac && cleaned.key_kind == KeyHex) {
        RemoveSpaces(cleaned.key_value);
        if (const Refusal refusal = CheckHex(cleaned.key_value); refusal != Refusal::None) {
            return Refuse(std::move(outcome), refusal, Field::Key);
        }
    }
    if (CountSelectedAlgorithms(cleaned.hmac, cleaned.selection) == 0) {
        return Refuse(std::move(outcome), Refusal::NoAlgorithm, Field::AlgorithmSelection);
    }
    return outcome;
}

CommandOutcome RunCalculateCommand(const CommandValues& values, DigestCalculator& calculator) {
    CommandOutcome outcome = CheckCalculateCommand(values);
    if (!outcome.succeeded()) {
        return outcome;
    }
    const CommandValues& request = outcome.values;
    std::vector<std::string> results;
    const int32_t result =
        calculator.Calculate(int32_t(request.input_kind), request.input_value, request.hmac,
                             int32_t(request.key_kind), request.key_value, request.selection, results);
    if (result == ResultUnreadable) {
        return Refuse(std::move(outcome), Refusal::FileUnreadable, Field::Data);
    }
    if (result == ResultNotFound) {
        return Refuse(std::move(outcome), Refusal::FileNotFound, Field::Data);
    }
    if (result != ResultSuccess || results.size() != size_t(hashlib::AlgorithmCount)) {
        return Refuse(std::move(outcome), Refusal::UnknownFailure, Field::None);
    }
    outcome.results = std::move(results);
    return outcome;
}

}  // namespace engine
