// Work made on a few threads and taken back in the order it was given, on the giver's
// thread: the export makes documents and tables at once while progress, written and failed
// files still reach its sink exactly as one thread would send them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zorvane {

// Entries of the ordered stream each worker may have waiting.
constexpr size_t kWorkPerThread = 8;

class OrderedWork {
  public:
    using Job = std::function<void()>;   // runs on a worker
    using Done = std::function<void()>;  // runs on the giver's thread, in the order given

    // threads <= 1: each job runs on the giver's thread as it is given. At most `window`
    // entries wait to be taken back, which bounds the memory of finished work.
    OrderedWork(int threads, size_t window);
    // The window of a run's stream: kWorkPerThread entries for each thread.
    explicit OrderedWork(int threads)
        : OrderedWork(threads, kWorkPerThread * static_cast<size_t>(threads)) {}
    ~OrderedWork();  // finishes what was given
    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    // A job and what to do with it once it is done (either may be empty: a Done alone runs
    // once every entry before it is taken back). Runs the Dones that are due meanwhile.
    void add(Job job, Done done);
    // Runs every Done as soon as its entry is due, until nothing is left; work given after
    // it is taken again.
    void finish();
    // Jobs not yet started (and those given from now until finish) are dropped with their
    // Done; the jobs in flight still end and their Dones, like the Dones given alone, still
    // run. Used when the work stops: what runs then reports only what was written.
    void cancel();

  private:
    struct Entry {
        Job job;
        Done done;
        bool started = false;
        bool ended = false;
    };
    bool due(const Entry& entry) const;
    // Takes back the first entry: waits for it when `wait`, else only when it is due.
    bool takeBackFirst(std::unique_lock<std::mutex>& lock, bool wait);
    void work();

    const bool inline_;
    const size_t window_;
    std::mutex mutex_;
    // Workers wait for a job, the giver for the front entry: each is woken only by what it
    // waits for (waking all at every change cost more than the small documents themselves).
    std::condition_variable jobGiven_;
    std::condition_variable frontDue_;
    std::deque<Entry> entries_;
    uint64_t first_ = 0;      // the number of the front entry
    uint64_t nextJob_ = 0;    // the number of the next entry a worker looks at
    bool cancelled_ = false;  // until finish() returns
    bool closing_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace zorvane
