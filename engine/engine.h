// The engine's one front door for the dialog and orvendal-cli:
// - the Calculation request and its answer, the driver (DigestCalculator) with its progress
//   callback and stop token, and the Calculate command that checks a request before the driver
//   runs it (calculate_command.h, digest_calculator.h, file_pass.h); lists of calculations run
//   through the driver, several files at once, handed back in order (job_list.h);
// - sum files: reading and writing their lines (sum_file.h), checking the files they list
//   (sum_file_check.h), the sum files beside a file for the dialog's marks
//   (sum_files_beside.h), and a small file read whole (whole_file.h);
// - paths and their platform's rules (paths.h), and the platform queries and text conversions
//   (platform/platform.h).
// Everything below these headers is the engine's own business.
#pragma once

#include "calculate_command.h"
#include "digest_calculator.h"
#include "file_pass.h"
#include "job_list.h"
#include "paths.h"
#include "platform/platform.h"
#include "result_code.h"
#include "sum_file.h"
#include "sum_file_check.h"
#include "sum_files_beside.h"
#include "whole_file.h"
