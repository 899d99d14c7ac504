// Loads items on worker threads a few steps ahead of the one consuming them, handing them
// out strictly in the given order: reading map files is what whole-project work waits on,
// and a second core can parse the next file while the first searches the current one.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zorvane {

template <class T>
class OrderedPrefetch {
public:
    using Loader = std::function<T(int)>;

    // ids are loaded with load(id) on up to `workers` threads (0: the default, below), never
    // more than `window` items ahead of the consumer.
    OrderedPrefetch(std::vector<int> ids, Loader load, unsigned workers = 0, size_t window = 4)
        : ids_(std::move(ids)), load_(std::move(load)), slots_(ids_.size()),
          window_(std::max<size_t>(window, 1)) {
        if (workers == 0) workers = defaultWorkers();
        workers = static_cast<unsigned>(std::min<size_t>(workers, ids_.size()));
        for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
    }

    ~OrderedPrefetch() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (auto& t : threads_) t.join();
    }

    OrderedPrefetch(const OrderedPrefetch&) = delete;
    OrderedPrefetch& operator=(const OrderedPrefetch&) = delete;

    // The next item in order; false when all were handed out.
    bool next(int& id, T& out) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (consumed_ >= ids_.size()) return false;
        size_t index = consumed_;
        if (threads_.empty()) {  // nothing to load ahead with: load here
            lock.unlock();
            out = load_(ids_[index]);
            lock.lock();
        } else {
            changed_.wait(lock, [&] { return slots_[index].has_value(); });
            out = std::move(*slots_[index]);
            slots_[index].reset();
        }
        id = ids_[index];
        ++consumed_;
        lock.unlock();
        changed_.notify_all();
        return true;
    }

    // One per core; $ZORVANE_THREADS overrides it (0: load on the consuming thread only).
    static unsigned defaultWorkers() {
        if (const char* env = std::getenv("ZORVANE_THREADS")) return static_cast<unsigned>(std::atoi(env));
        return std::max(1u, std::thread::hardware_concurrency());
    }

private:
    void work() {
        for (;;) {
            size_t index;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] {
                    return stopping_ || claimed_ >= ids_.size() || claimed_ < consumed_ + window_;
                });
                if (stopping_ || claimed_ >= ids_.size()) return;
                index = claimed_++;
            }
            T value = load_(ids_[index]);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                slots_[index] = std::move(value);
            }
            changed_.notify_all();
        }
    }

    std::vector<int> ids_;
    Loader load_;
    std::vector<std::optional<T>> slots_;
    size_t window_;
    size_t claimed_ = 0;
    size_t consumed_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
};

}  // namespace zorvane
