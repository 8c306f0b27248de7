// How a DigestCalculator runs a list of jobs (RunJobs): one at a time on the calling thread, or
// several files at once on threads it keeps for the purpose, handed back in order either way.
// The engine's own business: the front ends see only DigestCalculator and JobList.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "digest_calculator.h"
#include "file_pass.h"
#include "job_list.h"
#include "result_code.h"

namespace engine {

class ByteSource;

// While a list runs, a calculator's file passes go through its hook, which chooses how each is
// run and counts the bytes read for the list's progress.
class PassHook {
  public:
    virtual ~PassHook() = default;
    // `own` is the calculator's own pass.
    virtual ResultCode Run(ByteSource& source, const ObjectTable& objects, FilePassSettings settings,
                           FilePass& own) = 0;
};

class JobScheduler {
  public:
    explicit JobScheduler(DigestCalculator& owner);
    ~JobScheduler();  // ends and joins its threads
    JobScheduler(const JobScheduler&) = delete;
    JobScheduler& operator=(const JobScheduler&) = delete;

    ResultCode Run(JobList& jobs);

  private:
    struct Worker;
    class ListHook;
    class ListEnd;

    // How many files the list reads at once: 1 runs it in turn.
    size_t Width(const JobList& jobs) const;
    // The first two jobs are in slots 0 and 1.
    ResultCode RunInTurn(JobList& jobs);
    // `workers` threads beside the list's own, which works on jobs too while the one due is not
    // done, so that as many threads hash as there are files at once.
    ResultCode RunAtOnce(JobList& jobs, size_t workers);
    // At once, on the list's thread: hands jobs out and back until the list ends or is stopped.
    ResultCode HandBackInOrder(JobList& jobs, uint64_t& handed_back);
    // Threads for `count` workers; false when not one could be started.
    bool StartWorkers(size_t count);
    void Loop(Worker& worker, size_t index);
    // Takes the next job handed out and not yet taken, if the list has one, and works on it with
    // `calculator`; false when there was none.
    bool WorkOnNext(DigestCalculator& calculator);
    // Counts a thread out of the jobs, and wakes the list's thread when it waits.
    void StopWorking();
    // On the list's thread: waits until `ready` holds, reporting progress with `inputs_done`.
    template <typename Ready>
    void WaitOnListThread(std::optional<uint64_t> inputs_done, Ready ready);
    // A file pass of a worker: a large file's waits until it is the only pass, and makes the
    // others wait for it; the others run side by side.
    void EnterPass(bool alone);
    void LeavePass(bool alone);
    void ReportProgress(uint64_t inputs_done);

    DigestCalculator& owner_;
    std::vector<std::unique_ptr<Worker>> workers_;

    // The hand-off costs no lock: one thread hands out, every thread takes with an atomic
    // exchange, and a sleeping thread is woken only when it sleeps. Every atomic is sequentially
    // consistent: a thread that goes to sleep announces it before looking a last time, and one
    // that changes what it waits for looks for sleepers after the change, so one of them sees
    // the other.
    std::mutex sleep_mutex_;
    std::condition_variable work_;  // idle workers wait here for a job
    std::condition_variable done_;  // the list's thread waits here for a job to finish
    std::atomic<int> sleeping_workers_{0};
    std::atomic<bool> list_waiting_{false};
    std::atomic<bool> closing_{false};

    JobList* jobs_ = nullptr;                 // set before the list opens
    std::atomic<size_t> workers_in_list_{0};  // workers taking jobs in this list: the first ones
    std::atomic<bool> list_open_{false};
    std::atomic<uint64_t> handed_out_{0};  // jobs put into slots
    std::atomic<uint64_t> taken_{0};       // jobs taken, in order
    std::atomic<size_t> working_{0};       // threads looking for or working on a job
    std::array<std::atomic<bool>, JobSlots> finished_{};
    std::exception_ptr failure_;  // the first exception of a job; under sleep_mutex_

    // Passes side by side, and a large file's alone; alone_ changes only under gate_mutex_.
    std::mutex gate_mutex_;
    std::condition_variable gate_;
    std::atomic<int> side_by_side_{0};
    std::atomic<bool> alone_{false};

    // Set by the list's thread before the list opens.
    bool parallel_feeding_ = false;
    std::stop_source stop_;  // this list's: the owner's stop, an ended list or a job's exception
    std::atomic<uint64_t> bytes_{0};
};

}  // namespace engine
