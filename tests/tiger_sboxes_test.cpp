// Our generated Tiger S-boxes against the independent implementation's published copy.
#include <gtest/gtest.h>

#include "oracle.h"
#include "test_support.h"

TEST(TigerSboxes, MatchAnIndependentCopy) {
    const std::vector<uint64_t> theirs = OracleTigerSboxes();
    ASSERT_EQ(theirs.size(), 1024u);
    int mismatches = 0;
    for (int box = 0; box < 4; ++box) {
        for (int i = 0; i < 256; ++i) {
            if (hashlib::TigerSboxes[box][i] != theirs[256 * box + i] && ++mismatches <= 5) {
                ADD_FAILURE() << "box " << box + 1 << " entry " << i << ": " << std::hex
                              << hashlib::TigerSboxes[box][i] << " instead of " << theirs[256 * box + i];
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}
