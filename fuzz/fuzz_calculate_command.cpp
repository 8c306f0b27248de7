// The Calculate command on arbitrary dialog values, with HexDecode on what the checks let
// through. Input layout (fields read as zero once the input ends):
//   byte 0   input kind: %4 == 0 a file (the value becomes its content), 1 text, 2 hex, 3 a kind
//            the driver does not know
//   byte 1   bit 0 the HMAC tick; bits 1-2 the key kind (0 text, 1 hex, 2-3 unknown); bits 3-5
//            how many white-space characters trail the file's path; bit 6 the file fed to the
//            objects in parallel; bit 7 the calculation stopped before it starts
//   bytes 2-3  the algorithm ticks, bit i = Algorithm identifier i
//   the rest the value, then after the first zero byte the key
// Standard input is never chosen (the run would wait on it) and the only file read is the
// target's own temporary file.
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/hmac_object.h"
#include "fuzz_check.h"
#include "hashlib/hashlib.h"

using namespace engine;

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string WithoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}

// The refusal the hex check must give, worked out from the rules rather than the code.
Refusal ExpectedHexRefusal(const std::string& digits) {
    if (digits.size() % 2 != 0) {
        return Refusal::HexOddLength;
    }
    for (char c : digits) {
        if (HexValue(c) < 0) {
            return Refusal::HexIllegalCharacter;
        }
    }
    return Refusal::None;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// HexDecode on any text, into a heap buffer of exactly the documented room so a write past it
// is caught: -1 exactly when a complete pair holds a non-digit, and the bytes written before
// that agree with a plain decoding.
void CheckHexDecode(const std::string& text) {
    const size_t room = (text.size() + 1) / 2;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[room == 0 ? 1 : room]);
    const int32_t written = hashlib::HexDecode(bytes.get(), text.data(), uint32_t(text.size()));

    size_t good_pairs = 0;
    while (good_pairs < text.size() / 2 && HexValue(text[2 * good_pairs]) >= 0 &&
           HexValue(text[2 * good_pairs + 1]) >= 0) {
        ++good_pairs;
    }
    const bool bad_pair = good_pairs < text.size() / 2;
    if (bad_pair) {
        FUZZ_CHECK(written == -1);
    } else if (text.size() % 2 == 0) {
        FUZZ_CHECK(written == int32_t(good_pairs));
    } else {
        // A lone last digit gives one more byte; an invalid one may also be refused.
        FUZZ_CHECK(written == int32_t(good_pairs) + 1 || (HexValue(text.back()) < 0 && written == -1));
    }
    for (size_t i = 0; i < good_pairs && (written >= 0 || bad_pair); ++i) {
        FUZZ_CHECK(bytes[i] == uint8_t(HexValue(text[2 * i]) * 16 + HexValue(text[2 * i + 1])));
    }
    if (written == int32_t(good_pairs) + 1) {
        FUZZ_CHECK(bytes[good_pairs] == uint8_t(HexValue(text.back()) * 16));
    }
}

// Decoded bytes of text the check accepted: HexDecode must take all of it.
std::string DecodeAccepted(const std::string& digits) {
    std::string bytes(digits.size() / 2, '\0');
    const int32_t written =
        hashlib::HexDecode(reinterpret_cast<uint8_t*>(bytes.data()), digits.data(), uint32_t(digits.size()));
    FUZZ_CHECK(written == int32_t(bytes.size()));
    return bytes;
}

// The per-process file the file kind reads; removed when the run ends normally.
const std::string& ScratchFile() {
    struct Scratch {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("orvendal-fuzz-" + std::to_string(std::random_device{}()) + ".bin"))
                               .string();
        ~Scratch() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    };
    static const Scratch scratch;
    return scratch.path;
}

