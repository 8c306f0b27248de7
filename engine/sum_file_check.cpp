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

// The reads of one listed file.
enum class Pass { Plain, SlowCandidates, Keyed };

// Candidates that hash far slower than the others (MD2, under 100 MB/s where the rest pass
// 500 MB/s) are computed in a read of their own, only when no other candidate matched: in the
// same read they would set its pace for the lines that match a fast one.
constexpr uint16_t SlowCandidateCost = 100;

bool IsSlow(int algorithm) {
    return hashlib::Algorithms[size_t(algorithm)].relative_cost >= SlowCandidateCost;
}

// What a line is checked against in a pass, in the order tried: its algorithm, or its
// candidates of that pass, cheapest first.
std::vector<int> AlgorithmsOfPass(const SumEntry& entry, Pass pass) {
    if (entry.candidates.empty()) {
        return pass == Pass::SlowCandidates ? std::vector<int>{} : std::vector<int>{entry.algorithm};
    }
    std::vector<int> algorithms;
    for (const int candidate : entry.candidates) {
        if (IsSlow(candidate) == (pass == Pass::SlowCandidates)) {
            algorithms.push_back(candidate);
        }
    }
    return algorithms;
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
    // Plain lines, then the slow candidates of plain lines no other candidate matched, then keyed
    // lines: a read that fails leaves the lines already judged as they are.
    std::vector<bool> waiting_for_slow(verdicts.size(), false);
    for (size_t i = 0; i < verdicts.size(); ++i) {
        const SumEntry& entry = sum_file.entries[verdicts[i].entry];
        waiting_for_slow[i] = !entry.keyed && AlgorithmsOfPass(entry, Pass::Plain).empty();
    }
    for (const Pass pass : {Pass::Plain, Pass::SlowCandidates, Pass::Keyed}) {
        CalculationRequest request;
        request.input_kind = InputFile;
        request.input_value = path;
        request.hmac = pass == Pass::Keyed;
        if (request.hmac && settings.key) {
            request.key_kind = settings.key->kind;
            request.key_value = settings.key->value;
        }
        std::vector<bool> in_pass(verdicts.size(), false);
        for (size_t i = 0; i < verdicts.size(); ++i) {
            const SumEntry& entry = sum_file.entries[verdicts[i].entry];
            in_pass[i] = pass == Pass::Keyed ? entry.keyed
                                             : !entry.keyed && (pass == Pass::Plain || waiting_for_slow[i]);
            if (in_pass[i]) {
                for (const int algorithm : AlgorithmsOfPass(entry, pass)) {
                    request.selection[size_t(algorithm)] = 1;
                }
            }
        }
        if (CountSelectedAlgorithms(request.hmac, request.selection) == 0) {
            continue;
        }
        const CalculationAnswer answer = calculator.Calculate(request);
        if (answer.result == ResultStopped) {
            verdicts.clear();
            return ResultStopped;
        }
        for (size_t i = 0; i < verdicts.size(); ++i) {
            LineVerdict& line = verdicts[i];
            const SumEntry& entry = sum_file.entries[line.entry];
            if (answer.result != ResultSuccess) {
                // Every line not yet judged, the keyed ones too when the plain read failed: it is
                // the same file. Lines of an earlier read keep their verdicts.
                if (line.verdict == Verdict::NotChecked || waiting_for_slow[i]) {
                    line.verdict = VerdictOfFailure(answer.result);
                }
                continue;
            }
            if (!in_pass[i]) {
                continue;
            }
            line.verdict = Verdict::Mismatch;
            for (const int algorithm : AlgorithmsOfPass(entry, pass)) {
                if (DigestsEqual(answer.texts[size_t(algorithm)], entry.digest)) {
                    line.verdict = Verdict::Match;
                    line.algorithm = algorithm;
                    break;
                }
            }
            waiting_for_slow[i] = pass == Pass::Plain && line.verdict == Verdict::Mismatch &&
                                  !AlgorithmsOfPass(entry, Pass::SlowCandidates).empty();
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
