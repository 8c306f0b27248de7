// Lists of calculations (DigestCalculator::RunJobs), in turn and with several files at once:
// every job is handed back in order, on the calling thread, with the outcome it has alone,
// whatever fails on the way (a missing file, one that vanishes after it was listed, a folder, a
// failing read, a file large enough to be read alone); a list that is stopped, ended by its
// receiver or left by an exception hands back nothing after that point, and the calculator
// serves the next list. The checking unit over a list gives the same verdicts either way.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "engine/calculate_command.h"
#include "engine/digest_calculator.h"
#include "engine/sum_file_check.h"
#include "engine_support.h"
#include "temp_dir.h"

using namespace engine;

namespace {

// Makes reads fail halfway through the files of the sizes it is given. Files at once call it on
// several threads: each thread reads one input at a time, so each keeps its own source.
class FailingSizes final : public SourceFilter {
  public:
    explicit FailingSizes(std::set<uint64_t> sizes) : sizes_(std::move(sizes)) {}
    ByteSource& Filter(ByteSource& opened) override {
        thread_local std::optional<FaultySource> source;
        ReadFaults faults;
        if (sizes_.count(opened.Size()) != 0) {
            faults.fail_at = opened.Size() / 2;
        }
        return source.emplace(opened, faults);
    }

  private:
    const std::set<uint64_t> sizes_;
};

// Asks for a stop when a file of the given size is opened.
class StopAtSize final : public SourceFilter {
  public:
    StopAtSize(uint64_t size, std::stop_source& stop) : size_(size), stop_(stop) {}
    ByteSource& Filter(ByteSource& opened) override {
        if (opened.Size() == size_) {
            stop_.request_stop();
        }
        return opened;
    }

  private:
    uint64_t size_;
    std::stop_source& stop_;
};

// Each request through the Calculate command, as orvendal-cli hashes its inputs. The files of
// `vanishing` are removed as their jobs are handed out: listed before, gone when read.
class Calculations final : public JobList {
  public:
    Calculations(const std::vector<CalculationRequest>& requests, std::set<size_t> vanishing = {})
        : outcomes(requests.size()), requests_(requests), vanishing_(std::move(vanishing)) {}

    bool Next(size_t slot) override {
        EXPECT_EQ(std::this_thread::get_id(), caller_);
        if (next_ == requests_.size()) {
            return false;
        }
        if (vanishing_.count(next_) != 0) {
            std::filesystem::remove(PathFromUtf8(requests_[next_].input_value));
        }
        jobs_[slot] = next_++;
        return true;
    }
    std::string_view PathOf(size_t slot) const override { return requests_[jobs_[slot]].input_value; }
    void Work(size_t slot, DigestCalculator& calculator) override {
        if (jobs_[slot] == throw_at) {
            throw std::runtime_error("a job failed");
        }
        outcomes[jobs_[slot]] = RunCalculateCommand(requests_[jobs_[slot]], calculator);
    }
    bool Done(size_t slot) override {
        EXPECT_EQ(std::this_thread::get_id(), caller_);
        EXPECT_EQ(jobs_[slot], handed_back.size()) << "out of order";
        handed_back.push_back(jobs_[slot]);
        if (handed_back.size() == stop_after && stop != nullptr) {
            stop->request_stop();
        }
        return handed_back.size() != end_after;
    }

    std::vector<CommandOutcome> outcomes;  // by job
    std::vector<size_t> handed_back;
    size_t end_after = SIZE_MAX;   // Done ends the list after this many
    size_t stop_after = SIZE_MAX;  // Done asks `stop` to stop after this many
    std::stop_source* stop = nullptr;
    size_t throw_at = SIZE_MAX;  // Work throws for this job

  private:
    const std::vector<CalculationRequest>& requests_;
    const std::set<size_t> vanishing_;
    std::array<size_t, JobSlots> jobs_{};
    size_t next_ = 0;
    std::thread::id caller_ = std::this_thread::get_id();
};

CalculationRequest FileRequest(const std::string& path) {
    CalculationRequest request;
    request.input_value = path;
    for (int id : {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1, hashlib::AlgorithmCrc32}) {
        request.selection[size_t(id)] = 1;
    }
    return request;
}

// Files of many sizes (one, of 200 blocks, read alone in pieces of one block), a folder, a
// missing file, one that vanishes, two whose reads fail, and a text between them.
struct MixedList {
    TempDir dir;
    std::vector<CalculationRequest> requests;
    size_t vanishing = 0;
    std::set<uint64_t> failing_sizes = {3000, 20001};
    std::string vanishing_bytes;