// The digest texts every selected object gives for `bytes`, made directly from the objects
// rather than through the driver.
ResultTexts DirectResults(const CalculationRequest& values, const std::string& bytes,
                          const std::string& key) {
    ResultTexts results;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        std::unique_ptr<hashlib::DigestObject> object;
        if (values.selection[id] != 0) {
            object = values.hmac ? CreateHmacObject(id, reinterpret_cast<const uint8_t*>(key.data()),
                                                    uint32_t(key.size()))
                                 : hashlib::CreateDigestObject(id);
        }
        if (!object) {
            continue;
        }
        object->Update(bytes.data(), uint32_t(bytes.size()));
        std::string text(2 * size_t(object->DigestSize()) + 1, '\0');
        object->HexDigest(text.data());
        FUZZ_CHECK(text.back() == '\0');
        text.pop_back();
        results[size_t(id)] = text;
    }
    return results;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const uint8_t kind_byte = input.Byte();
    const uint8_t flags = input.Byte();
    const uint16_t ticks = input.Word();
    const std::string_view rest = input.Rest();
    const size_t zero = rest.find('\0');
    const std::string value(rest.substr(0, zero));
    const std::string key(zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1));

    CalculationRequest values;
    switch (kind_byte % 4) {
        case 0:
            values.input_kind = InputFile;
            break;
        case 1:
            values.input_kind = InputText;
            break;
        case 2:
            values.input_kind = InputHex;
            break;
        default:
            values.input_kind = InputKind(kind_byte < 128 ? 4 + kind_byte : -int32_t(kind_byte));
            break;
    }
    values.hmac = (flags & 1) != 0;
    const int key_selector = (flags >> 1) & 3;
    values.key_kind = KeyKind(key_selector <= 1 ? key_selector : 1 + key_selector);
    values.key_value = key;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        values.selection[id] = uint8_t((ticks >> id) & 1);
    }

    CheckHexDecode(value);
    CheckHexDecode(key);

    // The path checks alone on the raw value: no file is touched.
    {
        CalculationRequest as_path = values;
        as_path.input_kind = InputFile;
        as_path.input_value = value;
        const CommandOutcome checked = CheckCalculateCommand(as_path);
        const std::string& trimmed = checked.request.input_value;
        FUZZ_CHECK(value.compare(0, trimmed.size(), trimmed) == 0);
        for (size_t i = trimmed.size(); i < value.size(); ++i) {
            FUZZ_CHECK(IsWhiteSpace(value[i]));
        }
        FUZZ_CHECK(trimmed.empty() || !IsWhiteSpace(trimmed.back()));
        if (trimmed.empty()) {
            FUZZ_CHECK(checked.refusal == Refusal::NoFile);
        } else if (SystemCodePageLength(trimmed) > 260) {
            FUZZ_CHECK(checked.refusal == Refusal::PathTooLong);
        } else {
            FUZZ_CHECK(checked.refusal != Refusal::NoFile && checked.refusal != Refusal::PathTooLong);
        }
    }

    std::string content;  // the bytes the objects must see
    if (values.input_kind == InputFile) {
        content = value;
        std::ofstream(ScratchFile(), std::ios::binary | std::ios::trunc)
            .write(content.data(), std::streamsize(content.size()));
        values.input_value = ScratchFile() + std::string((flags >> 3) & 7, " \t\r\n "[flags % 5]);
    } else {
        values.input_value = value;
    }

    // What the command must answer, from the rules: checks in their fixed order, then the
    // driver, which serves only the kinds it knows.
    Refusal expected = Refusal::None;
    if (values.input_kind == InputHex) {
        expected = ExpectedHexRefusal(WithoutSpaces(value));
    }
    if (expected == Refusal::None && values.hmac && values.key_kind == KeyHex) {
        expected = ExpectedHexRefusal(WithoutSpaces(key));
    }
    if (expected == Refusal::None && CountSelectedAlgorithms(values.hmac, values.selection) == 0) {
        expected = Refusal::NoAlgorithm;
    }
    const bool known_kind =
        values.input_kind == InputFile || values.input_kind == InputText || values.input_kind == InputHex;
    const bool known_key = !values.hmac || values.key_kind == KeyText || values.key_kind == KeyHex;
    if (expected == Refusal::None && (!known_kind || !known_key)) {
        expected = Refusal::UnknownFailure;
    }
    // A stop ends a file's pass; text and hex are fed in one call and finish regardless.
    const bool stopped = (flags & 0x80) != 0;
    if (expected == Refusal::None && stopped && values.input_kind == InputFile) {
        expected = Refusal::Stopped;
    }

    const CommandOutcome checked = CheckCalculateCommand(values);
    DigestCalculator calculator;
    calculator.SetParallelFeeding((flags & 0x40) != 0);
    std::stop_source stop;
    if (stopped) {
        stop.request_stop();
    }
    calculator.SetStopToken(stop.get_token());
    const CommandOutcome outcome = RunCalculateCommand(values, calculator);
    FUZZ_CHECK(outcome.refusal == expected);
    FUZZ_CHECK(
        checked.refusal ==
        (expected == Refusal::UnknownFailure || expected == Refusal::Stopped ? Refusal::None : expected));
    FUZZ_CHECK(checked.request.input_value == outcome.request.input_value);

    // Cleaned hex carries no spaces, and what the check accepts HexDecode takes whole.
    if (values.input_kind == InputHex) {
        FUZZ_CHECK(outcome.request.input_value == WithoutSpaces(value));
        if (checked.refusal == Refusal::None) {
            content = DecodeAccepted(outcome.request.input_value);
        }
    } else if (values.input_kind == InputText) {
        FUZZ_CHECK(outcome.request.input_value == value);
        content = value;
    }
    // The key is cleaned only once the data has passed its own check.
    const bool key_reached =
        values.input_kind != InputHex || ExpectedHexRefusal(WithoutSpaces(value)) == Refusal::None;
    std::string key_bytes = key;
    if (values.hmac && values.key_kind == KeyHex && key_reached) {
        FUZZ_CHECK(outcome.request.key_value == WithoutSpaces(key));
        if (checked.refusal == Refusal::None) {
            key_bytes = DecodeAccepted(outcome.request.key_value);
        }
    } else {
        FUZZ_CHECK(outcome.request.key_value == key);
    }
    if (values.input_kind == InputFile && checked.refusal == Refusal::None) {
        FUZZ_CHECK(outcome.request.input_value == ScratchFile());
    }

    if (!outcome.succeeded()) {
        FUZZ_CHECK(outcome.results == ResultTexts{});
        return 0;
    }
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        const std::string& text = outcome.results[id];
        const bool computed = values.selection[id] != 0 && (!values.hmac || hashlib::Algorithms[id].keyable);
        FUZZ_CHECK(text.size() == (computed ? 2 * size_t(hashlib::Algorithms[id].DigestSize()) : 0));
        FUZZ_CHECK(fuzz::IsLowerHex(text));
    }
    // The driver's one pass gives what each object gives on its own for the same bytes.
    FUZZ_CHECK(outcome.results == DirectResults(values, content, key_bytes));
    return 0;
}
