// A list in turn: each job worked on the calling thread with the owner, one job read ahead so a
// list of one is known for one. At once: the calling thread hands jobs out (at most JobSlots in
// flight), the workers take them in order, each with a calculator of its own, and the calling
// thread hands them back in order. While the job due is not done, the calling thread takes the
// next job itself, and waits (reporting progress) only when every job handed out is taken: so
// one thread fewer is started than files are read at once, no thread competes with the hashing
// ones for a core, and the calling thread is seldom put to sleep and woken, which on a small
// file costs about as much as hashing it.
//
// A large file with two or more algorithms under parallel feeding gains more from its objects
// on threads of their own (the owner's parallel pass) than from the files beside it, which in
// order could not be handed back before it anyway: its pass waits until no other pass runs, and
// no other pass starts until it has ended.
#include "job_scheduler.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "byte_source.h"
#include "platform/platform.h"

namespace engine {
namespace {

// A file of this many pieces (32 MiB in the usual ones) or more is read alone when it pays: its
// pass then gains more than the other files lose by waiting for the passes before it.
constexpr uint64_t kAlonePieces = 128;

// A pass over a file of this many pieces (4 MiB in the usual ones) or one of unknown size may
// take a while: in turn, the list may flush its output first.
constexpr uint64_t kLongPassPieces = 16;

// While it waits, the list's thread reports progress this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

uint64_t PieceBytes(const FilePassSettings& settings) {
    return uint64_t(settings.piece_blocks != 0 ? settings.piece_blocks : FilePieceBlocks) * FileBlockSize;
}

int CountObjects(const ObjectTable& objects) {
    return int(std::count_if(objects.begin(), objects.end(), [](const auto& o) { return bool(o); }));
}

// Turns the progress of one pass after another into the growth of the list's byte count, and,
// on the list's thread, reports the list's progress.
class PassBytes final : public ProgressCallback {
  public:
    explicit PassBytes(std::atomic<uint64_t>& bytes) : bytes_(bytes) {}

    void Begin() { reported_ = 0; }
    void Progress(uint64_t done, uint64_t) override {
        if (done > reported_) {
            const uint64_t bytes =
                bytes_.fetch_add(done - reported_, std::memory_order_relaxed) + done - reported_;
            reported_ = done;
            if (list_progress != nullptr) {
                list_progress->ListProgress(*inputs_done, bytes);
            }
        }
    }
    // The pass has ended; small files report nothing before.
    void End(uint64_t size) { Progress(size, size); }

    // On the list's thread: where to report, and the inputs handed back so far.
    ProgressCallback* list_progress = nullptr;
    const uint64_t* inputs_done = nullptr;

  private:
    std::atomic<uint64_t>& bytes_;
    uint64_t reported_ = 0;
};

// Sets a calculator's hook for a scope.
class HookSet {
  public:
    HookSet(PassHook*& hook, PassHook* value) : hook_(hook) { hook_ = value; }
    ~HookSet() { hook_ = nullptr; }
    HookSet(const HookSet&) = delete;
    HookSet& operator=(const HookSet&) = delete;

  private:
    PassHook*& hook_;
};

}  // namespace

// The passes of a calculator working on a list's jobs. In turn: as the owner is set. At once:
// side by side on the calculator's own serial pass, or a large file alone on the owner's
// parallel one. On the list's thread it also reports the list's progress, and lets the list
// flush its output before a pass that may take a while.
class JobScheduler::ListHook final : public PassHook {
  public:
    ListHook(JobScheduler& scheduler, bool at_once)
        : scheduler_(scheduler), at_once_(at_once), bytes_(scheduler.bytes_) {}

    void OnListThread(JobList& jobs, const uint64_t& inputs_done) {
        jobs_ = &jobs;
        bytes_.list_progress = scheduler_.owner_.progress_;
        bytes_.inputs_done = &inputs_done;
    }

