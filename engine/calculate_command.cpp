#include "calculate_command.h"

#include <algorithm>

#include "hashlib/ascii.h"
#include "platform/platform.h"

namespace engine {
namespace {

// Counted in bytes of the system code page; a path of exactly this length is accepted.
constexpr size_t kMaxPathLength = 260;

// One routine for data and key: spaces go (only the space character: other white space stays
// and is refused as illegal), then odd length first, then the characters. Empty passes.
Refusal CheckHex(std::string& digits) {
    std::erase(digits, ' ');
    if (digits.size() % 2 != 0) {
        return Refusal::HexOddLength;
    }
    if (!hashlib::ascii::AllHexDigits(digits)) {
        return Refusal::HexIllegalCharacter;
    }
    return Refusal::None;
}

CommandOutcome Refuse(CommandOutcome outcome, Refusal refusal, Field field) {
    outcome.refusal = refusal;
    outcome.field = field;
    return outcome;
}

}  // namespace

int CountSelectedAlgorithms(bool hmac, const Selection& selection) {
    int count = 0;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (selection[id] != 0 && (!hmac || hashlib::Algorithms[id].keyable)) {
            ++count;
        }
    }
    return count;
}

bool ParallelFeedingPays(const CalculationRequest& request, unsigned usable_cores) {
    return usable_cores > 1 && CountSelectedAlgorithms(request.hmac, request.selection) >= 2;
}

Refusal CheckKey(KeyKind key_kind, std::string& key_value) {
    return key_kind == KeyHex ? CheckHex(key_value) : Refusal::None;
}

CommandOutcome CheckCalculateCommand(const CalculationRequest& request) {
    CommandOutcome outcome;
    outcome.request = request;
    CalculationRequest& cleaned = outcome.request;

    if (cleaned.input_kind == InputFile) {
        std::string& path = cleaned.input_value;
        while (!path.empty() && hashlib::ascii::IsWhiteSpace(path.back())) {
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
        if (const Refusal refusal = CheckHex(cleaned.input_value); refusal != Refusal::None) {
            return Refuse(std::move(outcome), refusal, Field::Data);
        }
    }
    if (cleaned.hmac) {
        if (const Refusal refusal = CheckKey(cleaned.key_kind, cleaned.key_value); refusal != Refusal::None) {
            return Refuse(std::move(outcome), refusal, Field::Key);
        }
    }
    if (CountSelectedAlgorithms(cleaned.hmac, cleaned.selection) == 0) {
        return Refuse(std::move(outcome), Refusal::NoAlgorithm, Field::AlgorithmSelection);
    }
    return outcome;
}

CommandOutcome RunCalculateCommand(const CalculationRequest& request, DigestCalculator& calculator) {
    CommandOutcome outcome = CheckCalculateCommand(request);
    if (!outcome.succeeded()) {
        return outcome;
    }
    CalculationAnswer answer = calculator.Calculate(outcome.request);
    switch (answer.result) {
        case ResultSuccess:
            outcome.results = std::move(answer.texts);
            return outcome;
        case ResultUnreadable:
            return Refuse(std::move(outcome), Refusal::FileUnreadable, Field::Data);
        case ResultNotFound:
            return Refuse(std::move(outcome), Refusal::FileNotFound, Field::Data);
        case ResultStopped:
            return Refuse(std::move(outcome), Refusal::Stopped, Field::None);
        case ResultBadRequest:
            break;
    }
    return Refuse(std::move(outcome), Refusal::UnknownFailure, Field::None);
}

}  // namespace engine
