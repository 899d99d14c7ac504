// Entries are numbered in the order given; workers take jobs in that order and the giver
// takes entries back from the front only, so the Dones keep the order whatever thread
// ends first.
#include "export/ordered_work.h"

namespace zorvane {

OrderedWork::OrderedWork(int threads, size_t window)
    : inline_(threads <= 1), window_(window < 1 ? 1 : window) {
    if (inline_) return;
    for (int t = 0; t < threads; ++t) workers_.emplace_back([this] { work(); });
}

OrderedWork::~OrderedWork() {
    finish();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    jobGiven_.notify_all();
    frontDue_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void OrderedWork::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        jobGiven_.wait(
            lock, [&] { return closing_ || (!cancelled_ && nextJob_ < first_ + entries_.size()); });
        if (closing_) return;
        const uint64_t number = nextJob_++;
        Entry& entry = entries_[number - first_];
        if (!entry.job) continue;  // a Done alone
        entry.started = true;
        Job job = std::move(entry.job);
        lock.unlock();
        job();
        lock.lock();
        // Entries before it may have been taken back meanwhile, never this one.
        entries_[number - first_].ended = true;
        if (number == first_) frontDue_.notify_one();
    }
}

bool OrderedWork::due(const Entry& entry) const {
    if (entry.started) return entry.ended;
    // Not started: a Done alone, or a job dropped by cancel().
    return !entry.job || cancelled_;
}

bool OrderedWork::takeBackFirst(std::unique_lock<std::mutex>& lock, bool wait) {
    if (entries_.empty()) return false;
    if (wait)
        frontDue_.wait(lock, [&] { return due(entries_.front()); });
    else if (!due(entries_.front()))
        return false;
    Entry entry = std::move(entries_.front());
    entries_.pop_front();
    ++first_;
    if (nextJob_ < first_) nextJob_ = first_;
    const bool run = entry.started || !entry.job;
    if (run && entry.done) {
        lock.unlock();
        entry.done();
        lock.lock();
    }
    return true;
}

void OrderedWork::add(Job job, Done done) {
    if (inline_) {
        if (cancelled_ && job) return;
        if (job) job();
        if (done) done();
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    while (entries_.size() >= window_) takeBackFirst(lock, true);
    if (cancelled_ && job) return;  // a Done that ran meanwhile stopped the work
    const bool needsWorker = static_cast<bool>(job);
    entries_.push_back(Entry{std::move(job), std::move(done)});
    if (needsWorker) jobGiven_.notify_one();
    while (takeBackFirst(lock, false)) {
    }
}

void OrderedWork::finish() {
    if (inline_) {
        cancelled_ = false;
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    while (takeBackFirst(lock, true)) {
    }
    cancelled_ = false;
}

void OrderedWork::cancel() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
    }
    frontDue_.notify_all();
}

}  // namespace zorvane
