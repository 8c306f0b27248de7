#include "digest_calculator.h"

#include <algorithm>

#include "calculate_command.h"
#include "file_pass.h"
#include "file_reader.h"
#include "hmac_object.h"

namespace engine {
namespace {

// Objects take 32-bit lengths; a larger buffer is fed in pieces, which gives the same digests.
constexpr size_t kLargestPiece = 0x80000000u;

// Hex digits (even count, no spaces) into a fresh buffer; false when they do not decode.
bool DecodeHex(const std::string& text, std::vector<uint8_t>& bytes) {
    if (text.size() % 2 != 0 || text.size() > UINT32_MAX) {
        return false;
    }
    bytes.assign(text.size() / 2, 0);
    return hashlib::HexDecode(bytes.data(), text.data(), uint32_t(text.size())) == int32_t(bytes.size());
}

}  // namespace

int32_t DigestCalculator::Calculate(int32_t input_kind, const std::string& input_value, bool hmac,
                                    int32_t key_kind, const std::string& key_value,
                                    const Selection& selection, std::vector<std::string>& results) {
    results.clear();
    ObjectTable objects;
    if (input_kind < InputFile || input_kind > InputStandardInput ||
        !CreateObjects(hmac, key_kind, key_value, selection, objects)) {
        return ResultBadRequest;
    }
    int32_t result = ResultBadRequest;
    switch (input_kind) {
        case InputFile:
            result = FeedFile(objects, input_value);
            break;
        case InputText:
            result = FeedBuffer(objects, input_value.data(), input_value.size());
            break;
        case InputHex: {
            std::vector<uint8_t> bytes;
            if (DecodeHex(input_value, bytes)) {
                result = FeedBuffer(objects, bytes.data(), bytes.size());
            }
            break;
        }
        case InputStandardInput:
            result = FeedStandardInput(objects);
            break;
    }
    if (result == ResultSuccess) {
        results = CollectResults(objects);
    }
    return result;
}

bool DigestCalculator::CreateObjects(bool hmac, int32_t key_kind, const std::string& key_value,
                                     const Selection& selection, ObjectTable& objects) {
    for (auto& object : objects) {
        object.reset();
    }
    if (!hmac) {
        for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
            if (selection[id] != 0) {
                objects[id] = hashlib::CreateDigestObject(id);
            }
        }
        return true;
    }

    // Every keyed object copies what it needs into its own key blocks, so the decoded key lives
    // only until they are made, and is wiped then.
    std::vector<uint8_t> decoded;
    const uint8_t* key = nullptr;
    size_t key_length = 0;
    if (key_kind == KeyText) {
        key = reinterpret_cast<const uint8_t*>(key_value.data());
        key_length = key_value.size();
    } else if (key_kind == KeyHex) {
        const bool decodes = DecodeHex(key_value, decoded);
        key = decoded.data();
        key_length = decodes ? decoded.size() : SIZE_MAX;
    } else {
        return false;
    }
    const bool usable = key_length <= UINT32_MAX;
    for (int id = 0; usable && id < hashlib::AlgorithmCount; ++id) {
        if (selection[id] != 0 && hashlib::Algorithms[id].keyable) {
            objects[id] = CreateHmacObject(id, key, uint32_t(key_length));
        }
    }
    hashlib::SecureZero(decoded.data(), decoded.size());
    return usable;
}

std::vector<std::string> DigestCalculator::CollectResults(const ObjectTable& objects) {
    std::vector<std::string> results;
    results.reserve(objects.size());
    for (const auto& object : objects) {
        if (!object) {
            results.emplace_back();
            continue;
        }
        const size_t size = size_t(std::max<int32_t>(object->DigestSize(), 0));
        std::vector<char> text(2 * size + 1);
        object->HexDigest(text.data());
        text[2 * size] = '\0';
        results.emplace_back(text.data());
    }
    return results;
}

int32_t DigestCalculator::FeedBuffer(const ObjectTable& objects, const void* data, size_t length) {
    static const uint8_t kNothing = 0;
    const uint8_t* bytes = data != nullptr ? static_cast<const uint8_t*>(data) : &kNothing;
    do {
        const uint32_t piece = uint32_t(std::min(length, kLargestPiece));
        for (const auto& object : objects) {
            if (object) {
                object->Update(bytes, piece);
            }
        }
        bytes += piece;
        length -= piece;
    } while (length > 0);
    return ResultSuccess;
}

int32_t DigestCalculator::FeedFile(const ObjectTable& objects, const std::string& path) {
    FileReader reader;
    return FeedOpened(objects, reader, reader.Open(path));
}

int32_t DigestCalculator::FeedStandardInput(const ObjectTable& objects) {
    FileReader reader;
    return FeedOpened(objects, reader, reader.OpenStandardInput());
}

int32_t DigestCalculator::FeedOpened(const ObjectTable& objects, FileReader& reader, int32_t opened) {
    if (opened != ResultSuccess) {
        return opened;
    }
    return FeedSource(objects, filter_ != nullptr ? filter_->Filter(reader) : reader);
}

int32_t DigestCalculator::FeedSource(const ObjectTable& objects, ByteSource& source) {
    return RunFilePass(source, objects, {progress_, parallel_, piece_blocks_});
}

}  // namespace engine
