#include "digest_calculator.h"

#include <algorithm>

#include "file_reader.h"
#include "hmac_object.h"
#include "job_scheduler.h"

namespace engine {
namespace {

// Objects take 32-bit lengths; a larger buffer is fed in pieces, which gives the same digests.
constexpr size_t kLargestPiece = 0x80000000u;

// Hex digits into a fresh buffer of half their count, as the Calculate command has validated
// them. Not checked again: what HexDecode refuses (or an odd count, whose lone digit would be
// one byte more) makes the answer false, never a read past the buffer.
bool DecodeHex(const std::string& text, std::vector<uint8_t>& bytes) {
    if (text.size() > UINT32_MAX) {
        return false;
    }
    bytes.assign((text.size() + 1) / 2, 0);
    return hashlib::HexDecode(bytes.data(), text.data(), uint32_t(text.size())) == int32_t(text.size() / 2);
}

}  // namespace

DigestCalculator::DigestCalculator() = default;

DigestCalculator::~DigestCalculator() = default;

CalculationAnswer DigestCalculator::Calculate(const CalculationRequest& request) {
    CalculationAnswer answer;
    ObjectTable objects;
    if (!IsKnownInputKind(request.input_kind) || (request.hmac && !IsKnownKeyKind(request.key_kind)) ||
        !CreateObjects(request.hmac, request.key_kind, request.key_value, request.selection, objects)) {
        answer.result = ResultBadRequest;
        return answer;
    }
    switch (request.input_kind) {
        case InputFile:
            answer.result = FeedFile(objects, request.input_value);
            break;
        case InputText:
            FeedBuffer(objects, request.input_value.data(), request.input_value.size());
            break;
        case InputHex: {
            std::vector<uint8_t> bytes;
            if (DecodeHex(request.input_value, bytes)) {
                FeedBuffer(objects, bytes.data(), request.input_value.size() / 2);
            } else {
                answer.result = ResultBadRequest;
            }
            break;
        }
        case InputStandardInput:
            answer.result = FeedStandardInput(objects);
            break;
    }
    if (answer.result == ResultSuccess) {
        answer.texts = CollectResults(objects);
    }
    return answer;
}

int32_t DigestCalculator::Calculate(int32_t input_kind, const std::string& input_value, bool hmac,
                                    int32_t key_kind, const std::string& key_value,
                                    const Selection& selection, std::vector<std::string>& results) {
    results.clear();
    CalculationAnswer answer = Calculate(CalculationRequest{InputKind(input_kind), input_value, hmac,
                                                            KeyKind(key_kind), key_value, selection});
    if (answer.result == ResultSuccess) {
        results.assign(std::make_move_iterator(answer.texts.begin()),
                       std::make_move_iterator(answer.texts.end()));
    }
    return answer.result;
}

bool DigestCalculator::CreateObjects(bool hmac, KeyKind key_kind, const std::string& key_value,
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
    bool usable = true;
    if (key_kind == KeyText) {
        key = reinterpret_cast<const uint8_t*>(key_value.data());
        key_length = key_value.size();
        usable = key_length <= UINT32_MAX;
    } else if (key_kind == KeyHex) {
        usable = DecodeHex(key_value, decoded);
        key = decoded.data();
        key_length = key_value.size() / 2;
    } else {
        return false;
    }
    for (int id = 0; usable && id < hashlib::AlgorithmCount; ++id) {
        if (selection[id] != 0 && hashlib::Algorithms[id].keyable) {
            objects[id] = CreateHmacObject(id, key, uint32_t(key_length));
        }
    }
    hashlib::SecureZero(decoded.data(), decoded.size());
    return usable;
}

ResultTexts DigestCalculator::CollectResults(const ObjectTable& objects) {
    ResultTexts results;
    for (size_t slot = 0; slot < objects.size(); ++slot) {
        hashlib::DigestObject* object = objects[slot].get();
        if (object == nullptr) {
            continue;
        }
        const size_t size = size_t(std::max<int32_t>(object->DigestSize(), 0));
        std::vector<char> text(2 * size + 1);
        object->HexDigest(text.data());
        text[2 * size] = '\0';
        results[slot] = text.data();
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

ResultCode DigestCalculator::FeedFile(const ObjectTable& objects, const std::string& path) {
    FileReader reader;
    return FeedOpened(objects, reader, reader.Open(path));
}

ResultCode DigestCalculator::FeedStandardInput(const ObjectTable& objects) {
    FileReader reader;
    return FeedOpened(objects, reader, reader.OpenStandardInput());
}

ResultCode DigestCalculator::FeedOpened(const ObjectTable& objects, FileReader& reader, ResultCode opened) {
    if (opened != ResultSuccess) {
        return opened;
    }
    return FeedSource(objects, filter_ != nullptr ? filter_->Filter(reader) : reader);
}

ResultCode DigestCalculator::FeedSource(const ObjectTable& objects, ByteSource& source) {
    const FilePassSettings settings{progress_, parallel_, piece_blocks_, stop_};
    return hook_ != nullptr ? hook_->Run(source, objects, settings, Pass())
                            : Pass().Run(source, objects, settings);
}

FilePass& DigestCalculator::Pass() {
    if (!pass_) {
        pass_ = std::make_unique<FilePass>();
    }
    return *pass_;
}

ResultCode DigestCalculator::RunJobs(JobList& jobs) {
    if (!scheduler_) {
        scheduler_ = std::make_unique<JobScheduler>(*this);
    }
    return scheduler_->Run(jobs);
}

}  // namespace engine
