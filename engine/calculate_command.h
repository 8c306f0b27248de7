// The Calculate command as plain C++: the checks on the dialog's values in their fixed order,
// the request handed to the driver, and the reason for each refusal with the value it concerns.
// The dialog and orvendal-cli both run it, so they cannot disagree; each puts the reasons into
// its own words.
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

// Why the command gave no results.
enum class Refusal {
    None,
    NoFile,               // file input with an empty path
    PathTooLong,          // a path of more than 260 bytes in the system code page
    HexOddLength,         // hex data or key of odd length
    HexIllegalCharacter,  // hex data or key with a character that is no hex digit
    NoAlgorithm,          // nothing ticked that would be computed
    FileNotFound,         // the file or a directory of its path does not exist
    FileUnreadable,       // any other failure to open the file, or a failed read
    UnknownFailure,       // any other answer of the driver
};

// The value a refusal concerns, where the front end takes the user.
enum class Field { None, Data, Key, AlgorithmSelection };

// The dialog's values as the command reads them. Text and key are the bytes of the system
// code page; a file path is UTF-8 (it is opened by its Unicode name).
struct CommandValues {
    InputKind input_kind = InputFile;
    std::string input_value;
    bool hmac = false;
    KeyKind key_kind = KeyText;
    std::string key_value;
    std::array<uint8_t, hashlib::AlgorithmCount> selection{};
};

// The outcome of the whole command. On success `results` holds exactly 13 strings; on failure
// it is empty and the dialog keeps the results it showed. `values` holds the cleaned values
// (trimmed path, hex without spaces) that the dialog keeps; it writes them back to its
// controls only on success.
struct CommandOutcome {
    Refusal refusal = Refusal::None;
    Field field = Field::None;
    CommandValues values;
    std::vector<std::string> results;
    bool succeeded() const { return refusal == Refusal::None; }
};

class DigestCalculator;

// The ticked algorithms that count: the keyable rows always, the others only without HMAC.
int CountSelectedAlgorithms(bool hmac, const std::array<uint8_t, hashlib::AlgorithmCount>& selection);

// Whether a file or standard input is better fed with every object on a thread of its own (as
// DigestCalculator::SetParallelFeeding) than with the objects in turn: only with two or more
// algorithms to compute and more than one core to compute them on.
bool ParallelFeedingPays(const CommandValues& values, unsigned usable_cores);

// The checks alone, in the command's order; Refusal::None when the values are accepted.
CommandOutcome CheckCalculateCommand(const CommandValues& values);

// The checks, then the driver on the cleaned values, then the refusal for its result code.
CommandOutcome RunCalculateCommand(const CommandValues& values, DigestCalculator& calculator);

}  // namespace engine
