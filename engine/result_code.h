// The result codes of the engine's reading and calculating, from the file readers up to the
// driver. 0, 1 and 2 are the driver's codes that the dialog turns into its messages.
#pragma once

#include <cstdint>

namespace engine {

enum ResultCode : int32_t {
    ResultSuccess = 0,
    ResultNotFound = 1,    // the file or a directory of its path does not exist
    ResultUnreadable = 2,  // any other failure to open the file, or a failed read
    ResultBadRequest = 3,  // an input or key kind the driver does not know, or hex that does not decode
    ResultStopped = 4,     // stopped on request before the input was read to its end; never a failure
};

}  // namespace engine
