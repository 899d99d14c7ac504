// The program's one long task at a time (search, RTP scan and copy, export): a worker
// thread, the busy flag that disables commands while it runs, and the abort flag it polls.
// Start, abort and the completion callback all happen on the UI thread.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace zorvane {

// How a task ended: aborted or not, and, when it ended by an exception, what failed.
struct TaskEnd {
    bool aborted = false;
    bool failed = false;
    std::string failure;  // the exception's text
};

class TaskRunner {
  public:
    using Task = std::function<void(std::atomic<bool>& abort)>;
    using Done = std::function<void(const TaskEnd& end)>;

    TaskRunner();
    // A task still running is told to stop and waited for.
    ~TaskRunner();
    TaskRunner(const TaskRunner&) = delete;
    TaskRunner& operator=(const TaskRunner&) = delete;

    // False (and nothing starts) while another task runs.
    bool start(Task task, Done done = {});
    bool isBusy() const { return busy_; }
    // Sets the abort flag and waits for the worker, keeping the event loop turning;
    // the completion callback has run when this returns.
    void abort();
    // Called on the UI thread whenever the busy flag changes.
    void setStateListener(std::function<void()> listener) { listener_ = std::move(listener); }

  private:
    struct Run {
        std::atomic<bool> abortFlag{false};
        std::atomic<bool> workerDone{false};
        // Written by the worker before workerDone is set, read after.
        bool failed = false;
        std::string failure;
    };

    void finish();
    void notify();

    std::shared_ptr<TaskRunner*> self_;
    std::shared_ptr<Run> run_;
    std::thread worker_;
    Done done_;
    std::function<void()> listener_;
    bool busy_ = false;
    bool aborting_ = false;
};

}  // namespace zorvane
