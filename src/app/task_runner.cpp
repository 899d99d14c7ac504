// The worker hands its end back to the UI thread through CallAfter; the callback holds
// only weak references, so a runner destroyed first is simply not called.
#include "app/task_runner.h"

#include <wx/app.h>

#include <chrono>
#include <exception>
#include <new>

namespace zorvane {

TaskRunner::TaskRunner() : self_(std::make_shared<TaskRunner*>(this)) {}

TaskRunner::~TaskRunner() {
    self_.reset();
    if (run_) run_->abortFlag = true;
    if (worker_.joinable()) worker_.join();
}

bool TaskRunner::start(Task task, Done done) {
    if (busy_) return false;
    if (worker_.joinable()) worker_.join();
    run_ = std::make_shared<Run>();
    done_ = std::move(done);
    busy_ = true;
    std::weak_ptr<TaskRunner*> self = self_;
    std::shared_ptr<Run> run = run_;
    worker_ = std::thread([self, run, task = std::move(task)] {
        // A failing task must not take the program down; it ends as a failure.
        try {
            task(run->abortFlag);
        } catch (const std::bad_alloc&) {
            run->failed = true;
            run->failure = "not enough memory";
        } catch (const std::exception& e) {
            run->failed = true;
            run->failure = e.what();
        } catch (...) {
            run->failed = true;
            run->failure = "unknown error";
        }
        run->workerDone = true;
        if (wxTheApp) {
            wxTheApp->CallAfter([self, run] {
                auto owner = self.lock();
                if (owner && (*owner)->run_ == run) (*owner)->finish();
            });
        }
    });
    notify();
    return true;
}

void TaskRunner::abort() {
    if (!busy_ || aborting_) return;
    aborting_ = true;
    std::shared_ptr<Run> run = run_;  // the loop may finish this run and start another
    run->abortFlag = true;
    while (!run->workerDone) {
        if (wxTheApp) wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (run_ == run) finish();
}

void TaskRunner::finish() {
    if (!busy_) return;
    if (worker_.joinable()) worker_.join();
    busy_ = false;
    aborting_ = false;
    TaskEnd end{run_->abortFlag.load(), run_->failed, run_->failure};
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(end);
    notify();
}

void TaskRunner::notify() {
    if (listener_) listener_();
}

}  // namespace zorvane
