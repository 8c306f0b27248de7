// Every digest object, and the HMAC object over every keyable algorithm, on arbitrary data cut
// into arbitrary pieces, on a CPU level chosen by the input and checked against the portable
// code. Input layout (fields read as zero once the input ends):
//   byte 0     the number of cuts (low four bits); the CPU level (bits 4-5, an index into the
//              levels this machine runs)
//   byte 1     the HMAC key length (0..255: below, at and beyond every block size)
//   then       two bytes per cut, each a piece length (taken modulo what is left, so zero-length
//              pieces happen), then the key bytes, then the message
// Each piece is copied into a heap block of exactly its length, so a read past a piece is caught.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/hmac_object.h"
#include "fuzz_check.h"
#include "hashlib/cpu_dispatch.h"
#include "hashlib/hashlib.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Feed(hashlib::DigestObject& object, std::string_view message, const std::vector<uint16_t>& cuts) {
    size_t at = 0;
    for (uint16_t cut : cuts) {
        const size_t length = cut % (message.size() - at + 1);
        std::unique_ptr<uint8_t[]> piece(new uint8_t[length == 0 ? 1 : length]);
        std::memcpy(piece.get(), message.data() + at, length);
        object.Update(piece.get(), uint32_t(length));
        at += length;
    }
    std::unique_ptr<uint8_t[]> tail(new uint8_t[message.size() - at + 1]);
    std::memcpy(tail.get(), message.data() + at, message.size() - at);
    object.Update(tail.get(), uint32_t(message.size() - at));
}

Bytes FinalOf(hashlib::DigestObject& object) {
    Bytes digest(size_t(object.DigestSize()));
    object.Final(digest.data());
    return digest;
}

std::string HexOf(hashlib::DigestObject& object) {
    std::string text(2 * size_t(object.DigestSize()) + 1, '\x7f');
    object.HexDigest(text.data());
    FUZZ_CHECK(text.back() == '\0');
    text.pop_back();
    return text;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? char(c - 'a' + 'A') : c; });
    return text;
}

Bytes OneCall(int id, std::string_view message) {
    const auto object = hashlib::CreateDigestObject(id);
    FUZZ_CHECK(object != nullptr);
    FUZZ_CHECK(object->DigestSize() == hashlib::Algorithms[id].DigestSize());
    object->Update(message.data(), uint32_t(message.size()));
    return FinalOf(*object);
}

// `portable` is the one-call digest of the portable code; the checks run on the active level.
void CheckPlain(int id, std::string_view message, const std::vector<uint16_t>& cuts, const Bytes& portable) {
    const hashlib::AlgorithmInfo& info = hashlib::Algorithms[id];
    const Bytes digest = OneCall(id, message);
    FUZZ_CHECK(digest == portable);

    // The same object in pieces, then reused after Final for the text.
    const auto pieces = hashlib::CreateDigestObject(id);
    Feed(*pieces, message, cuts);
    FUZZ_CHECK(FinalOf(*pieces) == digest);
    Feed(*pieces, message, {});
    const std::string text = HexOf(*pieces);
    Bytes printed_order = digest;
    if (id == hashlib::AlgorithmCrc32) {
        std::reverse(printed_order.begin(), printed_order.end());  // printed as the usual value
    }
    FUZZ_CHECK(text == fuzz::ToHex(printed_order.data(), printed_order.size()));

    // The catalogue entry of the same algorithm, in one call and in pieces through its
    // working record where the entry promises room for it.
    const hashlib::HashDescriptor* entry = hashlib::FindHashDescriptor(info.catalogue_code);
    FUZZ_CHECK(entry != nullptr && entry->digest_size == uint32_t(pieces->DigestSize()));
    Bytes calculated(entry->digest_size);
    entry->calculate(calculated.data(), message.data(), uint32_t(message.size()));
    FUZZ_CHECK(calculated == digest);
    std::string calculated_text(2 * entry->digest_size + 1, '\x7f');
    entry->calculate_hex(calculated_text.data(), message.data(), uint32_t(message.size()), 1);
    FUZZ_CHECK(calculated_text.back() == '\0');
    calculated_text.pop_back();
    FUZZ_CHECK(calculated_text == Upper(text));
    if (entry->block_size >= 8) {
        std::unique_ptr<std::max_align_t[]> record(
            new std::max_align_t[(entry->context_size + sizeof(std::max_align_t) - 1) /
                                 sizeof(std::max_align_t)]);
        entry->init(record.get());
        size_t at = 0;
        for (uint16_t cut : cuts) {
            const size_t length = cut % (message.size() - at + 1);
            entry->update(record.get(), message.data() + at, uint32_t(length));
            at += length;
        }
        entry->update(record.get(), message.data() + at, uint32_t(message.size() - at));
        Bytes recorded(entry->digest_size);
        entry->final(record.get(), recorded.data());
        FUZZ_CHECK(recorded == digest);
    }
}

