#ifdef __linux__
#include <sched.h>
#endif

#include <algorithm>
#include <thread>

#include "platform.h"

namespace engine {

unsigned UsableCoreCount() {
#ifdef __linux__
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return unsigned(CPU_COUNT(&cores));
    }
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

size_t SystemCodePageLength(const std::string& utf8_path) {
    return utf8_path.size();
}

}  // namespace engine
