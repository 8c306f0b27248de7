#include "sum_file_check.h"

#include <array>

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
enum class Pass { Plain, LaterCandidates, Keyed };

// Candidates tried in a read of their own, only when no other candidate matched: those that
// hash far slower than the others (MD2, under 100 MB/s where the rest pass 500 MB/s), which in
// the same read would set its pace for the lines that match a fast one, and those beyond the
// common thirteen (SHA3-512 and BLAKE2b share SHA-512's length, SHA3-256 SHA-256's), which a
// list whose name says no algorithm seldom holds.
constexpr uint16_t SlowCandidateCost = 100;

bool IsTriedLater(int algorithm) {
    return algorithm >= hashlib::CommonAlgorithmCount ||
           hashlib::Algorithms[size_t(algorithm)].relative_cost >= SlowCandidateCost;
}

// What a line is checked against in a pass, in the order tried: its algorithm, or its
// candidates of that pass, cheapest first.
std::vector<int> AlgorithmsOfPass(const SumEntry& entry, Pass pass) {
    if (entry.candidates.empty()) {
        return pass == Pass::LaterCandidates ? std::vector<int>{} : std::vector<int>{entry.algorithm};
    }
    std::vector<int> algorithms;
    for (const int candidate : entry.candidates) {
        if (IsTriedLater(candidate) == (pass == Pass::LaterCandidates)) {
            algorithms.push_back(candidate);
        }
    }
    return algorithms;
}

// The listed files as the calculator's list: one job per file, each handed back in order.
class ListedFiles final : public JobList {
  public:
    ListedFiles(const SumFile& sum_file, std::string_view sum_file_path, const SumFileCheckSettings& settings,
                EntryGroups groups, SumFileCheck& check, CheckListener* listener)
        : sum_file_(sum_file),
          sum_file_path_(sum_file_path),
          settings_(settings),
          groups_(std::move(groups)),
          check_(check),
          listener_(listener) {}

    bool Next(size_t slot) override {
        if (next_group_ == groups_.size()) {
            return false;
        }
        Job& job = jobs_[slot];
        job.group = next_group_++;
        job.file.listed_name = sum_file_.entries[groups_[job.group].front()].file_name;
        job.file.path = ResolveListedName(sum_file_path_, job.file.listed_name);
        job.file.lines.clear();
        if (listener_ != nullptr) {
            listener_->Reading(job.file);
        }
        return true;
    }

    std::string_view PathOf(size_t slot) const override { return jobs_[slot].file.path; }

    void Work(size_t slot, DigestCalculator& calculator) override {
        Job& job = jobs_[slot];
        job.result = CheckListedFile(sum_file_, groups_[job.group], job.file.path, settings_, calculator,
                                     job.file.lines);
    }

    bool Done(size_t slot) override {
        const Job& job = jobs_[slot];
        if (job.result == ResultStopped) {
            return false;
        }
        for (const LineVerdict& line : job.file.lines) {
            check_.lines[line.entry] = line;
        }
        return listener_ == nullptr || listener_->Checked(job.file);
    }

    void Waiting() override {
        if (listener_ != nullptr) {
            listener_->Waiting();
        }
    }

  private:
    struct Job {
        size_t group = 0;
        ListedFileCheck file;
        ResultCode result = ResultSuccess;
    };

    const SumFile& sum_file_;
    std::string_view sum_file_path_;
    const SumFileCheckSettings& settings_;
    const EntryGroups groups_;
    SumFileCheck& check_;
    CheckListener* listener_;
    size_t next_group_ = 0;
    std::array<Job, JobSlots> jobs_;
};

}  // namespace

bool IsCheckable(const SumEntry& entry, const SumFileCheckSettings& settings) {
    return !entry.keyed || settings.key.has_value();
}

ResultCode CheckListedFile(const SumFile& sum_file, std::span<const size_t> entries, const std::string& path,
                           const SumFileCheckSettings& settings, DigestCalculator& calculator,
                           std::vector<LineVerdict>& verdicts) {
    verdicts.clear();
    for (const size_t index : entries) {
        verdicts.push_back({index, sum_file.entries[index].algorithm, Verdict::NotChecked});
    }
    // Plain lines, then the later candidates of plain lines no other candidate matched, then keyed
    // lines: a read that fails leaves the lines already judged as they are.
    std::vector<bool> waiting_for_later(verdicts.size(), false);
    for (size_t i = 0; i < verdicts.size(); ++i) {
        const SumEntry& entry = sum_file.entries[verdicts[i].entry];
        waiting_for_later[i] = !entry.keyed && AlgorithmsOfPass(entry, Pass::Plain).empty();
    }
    for (const Pass pass : {Pass::Plain, Pass::LaterCandidates, Pass::Keyed}) {
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
                                             : !entry.keyed && (pass == Pass::Plain || waiting_for_later[i]);
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
                if (line.verdict == Verdict::NotChecked || waiting_for_later[i]) {
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
            waiting_for_later[i] = pass == Pass::Plain && line.verdict == Verdict::Mismatch &&
                                   !AlgorithmsOfPass(entry, Pass::LaterCandidates).empty();
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
    ListedFiles files(sum_file, sum_file_path, settings, GroupEntriesByFile(sum_file.entries, checkable),
                      check, listener);
    check.stopped = calculator.RunJobs(files) == ResultStopped;
    for (const LineVerdict& line : check.lines) {
        Count(line.verdict, check.counts);
    }
    return check;
}

}  // namespace engine
