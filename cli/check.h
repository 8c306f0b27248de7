// orvendal-cli -c: the files that sum files list, checked against the digests they give; and
// --verify: files checked against the sum files that lie beside them.
#pragma once

#include "arguments.h"
#include "engine/engine.h"
#include "progress_line.h"

namespace cli {

// Checks the files every sum file of `arguments.inputs` lists, printing a line per listed file
// and the summary warnings per sum file; returns the exit status (0 every listed file matched).
int RunCheck(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress);

// Checks every file of `arguments.inputs` against the sum files beside it, printing one verdict
// per file (with the algorithm and the sum file), or on standard error why there is none; returns
// the exit status (0 every file was verified OK).
int RunVerify(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress);

}  // namespace cli
