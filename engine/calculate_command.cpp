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
MessageId CheckHex(const std::string& digits) {
    if (digits.size() % 2 != 0) {
        return MessageHexOddLength;
    }
    if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
        return MessageHexIllegalChar;
    }
    return MessageNone;
}

// Only the space character goes; other white space stays and is refused as illegal.
void RemoveSpaces(std::string& text) {
    std::erase(text, ' ');
}

CommandOutcome Refuse(CommandOutcome outcome, MessageId message, FocusTarget focus) {
    outcome.message = message;
    outcome.focus = focus;
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
            return Refuse(std::move(outcome), MessageSelectFile, FocusTarget::DataEdit);
        }
        if (SystemCodePageLength(path) > kMaxPathLength) {
            return Refuse(std::move(outcome), MessagePathTooLong, FocusTarget::DataEdit);
        }
    }
    if (cleaned.input_kind == InputHex) {
        RemoveSpaces(cleaned.input_value);
        if (const MessageId message = CheckHex(cleaned.input_value); message != MessageNone) {
            return Refuse(std::move(outcome), message, FocusTarget::DataEdit);
        }
    }
    if (cleaned.hmac && cleaned.key_kind == KeyHex) {
        RemoveSpaces(cleaned.key_value);
        if (const MessageId message = CheckHex(cleaned.key_value); message != MessageNone) {
            return Refuse(std::move(outcome), message, FocusTarget::KeyEdit);
        }
    }
    if (CountSelectedAlgorithms(cleaned.hmac, cleaned.selection) == 0) {
        return Refuse(std::move(outcome), MessageSelectAlgorithm, FocusTarget::Md2CheckBox);
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
        calculator.Calculate(request.input_kind, request.input_value, request.hmac, request.key_kind,
                             request.key_value, request.selection, results);
    if (result == ResultUnreadable) {
        return Refuse(std::move(outcome), MessageAccessDenied, FocusTarget::DataEdit);
    }
    if (result == ResultNotFound) {
        return Refuse(std::move(outcome), MessageCannotOpen, FocusTarget::DataEdit);
    }
    if (result != ResultSuccess || results.size() != size_t(hashlib::AlgorithmCount)) {
        return Refuse(std::move(outcome), MessageUnknownError, FocusTarget::Unchanged);
    }
    outcome.results = std::move(results);
    return outcome;
}

const char* MessageText(MessageId id) {
    switch (id) {
        case MessageSelectAlgorithm:
            return "请先选择一个校验算法!";
        case MessageHexOddLength:
            return "十六进制串长度必须是偶数!";
        case MessageHexIllegalChar:
            return "十六进制串中包含非法字符!";
        case MessageSelectFile:
            return "请先选择一个文件!";
        case MessageUnknownError:
            return "计算过程中发生未知错误!";
        case MessageAccessDenied:
            return "指定文件拒绝访问!";
        case MessageCannotOpen:
            return "不能打开指定文件!";
        case MessagePathTooLong:
            return "指定文件路径太长!";
        case MessageNone:
            break;
    }
    return "";
}

}  // namespace engine
