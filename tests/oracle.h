// Independent implementations (Crypto++) of every algorithm, used only by tests to cross-check
// the library. Never the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class OracleHash {
  public:
    virtual ~OracleHash() = default;
    virtual void Update(const uint8_t* data, size_t length) = 0;
    // The raw digest in the byte order our Final writes.
    virtual std::vector<uint8_t> Final() = 0;
};

// The oracle for an Algorithm identifier; throws for one it lacks.
std::unique_ptr<OracleHash> CreateOracle(int algorithm_id);

// Keyed (HMAC, RFC 2104) oracle for the keyable identifiers; throws for any other.
std::unique_ptr<OracleHash> CreateHmacOracle(int algorithm_id, const uint8_t* key, size_t key_length);

// Crypto++'s copy of the four Tiger S-boxes, 4 x 256 entries in box order.
std::vector<uint64_t> OracleTigerSboxes();
