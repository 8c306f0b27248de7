// The Calculate command as plain C++: the checks on a Calculation request in their fixed order,
// the request handed to the driver, and the reason for each refusal with the value it concerns.
// The dialog and orvendal-cli both run it, so they cannot disagree; each puts the reasons into
// its own words.
#pragma once

#include <cstdint>
#include <string>

#include "digest_calculator.h"
#include "hashlib/hashlib.h"

namespace engine {

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
    Stopped,              // stopped on request while the input was read: no failure, no message
};

// The value a refusal concerns, where the front end takes the user.
enum class Field { None, Data, Key, AlgorithmSelection };

// The outcome of the whole command. On success `results` holds the driver's texts; on failure
// every text is empty and the dialog keeps the results it showed. `request` is the cleaned
// request (trimmed path, hex without spaces) that the dialog keeps; it writes the values back
// to its controls only on success.
struct CommandOutcome {
    Refusal refusal = Refusal::None;
    Field field = Field::None;
    CalculationRequest request;
    ResultTexts results;
    bool succeeded() const { return refusal == Refusal::None; }
};

// The ticked algorithms that count: the keyable rows always, the others only without HMAC.
int CountSelectedAlgorithms(bool hmac, const Selection& selection);

// Whether a file or standard input is better fed with every object on a thread of its own (as
// DigestCalculator::SetParallelFeeding) than with the objects in turn: only with two or more
// algorithms to compute and more than one core to compute them on.
bool ParallelFeedingPays(const CalculationRequest& request, unsigned usable_cores);

// The key's check, as the command makes it: a hex key loses its spaces (in place), then must
// be of even length and hex digits only; a text key is taken as it is. Refusal::None when it
// is accepted.
Refusal CheckKey(KeyKind key_kind, std::string& key_value);

// The checks alone, in the command's order; Refusal::None when the request is accepted.
CommandOutcome CheckCalculateCommand(const CalculationRequest& request);

// The checks, then the driver on the cleaned request, then the refusal for its result code.
CommandOutcome RunCalculateCommand(const CalculationRequest& request, DigestCalculator& calculator);

}  // namespace engine