    ResultCode Run(ByteSource& source, const ObjectTable& objects, FilePassSettings settings,
                   FilePass& own) override {
        const uint64_t size = source.Size();
        const uint64_t piece = PieceBytes(settings);
        if (jobs_ != nullptr && (size == 0 || size >= kLongPassPieces * piece)) {
            jobs_->Waiting();
        }
        const bool alone = at_once_ && scheduler_.parallel_feeding_ && CountObjects(objects) >= 2 &&
                           size >= kAlonePieces * piece;
        if (at_once_) {
            scheduler_.EnterPass(alone);
        }
        struct Leave {
            JobScheduler* scheduler;  // null: nothing to leave
            bool alone;
            ~Leave() {
                if (scheduler != nullptr) {
                    scheduler->LeavePass(alone);
                }
            }
        } leave{at_once_ ? &scheduler_ : nullptr, alone};
        bytes_.Begin();
        settings.progress = &bytes_;
        if (at_once_) {
            settings.parallel = alone;
        }
        const ResultCode result = (alone ? *scheduler_.owner_.pass_ : own).Run(source, objects, settings);
        bytes_.End(size);
        return result;
    }

  private:
    JobScheduler& scheduler_;
    bool at_once_;
    JobList* jobs_ = nullptr;
    PassBytes bytes_;
};

struct JobScheduler::Worker {
    explicit Worker(JobScheduler& scheduler) : hook(scheduler, true) { calculator.hook_ = &hook; }
    DigestCalculator calculator;
    ListHook hook;
    std::thread thread;
};

// However the list ends (its last job handed back, a stop, an exception), the jobs not yet
// taken are dropped and those being worked on are stopped and waited for, so no worker touches
// the list once Run has returned.
class JobScheduler::ListEnd {
  public:
    explicit ListEnd(JobScheduler& scheduler) : scheduler_(scheduler) {}
    ~ListEnd() {
        scheduler_.list_open_ = false;
        scheduler_.stop_.request_stop();
        scheduler_.WaitOnListThread(std::nullopt, [&] { return scheduler_.working_ == 0; });
        scheduler_.jobs_ = nullptr;
    }
    ListEnd(const ListEnd&) = delete;
    ListEnd& operator=(const ListEnd&) = delete;

