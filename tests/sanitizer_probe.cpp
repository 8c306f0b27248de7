// A program that commits one fault on purpose, chosen by its argument: "overflow" a signed
// integer overflow (UndefinedBehaviorSanitizer), "heap" a read past a heap block
// (AddressSanitizer). Built only under the sanitizers, where each must end it with a failure
// status rather than a printed report and a normal exit; check_sanitizer_probe.py checks that.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    if (std::strcmp(argv[1], "overflow") == 0) {
        int value = std::atoi("2147483647");
        value += argc - 1;  // INT_MAX + 1
        std::printf("%d\n", value);
    } else if (std::strcmp(argv[1], "heap") == 0) {
        // Sizes the compiler cannot see, so it neither warns nor folds the read away.
        const size_t size = size_t(std::atoi("8"));
        char* block = static_cast<char*>(std::malloc(size));
        std::memset(block, 'x', size);
        volatile size_t past_the_end = size;
        std::printf("%d\n", block[past_the_end]);
        std::free(block);
    } else {
        return 2;
    }
    return 0;
}