    MixedList() {
        SeededRandom random;
        std::vector<size_t> sizes = {0, 1, 8192, 8193, 200 * FileBlockSize, 3000, 20001};
        for (int i = 0; i < 33; ++i) {
            sizes.push_back(4000 + random.Below(40000));
        }
        for (size_t i = 0; i < sizes.size(); ++i) {
            requests.push_back(FileRequest(dir.Write(std::to_string(i), RandomString(random, sizes[i]))));
            if (i == 20) {
                requests.push_back(FileRequest(dir.Path("missing")));
                std::filesystem::create_directory(PathFromUtf8(dir.Path("folder")));
                requests.push_back(FileRequest(dir.Path("folder")));
                requests.push_back(FileRequest(""));
                requests.back().input_kind = InputText;
            }
        }
        vanishing = 9;
        vanishing_bytes = RandomString(random, 5000);
    }
    void Restore() const { dir.Write(std::to_string(vanishing), vanishing_bytes); }
};

}  // namespace

TEST(JobList, EveryJobComesBackInOrderWithTheOutcomeItHasAlone) {
    MixedList list;
    FailingSizes failing(list.failing_sizes);
    // Each job alone, the vanished file gone.
    std::filesystem::remove(PathFromUtf8(list.requests[list.vanishing].input_value));
    std::vector<CommandOutcome> alone;
    for (const CalculationRequest& request : list.requests) {
        DigestCalculator calculator;
        calculator.SetSourceFilter(&failing);
        alone.push_back(RunCalculateCommand(request, calculator));
    }
    EXPECT_EQ(alone[list.vanishing].refusal, Refusal::FileNotFound);
    EXPECT_EQ(alone[5].refusal, Refusal::FileUnreadable) << "a read failing halfway";
    EXPECT_EQ(alone[21].refusal, Refusal::FileNotFound);
    EXPECT_EQ(alone[22].refusal, Refusal::FileUnreadable) << "a folder";
    EXPECT_TRUE(alone[23].succeeded()) << "the text";

    for (bool at_once : {false, true}) {
        for (bool parallel : {false, true}) {
            SCOPED_TRACE(std::string(at_once ? "files at once" : "in turn") +
                         (parallel ? ", parallel feeding" : ""));
            DigestCalculator calculator;
            calculator.SetSourceFilter(&failing);
            calculator.SetParallelFiles(at_once ? ParallelFiles::Always : ParallelFiles::Off);
            calculator.SetParallelFeeding(parallel);
            calculator.SetPieceBlocks(1);
            for (int round = 0; round < 2; ++round) {  // the kept threads serve the next list
                list.Restore();
                Calculations jobs(list.requests, {list.vanishing});
                ASSERT_EQ(calculator.RunJobs(jobs), ResultSuccess);
                ASSERT_EQ(jobs.handed_back.size(), list.requests.size());
                for (size_t i = 0; i < alone.size(); ++i) {
                    EXPECT_EQ(jobs.outcomes[i].refusal, alone[i].refusal) << "job " << i;
                    EXPECT_EQ(jobs.outcomes[i].results, alone[i].results) << "job " << i;
                }
            }
        }
    }
}

