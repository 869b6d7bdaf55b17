#pragma once

#include "TBlockTask.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs the work of archive blocks on worker threads and hands the steps back
// in the order they were pushed, so the archive's bytes never depend on the
// number of threads. At most Limit() steps with work are held at a time,
// which bounds the memory whatever the size of the archive. Push, Pop and
// the queries belong to one owner thread.
class TBlockPipeline {
public:
    // One worker for each processor, at least one and at most eight.
    static int DefaultThreads();

    explicit TBlockPipeline(int threads = DefaultThreads());
    // Drops the steps not started and waits for the running ones.
    ~TBlockPipeline();
    TBlockPipeline(const TBlockPipeline&) = delete;
    TBlockPipeline& operator=(const TBlockPipeline&) = delete;

    void Push(std::unique_ptr<TBlockTask> task);
    // The oldest step, waiting until its work has run.
    std::unique_ptr<TBlockTask> Pop();

    bool Empty() const { return tasks_.empty(); }
    bool FrontDone() const;
    // True when Limit() steps with work are held: the owner pops before it
    // pushes more.
    bool Full() const { return withWork_ >= limit_; }
    int Limit() const { return limit_; }

private:
    void Serve();
    void Stop();

    const int limit_;
    std::deque<std::unique_ptr<TBlockTask>> tasks_;
    int withWork_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<TBlockTask*> waiting_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
