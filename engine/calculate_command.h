// The Calculate command as plain C++: the checks on the dialog's values in their fixed order,
// the request handed to the driver, and the message for each outcome. The dialog and
// orvendal-cli both run it, so they cannot disagree.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "hashlib/hashlib.h"

namespace engine {

// 0..2 are the dialog's data-format combo box; standard input is orvendal-cli's "-".
enum InputKind : int32_t { InputFile = 0, InputText = 1, InputHex = 2, InputStandardInput = 3 };
enum KeyKind : int32_t { KeyText = 0, KeyHex = 1 };

// String-table ids of the messages the command shows.
enum MessageId : int {
    MessageNone = 0,
    MessageSelectAlgorithm = 102,  // "请先选择一个校验算法!"
    MessageHexOddLength = 103,     // "十六进制串长度必须是偶数!"
    MessageHexIllegalChar = 104,   // "十六进制串中包含非法字符!"
    MessageSelectFile = 105,       // "请先选择一个文件!"
    MessageUnknownError = 106,     // "计算过程中发生未知错误!"
    MessageAccessDenied = 107,     // "指定文件拒绝访问!"
    MessageCannotOpen = 108,       // "不能打开指定文件!"
    MessagePathTooLong = 109,      // "指定文件路径太长!"
};

// The control that takes the focus after a message.
enum class FocusTarget { Unchanged, DataEdit, KeyEdit, Md2CheckBox };

// The dialog's values as the command reads them. Text and key are the bytes of the system
// code page; a file path is UTF-8 (it is opened by its Unicode name).
struct CommandValues {
    int32_t input_kind = InputFile;
    std::string input_value;
    bool hmac = false;
    int32_t key_kind = KeyText;
    std::string key_value;
    std::array<uint8_t, hashlib::AlgorithmCount> selection{};
};

// The outcome of the whole command. On success `results` holds exactly 13 strings; on failure
// it is empty and the dialog keeps the results it showed. `values` holds the cleaned values
// (trimmed path, hex without spaces) that the dialog keeps; it writes them back to its
// controls only on success.
struct CommandOutcome {
    MessageId message = MessageNone;
    FocusTarget focus = FocusTarget::Unchanged;
    CommandValues values;
    std::vector<std::string> results;
    bool succeeded() const { return message == MessageNone; }
};

class DigestCalculator;

// The ticked algorithms that count: the keyable rows always, the others only without HMAC.
int CountSelectedAlgorithms(bool hmac, const std::array<uint8_t, hashlib::AlgorithmCount>& selection);

// The checks alone, in the command's order; message MessageNone when the values are accepted.
CommandOutcome CheckCalculateCommand(const CommandValues& values);

// The checks, then the driver on the cleaned values, then the message for its result code.
CommandOutcome RunCalculateCommand(const CommandValues& values, DigestCalculator& calculator);

// The UTF-8 text of a message id (the same texts as the dialog's string table).
const char* MessageText(MessageId id);

}  // namespace engine
