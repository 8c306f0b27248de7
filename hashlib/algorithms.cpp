// Lookups over the Algorithm table.
#include <algorithm>

#include "ascii.h"
#include "hashlib.h"

namespace hashlib {
std::unique_ptr<DigestObject> CreateDigestObject(int algorithm_id) {
    if (algorithm_id < 0 || algorithm_id >= AlgorithmCount) {
        return nullptr;
    }
    return Algorithms[size_t(algorithm_id)].create();
}

int FindAlgorithmByName(std::string_view name) {
    for (int id = 0; id < AlgorithmCount; ++id) {
        const AlgorithmInfo& info = Algorithms[size_t(id)];
        const auto matches = [name](const char* known) {
            return known != nullptr && ascii::EqualsIgnoringCase(name, known);
        };
        if (matches(info.display_name) || matches(info.command_name) || matches(info.tag_name) ||
            std::ranges::any_of(info.other_spellings, matches)) {
            return id;
        }
    }
    return -1;
}

int FindAlgorithmByCommandName(std::string_view name) {
    for (int id = 0; id < AlgorithmCount; ++id) {
        if (ascii::EqualsIgnoringCase(name, Algorithms[size_t(id)].command_name)) {
            return id;
        }
    }
    return -1;
}

}  // namespace hashlib