  private:
    JobScheduler& scheduler_;
};

JobScheduler::JobScheduler(DigestCalculator& owner) : owner_(owner) {}

JobScheduler::~JobScheduler() {
    closing_ = true;
    { std::lock_guard<std::mutex> lock(sleep_mutex_); }
    work_.notify_all();
    for (auto& worker : workers_) {
        if (worker->thread.joinable()) {
            worker->thread.join();
        }
    }
}

ResultCode JobScheduler::Run(JobList& jobs) {
    if (owner_.StopRequested() || !jobs.Next(0)) {
        return owner_.StopRequested() ? ResultStopped : ResultSuccess;
    }
    if (owner_.StopRequested()) {
        return ResultStopped;
    }
    if (!jobs.Next(1)) {
        // One job: as a single calculation.
        jobs.Work(0, owner_);
        return !owner_.StopRequested() && jobs.Done(0) ? ResultSuccess : ResultStopped;
    }
    const size_t width = Width(jobs);
    if (width > 1 && StartWorkers(width - 1)) {
        return RunAtOnce(jobs, width - 1);
    }
    return RunInTurn(jobs);
}

size_t JobScheduler::Width(const JobList& jobs) const {
    if (owner_.parallel_files_ == ParallelFiles::Off) {
        return 1;
    }
    const size_t cores = UsableCoreCount();
    if (cores < 2) {
        return 1;
    }
    std::string_view path = jobs.PathOf(0);
    if (path.empty()) {
        path = jobs.PathOf(1);
    }
    // A spinning disk reads files in turn faster than several at once, unless they are in the
    // cache already, as the first one tells.
    if (owner_.parallel_files_ == ParallelFiles::Storage && !path.empty()) {
        const std::string file(path);
        if (StorageHasSeekPenalty(file) && !FileStartIsCached(file)) {
            return 1;
        }
    }
    return std::min(cores, JobSlots / 2);
}

ResultCode JobScheduler::RunInTurn(JobList& jobs) {
    uint64_t handed_back = 0;
    uint64_t handed_out = 2;
    bytes_ = 0;
    ListHook hook(*this, false);
    hook.OnListThread(jobs, handed_back);
    const HookSet hook_set(owner_.hook_, &hook);
    bool ended = false;
    while (handed_back < handed_out) {
        const size_t slot = size_t(handed_back % JobSlots);
        jobs.Work(slot, owner_);
        if (owner_.StopRequested() || !jobs.Done(slot)) {
            return ResultStopped;
        }
        ++handed_back;
        if (!ended) {
            if (owner_.StopRequested()) {
                return ResultStopped;
            }
            if (jobs.Next(size_t(handed_out % JobSlots))) {
                ++handed_out;
            } else {
                ended = true;
            }
        }
    }
    return ResultSuccess;
}

bool JobScheduler::StartWorkers(size_t count) {
    try {
        while (workers_.size() < count) {
            auto worker = std::make_unique<Worker>(*this);
            Worker& started = *worker;
            const size_t index = workers_.size();
            workers_.push_back(std::move(worker));
            started.thread = std::thread(&JobScheduler::Loop, this, std::ref(started), index);
        }
    } catch (const std::system_error&) {
        workers_.pop_back();  // the one whose thread was refused
    }
    return !workers_.empty();
}

ResultCode JobScheduler::RunAtOnce(JobList& jobs, size_t workers) {
    owner_.Pass();  // made here: a large file's pass borrows it from a worker
    stop_ = std::stop_source();
    bytes_ = 0;
    parallel_feeding_ = owner_.parallel_;
    for (auto& worker : workers_) {
        worker->calculator.SetStopToken(stop_.get_token());
        worker->calculator.SetSourceFilter(owner_.filter_);
        worker->calculator.SetPieceBlocks(owner_.piece_blocks_);
    }
    jobs_ = &jobs;
    workers_in_list_ = std::min(workers, workers_.size());
    handed_out_ = 2;
    taken_ = 0;
    for (auto& finished : finished_) {
        finished = false;
    }
    failure_ = nullptr;
    side_by_side_ = 0;
    alone_ = false;
    list_open_ = true;
    uint64_t handed_back = 0;
    // The owner works on jobs here as a worker does, heeding the list's stop; its own settings
    // come back when the list ends.
    const std::stop_token owner_stop = owner_.stop_;
    struct OwnerStop {
        DigestCalculator& owner;
        std::stop_token restored;
        ~OwnerStop() { owner.SetStopToken(restored); }
    } owner_stop_restored{owner_, owner_stop};
    owner_.SetStopToken(stop_.get_token());
    ListHook hook(*this, true);
    hook.OnListThread(jobs, handed_back);
    const HookSet hook_set(owner_.hook_, &hook);

    ResultCode result;
    {
        const ListEnd list_end(*this);
        const std::stop_callback forward_stop(owner_stop, [this] { stop_.request_stop(); });
        { std::lock_guard<std::mutex> lock(sleep_mutex_); }
        work_.notify_all();
        result = HandBackInOrder(jobs, handed_back);
    }
    if (failure_) {
        std::rethrow_exception(failure_);  // every worker has finished with the list
    }
    return result;
}

ResultCode JobScheduler::HandBackInOrder(JobList& jobs, uint64_t& handed_back) {
    bool ended = false;
    auto last_report = std::chrono::steady_clock::now();
    for (;;) {
        // handed_out_ changes only on this thread.
        uint64_t handed_out = handed_out_;
        while (!ended && handed_out - handed_back < JobSlots && !stop_.stop_requested()) {
            const size_t slot = size_t(handed_out % JobSlots);
            if (!jobs.Next(slot)) {
                ended = true;
                break;
            }
            finished_[slot] = false;
            handed_out_ = ++handed_out;
            if (sleeping_workers_ > 0) {
                { std::lock_guard<std::mutex> lock(sleep_mutex_); }
                work_.notify_one();
            }
        }
        if (stop_.stop_requested()) {
            return ResultStopped;
        }
        if (handed_back == handed_out) {
            return ResultSuccess;
        }
        const size_t slot = size_t(handed_back % JobSlots);
        if (!finished_[slot]) {
            if (WorkOnNext(owner_)) {
                continue;
            }
            jobs.Waiting();
            WaitOnListThread(handed_back, [&] { return bool(finished_[slot]); });
            last_report = std::chrono::steady_clock::now();
        }
        if (stop_.stop_requested() || !jobs.Done(slot)) {
            return ResultStopped;
        }
        ++handed_back;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_report >= kProgressInterval) {
            ReportProgress(handed_back);
            last_report = now;
        }
    }
}