// HMAC (RFC 2104) put together from the catalogue entry's one-call digest: independent of the
// HMAC engine's buffering and key handling.
Bytes HmacByDefinition(const hashlib::HashDescriptor& entry, std::string_view key, std::string_view message) {
    Bytes block(entry.block_size, 0);
    if (key.size() > entry.block_size) {
        entry.calculate(block.data(), key.data(), uint32_t(key.size()));
    } else {
        std::copy(key.begin(), key.end(), block.begin());
    }
    Bytes inner(block.size() + message.size());
    for (size_t i = 0; i < block.size(); ++i) {
        inner[i] = block[i] ^ 0x36;
    }
    std::copy(message.begin(), message.end(), inner.begin() + std::ptrdiff_t(block.size()));
    Bytes outer(block.size() + entry.digest_size);
    for (size_t i = 0; i < block.size(); ++i) {
        outer[i] = block[i] ^ 0x5c;
    }
    entry.calculate(outer.data() + block.size(), inner.data(), uint32_t(inner.size()));
    Bytes mac(entry.digest_size);
    entry.calculate(mac.data(), outer.data(), uint32_t(outer.size()));
    return mac;
}

void CheckKeyed(int id, std::string_view key, std::string_view message, const std::vector<uint16_t>& cuts) {
    const auto* key_bytes = reinterpret_cast<const uint8_t*>(key.data());
    const auto one_call = engine::CreateHmacObject(id, key_bytes, uint32_t(key.size()));
    FUZZ_CHECK(one_call != nullptr);
    FUZZ_CHECK(one_call->DigestSize() == hashlib::Algorithms[id].DigestSize());
    one_call->Update(message.data(), uint32_t(message.size()));
    const Bytes mac = FinalOf(*one_call);
    const hashlib::HashDescriptor* entry =
        hashlib::FindHashDescriptor(hashlib::Algorithms[id].catalogue_code);
    FUZZ_CHECK(mac == HmacByDefinition(*entry, key, message));

    // In pieces, then again after Final under the same key, then as text.
    const auto pieces = engine::CreateHmacObject(id, key_bytes, uint32_t(key.size()));
    Feed(*pieces, message, cuts);
    FUZZ_CHECK(FinalOf(*pieces) == mac);
    Feed(*pieces, message, cuts);
    FUZZ_CHECK(FinalOf(*pieces) == mac);
    Feed(*pieces, message, {});
    FUZZ_CHECK(HexOf(*pieces) == fuzz::ToHex(mac.data(), mac.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    static const std::vector<hashlib::CpuLevel> levels = hashlib::AvailableCpuLevels();
    const uint8_t first = input.Byte();
    const int cut_count = first & 15;
    const hashlib::CpuLevel level = levels[size_t(first >> 4 & 3) % levels.size()];
    const size_t key_length = input.Byte();
    std::vector<uint16_t> cuts;
    for (int i = 0; i < cut_count; ++i) {
        cuts.push_back(input.Word());
    }
    const std::string_view key = input.Bytes(key_length);
    const std::string_view message = input.Rest();

    std::vector<Bytes> portable;
    FUZZ_CHECK(hashlib::SetCpuLevel(hashlib::CpuLevel::Portable));
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        portable.push_back(OneCall(id, message));
    }
    FUZZ_CHECK(hashlib::SetCpuLevel(level));
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        CheckPlain(id, message, cuts, portable[size_t(id)]);
    }
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (hashlib::Algorithms[id].keyable) {
            CheckKeyed(id, key, message, cuts);
        }
    }
    FUZZ_CHECK(engine::CreateHmacObject(hashlib::AlgorithmMd2, nullptr, 0) == nullptr);
    return 0;
}
