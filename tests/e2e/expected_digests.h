// What the dialog should show, worked out in the test program itself: plain digests from the
// library's objects (checked natively against Crypto++ and published vectors by the unit
// tests) and HMACs built here from those plain digests (RFC 2104), independently of the
// engine's own HMAC code.
#pragma once

#include <array>
#include <set>
#include <string>

#include "hashlib/hashlib.h"

namespace e2e {

// By Algorithm identifier; empty for an algorithm the dialog does not offer.
using Results = std::array<std::wstring, hashlib::AlgorithmCount>;

std::wstring PlainDigest(int algorithm, const std::string& bytes);
std::wstring HmacDigest(int algorithm, const std::string& key, const std::string& bytes);

// The result texts for the ticked identifiers: plain, or keyed (the rows that cannot
// be keyed stay empty under HMAC).
Results ExpectedPlain(const std::set<int>& ticked, const std::string& bytes);
Results ExpectedHmac(const std::set<int>& ticked, const std::string& key, const std::string& bytes);

// The bytes of the system code page for a text, which is what text input hashes.
std::string CodePageBytes(const std::wstring& text);

}  // namespace e2e