bool JobScheduler::WorkOnNext(DigestCalculator& calculator) {
    ++working_;
    uint64_t index = taken_;
    bool took = false;
    while (list_open_ && index < handed_out_) {
        if (taken_.compare_exchange_weak(index, index + 1)) {
            took = true;
            break;
        }
    }
    if (took) {
        const size_t slot = size_t(index % JobSlots);
        try {
            jobs_->Work(slot, calculator);
        } catch (...) {
            {
                std::lock_guard<std::mutex> lock(sleep_mutex_);
                if (!failure_) {
                    failure_ = std::current_exception();
                }
            }
            stop_.request_stop();
        }
        finished_[slot] = true;
    }
    StopWorking();
    return took;
}

void JobScheduler::StopWorking() {
    --working_;
    if (list_waiting_) {
        { std::lock_guard<std::mutex> lock(sleep_mutex_); }
        done_.notify_one();
    }
}

template <typename Ready>
void JobScheduler::WaitOnListThread(std::optional<uint64_t> inputs_done, Ready ready) {
    std::unique_lock<std::mutex> lock(sleep_mutex_);
    list_waiting_ = true;
    while (!done_.wait_for(lock, kProgressInterval, ready)) {
        if (inputs_done) {
            lock.unlock();
            ReportProgress(*inputs_done);
            lock.lock();
        }
    }
    list_waiting_ = false;
}

void JobScheduler::Loop(Worker& worker, size_t index) {
    for (;;) {
        if (index < workers_in_list_ && WorkOnNext(worker.calculator)) {
            continue;
        }
        std::unique_lock<std::mutex> lock(sleep_mutex_);
        ++sleeping_workers_;
        work_.wait(lock, [&] {
            return closing_ || (index < workers_in_list_ && list_open_ && taken_ < handed_out_);
        });
        --sleeping_workers_;
        if (closing_) {
            return;
        }
    }
}

void JobScheduler::EnterPass(bool alone) {
    if (!alone) {
        ++side_by_side_;
        if (!alone_) {
            return;  // the usual way: no lock
        }
        LeavePass(false);
        std::unique_lock<std::mutex> lock(gate_mutex_);
        gate_.wait(lock, [&] { return !alone_; });
        ++side_by_side_;  // under the lock, so a large file's pass that starts now sees it
        return;
    }
    std::unique_lock<std::mutex> lock(gate_mutex_);
    gate_.wait(lock, [&] { return !alone_; });
    alone_ = true;
    gate_.wait(lock, [&] { return side_by_side_ == 0; });
}

void JobScheduler::LeavePass(bool alone) {
    if (!alone) {
        --side_by_side_;
        if (!alone_) {
            return;
        }
        std::lock_guard<std::mutex> lock(gate_mutex_);
        gate_.notify_all();  // a large file's pass may wait for this one
        return;
    }
    {
        std::lock_guard<std::mutex> lock(gate_mutex_);
        alone_ = false;
    }
    gate_.notify_all();
}

void JobScheduler::ReportProgress(uint64_t inputs_done) {
    if (owner_.progress_ != nullptr) {
        owner_.progress_->ListProgress(inputs_done, bytes_.load(std::memory_order_relaxed));
    }
}

}  // namespace engine
