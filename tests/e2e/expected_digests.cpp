#include "expected_digests.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace e2e {
namespace {

// Each algorithm's input block length from its defining standard: the HMAC pad length.
size_t BlockLength(int algorithm) {
    switch (hashlib::AlgorithmId(algorithm)) {
        case hashlib::AlgorithmMd5:   // RFC 1321
        case hashlib::AlgorithmMd4:   // RFC 1320
        case hashlib::AlgorithmSha1:  // FIPS 180-4
        case hashlib::AlgorithmSha256:
        case hashlib::AlgorithmRipemd160:
        case hashlib::AlgorithmTiger:
            return 64;
        case hashlib::AlgorithmSha384:
        case hashlib::AlgorithmSha512:
            return 128;
        case hashlib::AlgorithmPanama:  // 8 words of 32 bits per step
            return 32;
        default:
            break;
    }
    throw std::invalid_argument("no block length for algorithm " + std::to_string(algorithm));
}

std::string RawDigest(int algorithm, const std::string& bytes) {
    auto object = hashlib::CreateDigestObject(algorithm);
    object->Update(bytes.data(), uint32_t(bytes.size()));
    std::vector<uint8_t> digest(size_t(object->DigestSize()));
    object->Final(digest.data());
    return std::string(digest.begin(), digest.end());
}

std::wstring Hex(const std::string& bytes) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (const char c : bytes) {
        text += digits[uint8_t(c) >> 4];
        text += digits[uint8_t(c) & 15];
    }
    return text;
}

}  // namespace

std::wstring PlainDigest(int algorithm, const std::string& bytes) {
    auto object = hashlib::CreateDigestObject(algorithm);
    object->Update(bytes.data(), uint32_t(bytes.size()));
    std::vector<char> text(2 * size_t(object->DigestSize()) + 1);
    object->HexDigest(text.data());
    return std::wstring(text.begin(), text.end() - 1);
}

std::wstring HmacDigest(int algorithm, const std::string& key, const std::string& bytes) {
    // HMAC(K, m) = H((K0 ^ opad) || H((K0 ^ ipad) || m)), K0 the key (hashed first when longer
    // than a block) padded with zeros to the block length.
    const size_t block = BlockLength(algorithm);
    std::string padded = key.size() > block ? RawDigest(algorithm, key) : key;
    padded.resize(block, '\0');
    std::string inner, outer;
    for (const char c : padded) {
        inner += char(uint8_t(c) ^ 0x36);
        outer += char(uint8_t(c) ^ 0x5c);
    }
    return Hex(RawDigest(algorithm, outer + RawDigest(algorithm, inner + bytes)));
}

Results ExpectedPlain(const std::set<int>& ticked, const std::string& bytes) {
    Results results;
    for (const int algorithm : ticked) {
        results[size_t(algorithm)] = PlainDigest(algorithm, bytes);
    }
    return results;
}

Results ExpectedHmac(const std::set<int>& ticked, const std::string& key, const std::string& bytes) {
    Results results;
    for (const int algorithm : ticked) {
        if (hashlib::Algorithms[size_t(algorithm)].keyable) {
            results[size_t(algorithm)] = HmacDigest(algorithm, key, bytes);
        }
    }
    return results;
}

std::string CodePageBytes(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

}  // namespace e2e
