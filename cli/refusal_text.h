// orvendal-cli's words for the Calculate command's refusals.
#pragma once

#include "engine/engine.h"

namespace cli {

// The dialog's message for each refusal, in the same words.
const char* RefusalText(engine::Refusal refusal);

}  // namespace cli