TEST(JobList, NothingIsHandedBackAfterAStopAnEndOrAnException) {
    MixedList list;
    list.Restore();
    const uint64_t stop_in_size = 20001;  // job 6
    for (bool at_once : {false, true}) {
        SCOPED_TRACE(at_once ? "files at once" : "in turn");
        DigestCalculator calculator;
        calculator.SetParallelFiles(at_once ? ParallelFiles::Always : ParallelFiles::Off);
        calculator.SetParallelFeeding(true);

        Calculations ended(list.requests);
        ended.end_after = 5;
        EXPECT_EQ(calculator.RunJobs(ended), ResultStopped);
        EXPECT_EQ(ended.handed_back.size(), 5u);

        Calculations thrown(list.requests);
        thrown.throw_at = 12;
        EXPECT_THROW(calculator.RunJobs(thrown), std::runtime_error);
        EXPECT_LE(thrown.handed_back.size(), 12u);

        Calculations whole(list.requests);
        EXPECT_EQ(calculator.RunJobs(whole), ResultSuccess) << "served again after an exception";
        EXPECT_EQ(whole.handed_back.size(), list.requests.size());

        // The stop token: asked for between jobs, within a file, and before the list starts.
        std::stop_source between;
        calculator.SetStopToken(between.get_token());
        Calculations stopped(list.requests);
        stopped.stop = &between;
        stopped.stop_after = 4;
        EXPECT_EQ(calculator.RunJobs(stopped), ResultStopped);
        EXPECT_EQ(stopped.handed_back.size(), 4u);
        Calculations none(list.requests);
        EXPECT_EQ(calculator.RunJobs(none), ResultStopped);
        EXPECT_TRUE(none.handed_back.empty());

        std::stop_source within;
        StopAtSize stop_at(stop_in_size, within);
        calculator.SetStopToken(within.get_token());
        calculator.SetSourceFilter(&stop_at);
        Calculations cut(list.requests);
        EXPECT_EQ(calculator.RunJobs(cut), ResultStopped);
        EXPECT_LT(cut.handed_back.size(), 7u) << "the file being read when stopped is not handed back";
    }
}

// One job and none: as a single calculation, or nothing at all.
TEST(JobList, ListsOfOneAndOfNone) {
    TempDir dir;
    const std::vector<CalculationRequest> one = {FileRequest(dir.Write("f", "abc"))};
    const std::vector<CalculationRequest> none;
    DigestCalculator calculator;
    calculator.SetParallelFiles(ParallelFiles::Always);
    Calculations single(one);
    EXPECT_EQ(calculator.RunJobs(single), ResultSuccess);
    EXPECT_EQ(single.handed_back, std::vector<size_t>{0});
    EXPECT_EQ(single.outcomes[0].results[hashlib::AlgorithmMd5],
              "900150983cd24fb0d6963f7d28e17f72");  // RFC 1321
    Calculations empty(none);
    EXPECT_EQ(calculator.RunJobs(empty), ResultSuccess);
    EXPECT_TRUE(empty.handed_back.empty());
}

// The checking unit over many files: the same verdicts, heard in the same order, either way.
TEST(JobList, ACheckGivesTheSameVerdictsAtOnce) {
    MixedList list;
    list.Restore();
    list.dir.Write("abc", "abc");
    std::string lines = "MD5 (abc) = 900150983cd24fb0d6963f7d28e17f72\n";  // RFC 1321
    for (const CalculationRequest& request : list.requests) {
        if (request.input_kind == InputFile) {
            lines += "MD5 (" + Utf8FromPath(PathFromUtf8(request.input_value).filename()) +
                     ") = " + std::string(32, '0') + "\n";
        }
    }
    DigestCalculator reference;
    const SumFile sum_file = ReadSumFile(lines, "SUMS");
    const std::string sum_file_path = list.dir.Path("SUMS");
    struct Heard final : CheckListener {
        bool Checked(const ListedFileCheck& file) override {
            names.emplace_back(file.listed_name);
            return true;
        }
        std::vector<std::string> names;
    };
    Heard in_turn;
    const SumFileCheck expected = CheckSumFile(sum_file, sum_file_path, {}, reference, &in_turn);
    EXPECT_EQ(expected.counts.matched, 1u);
    EXPECT_GT(expected.counts.mismatched, 10u);
    EXPECT_EQ(expected.counts.missing, 1u);
    EXPECT_EQ(expected.counts.unreadable, 1u);

    DigestCalculator calculator;
    calculator.SetParallelFiles(ParallelFiles::Always);
    Heard at_once;
    const SumFileCheck check = CheckSumFile(sum_file, sum_file_path, {}, calculator, &at_once);
    EXPECT_FALSE(check.stopped);
    EXPECT_EQ(at_once.names, in_turn.names);
    ASSERT_EQ(check.lines.size(), expected.lines.size());
    for (size_t i = 0; i < check.lines.size(); ++i) {
        EXPECT_EQ(check.lines[i].verdict, expected.lines[i].verdict) << "line " << i + 1;
    }
}
