#include "sum_file_check.h"

#include "calculate_command.h"
#include "paths.h"

namespace engine {
namespace {

Verdict VerdictOfFailure(ResultCode result) {
    return result == ResultNotFound ? Verdict::Missing : Verdict::Unreadable;
}

void Count(Verdict verdict, CheckCounts& counts) {
    switch (verdict) {
        case Verdict::NotChecked:
            ++counts.not_checked;
            return;
        case Verdict::Match:
            ++counts.matched;
            return;
        case Verdict::Mismatch:
            ++counts.mismatched;
            return;
        case Verdict::Missing:
            ++counts.missing;
            return;
        case Verdict::Unreadable:
            ++counts.unreadable;
            return;
    }
}

}  // namespace

bool IsCheckable(const SumEntry& entry, const SumFileCheckSettings& settings) {
    return !entry.keyed || settings.key.has_value();
}

ResultCode CheckListedFile(const SumFile& sum_file, const std::vector<size_t>& entries,
                           const std::string& path, const SumFileCheckSettings& settings,
                           DigestCalculator& calculator, std::vector<LineVerdict>& verdicts) {
    verdicts.clear();
    for (const size_t index : entries) {
        verdicts.push_back({index, sum_file.entries[index].algorithm, Verdict::NotChecked});
    }
    for (const bool keyed : {false, true}) {
        CalculationRequest request;
        request.input_kind = InputFile;
        request.input_value = path;
        request.hmac = keyed;
        if (keyed && settings.key) {
            request.key_kind = settings.key->kind;
            request.key_value = settings.key->value;
        }
        for (const LineVerdict& line : verdicts) {
            if (sum_file.entries[line.entry].keyed == keyed) {
                request.selection[size_t(line.algorithm)] = 1;
            }
        }
        if (CountSelectedAlgorithms(keyed, request.selection) == 0) {
            continue;
        }
        const CalculationAnswer answer = calculator.Calculate(request);
        if (answer.result == ResultStopped) {
            verdicts.clear();
            return ResultStopped;
        }
        for (LineVerdict& line : verdicts) {
            const SumEntry& entry = sum_file.entries[line.entry];
            if (answer.result != ResultSuccess) {
                // Every line not yet checked, the keyed ones too when the plain read failed: it
                // is the same file. Lines of an earlier read keep their verdicts.
                if (line.verdict == Verdict::NotChecked) {
                    line.verdict = VerdictOfFailure(answer.result);
                }
            } else if (entry.keyed == keyed) {
                line.verdict = DigestsEqual(answer.texts[size_t(line.algorithm)], entry.digest)
                                   ? Verdict::Match
                                   : Verdict::Mismatch;
            }
        }
        if (answer.result != ResultSuccess) {
            break;
        }
    }
    return ResultSuccess;
}

SumFileCheck CheckSumFile(const SumFile& sum_file, std::string_view sum_file_path,
                          const SumFileCheckSettings& settings, DigestCalculator& calculator,
                          CheckListener* listener) {
    SumFileCheck check;
    for (size_t index = 0; index < sum_file.entries.size(); ++index) {
        check.lines.push_back({index, sum_file.entries[index].algorithm, Verdict::NotChecked});
    }
    const auto checkable = [&settings](const SumEntry& entry) { return IsCheckable(entry, settings); };
    ListedFileCheck file;
    for (const std::vector<size_t>& group : GroupEntriesByFile(sum_file.entries, checkable)) {
        if (calculator.StopRequested()) {
            check.stopped = true;
            break;
        }
        file.listed_name = sum_file.entries[group.front()].file_name;
        file.path = ResolveListedName(sum_file_path, file.listed_name);
        file.lines.clear();
        if (listener != nullptr) {
            listener->Reading(file);
        }
        if (CheckListedFile(sum_file, group, file.path, settings, calculator, file.lines) == ResultStopped) {
            check.stopped = true;
            break;
        }
        for (const LineVerdict& line : file.lines) {
            check.lines[line.entry] = line;
        }
        if (listener != nullptr && !listener->Checked(file)) {
            check.stopped = true;
            break;
        }
    }
    for (const LineVerdict& line : check.lines) {
        Count(line.verdict, check.counts);
    }
    return check;
}

}  // namespace engine
