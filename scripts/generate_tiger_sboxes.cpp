// Writes hashlib/tiger_sboxes.cpp: the four Tiger S-boxes built by the authors' generation
// procedure. Every byte of entry i of the 1024-entry table starts as i mod 256; then, for five
// passes over the 256 rows of the four boxes, the Tiger compression function (using the table as
// built so far) is run on a fixed 64-byte seed once every three steps, and each step swaps,
// byte column by byte column, the entry of the current row with the entry that the matching byte
// of one of the three chaining words selects in the same box.
//
// Build and run once: g++ -std=c++20 -O2 -o gen scripts/generate_tiger_sboxes.cpp
//                     ./gen > hashlib/tiger_sboxes.cpp && clang-format -i hashlib/tiger_sboxes.cpp
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

uint64_t table[1024];

uint8_t ByteOf(uint64_t word, int index) {
    return uint8_t(word >> (8 * index));
}

void Round(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t x, uint64_t mul) {
    const uint64_t* t1 = table;
    const uint64_t* t2 = table + 256;
    const uint64_t* t3 = table + 512;
    const uint64_t* t4 = table + 768;
    c ^= x;
    a -= t1[ByteOf(c, 0)] ^ t2[ByteOf(c, 2)] ^ t3[ByteOf(c, 4)] ^ t4[ByteOf(c, 6)];
    b += t4[ByteOf(c, 1)] ^ t3[ByteOf(c, 3)] ^ t2[ByteOf(c, 5)] ^ t1[ByteOf(c, 7)];
    b *= mul;
}

void Pass(uint64_t& a, uint64_t& b, uint64_t& c, const uint64_t* x, uint64_t mul) {
    Round(a, b, c, x[0], mul);
    Round(b, c, a, x[1], mul);
    Round(c, a, b, x[2], mul);
    Round(a, b, c, x[3], mul);
    Round(b, c, a, x[4], mul);
    Round(c, a, b, x[5], mul);
    Round(a, b, c, x[6], mul);
    Round(b, c, a, x[7], mul);
}

void KeySchedule(uint64_t* x) {
    x[0] -= x[7] ^ 0xA5A5A5A5A5A5A5A5ull;
    x[1] ^= x[0];
    x[2] += x[1];
    x[3] -= x[2] ^ ((~x[1]) << 19);
    x[4] ^= x[3];
    x[5] += x[4];
    x[6] -= x[5] ^ ((~x[4]) >> 23);
    x[7] ^= x[6];
    x[0] += x[7];
    x[1] -= x[0] ^ ((~x[7]) << 19);
    x[2] ^= x[1];
    x[3] += x[2];
    x[4] -= x[3] ^ ((~x[2]) >> 23);
    x[5] ^= x[4];
    x[6] += x[5];
    x[7] -= x[6] ^ 0x0123456789ABCDEFull;
}

void Compress(const uint8_t* block, uint64_t* state) {
    uint64_t x[8];
    for (int i = 0; i < 8; ++i) {
        x[i] = 0;
        for (int j = 7; j >= 0; --j) {
            x[i] = x[i] << 8 | block[8 * i + j];
        }
    }
    uint64_t a = state[0], b = state[1], c = state[2];
    Pass(a, b, c, x, 5);
    KeySchedule(x);
    Pass(c, a, b, x, 7);
    KeySchedule(x);
    Pass(b, c, a, x, 9);
    state[0] = a ^ state[0];
    state[1] = b - state[1];
    state[2] = c + state[2];
}

void SwapByte(uint64_t& p, uint64_t& q, int column) {
    const uint64_t mask = uint64_t(0xff) << (8 * column);
    const uint64_t diff = (p ^ q) & mask;
    p ^= diff;
    q ^= diff;
}

void Generate() {
    static const char kSeed[] = "Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham";
    static_assert(sizeof(kSeed) == 65, "the seed is one 64-byte block");
    uint8_t seed[64];
    std::memcpy(seed, kSeed, 64);
    uint64_t state[3] = {0x0123456789ABCDEFull, 0xFEDCBA9876543210ull, 0xF096A5B4C3B2E187ull};

    for (int i = 0; i < 1024; ++i) {
        table[i] = uint64_t(i & 255) * 0x0101010101010101ull;
    }
    int abc = 2;
    for (int pass = 0; pass < 5; ++pass) {
        for (int row = 0; row < 256; ++row) {
            for (int box = 0; box < 1024; box += 256) {
                if (++abc == 3) {
                    abc = 0;
                    Compress(seed, state);
                }
                for (int column = 0; column < 8; ++column) {
                    SwapByte(table[box + row], table[box + ByteOf(state[abc], column)], column);
                }
            }
        }
    }
}

}  // namespace

int main() {
    Generate();
    std::printf(
        "// The four Tiger S-boxes, 4 x 256 64-bit words, as the authors' procedure generates them\n"
        "// from the seed \"Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham\" (five\n"
        "// passes of byte-column swaps steered by the Tiger compression function over the table as\n"
        "// built so far). Written by scripts/generate_tiger_sboxes.cpp; regenerate, do not edit.\n"
        "#include \"tiger.h\"\n\nnamespace hashlib {\n\n"
        "extern constexpr uint64_t TigerSboxes[4][256] = {\n");
    for (int box = 0; box < 4; ++box) {
        std::printf("    {\n");
        for (int i = 0; i < 256; ++i) {
            std::printf("%s0x%016llX%s", i % 4 == 0 ? "        " : " ",
                        static_cast<unsigned long long>(table[256 * box + i]), i == 255 ? "" : ",");
            if (i % 4 == 3) {
                std::printf("\n");
            }
        }
        std::printf("    }%s\n", box == 3 ? "" : ",");
    }
    std::printf("};\n\n}  // namespace hashlib\n");
    return 0;
}
