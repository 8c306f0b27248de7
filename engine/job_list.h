// A list of calculations run through one DigestCalculator (DigestCalculator::RunJobs): each job
// computed on one thread with one calculator, several files at once when the calculator is set
// to, and every job handed back in the list's order, so that what a front end prints or shows
// comes out as it would one job at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace engine {

class DigestCalculator;

// Jobs in flight at most (handed out by Next and not yet handed back by Done), however long the
// list. Each has a slot, numbered 0 to JobSlots - 1, for the list to keep the job's data in.
constexpr size_t JobSlots = 16;

class JobList {
  public:
    virtual ~JobList() = default;

    // On the thread that runs the list: puts the next job into `slot`, which is free; false when
    // the list has ended.
    virtual bool Next(size_t slot) = 0;

    // The file the job in `slot` reads, or empty for one that reads none. Asked of the first jobs
    // only: the storage that file is on decides whether files are read one at a time.
    virtual std::string_view PathOf(size_t slot) const {
        (void)slot;
        return {};
    }

    // Computes the job in `slot` with `calculator`, whose file passes, progress and stop the list
    // arranges. With files at once it runs on a thread of the calculator's, beside other jobs:
    // it may touch its own slot and what no job changes, nothing else unguarded.
    virtual void Work(size_t slot, DigestCalculator& calculator) = 0;

    // On the thread that runs the list, in the list's order: the job in `slot` is done; its slot
    // is free again once this returns. False ends the list: no later job is handed back.
    virtual bool Done(size_t slot) = 0;

    // On the thread that runs the list, before it waits for the next job to finish: a moment to
    // flush what Done has written.
    virtual void Waiting() {}
};

}  // namespace engine
