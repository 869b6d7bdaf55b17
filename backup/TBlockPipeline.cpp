#include "TBlockPipeline.h"

#include <zlib.h>

#include <algorithm>

int TBlockPipeline::DefaultThreads() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
}

TBlockPipeline::TBlockPipeline(int threads) : limit_(std::max(threads, 1) + 1) {
    try {
        for (int i = 0; i < std::max(threads, 1); ++i)
            workers_.emplace_back([this] { Serve(); });
    } catch (...) {
        Stop();
        throw;
    }
}

TBlockPipeline::~TBlockPipeline() {
    Stop();
}

void TBlockPipeline::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    queued_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    workers_.clear();
}

void TBlockPipeline::Push(std::unique_ptr<TBlockTask> task) {
    TBlockTask* step = task.get();
    if (!step->work) {
        step->done = true;
        tasks_.push_back(std::move(task));
        return;
    }
    step->done = false;
    tasks_.push_back(std::move(task));
    ++withWork_;
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(step);
    }
    queued_.notify_one();
}

std::unique_ptr<TBlockTask> TBlockPipeline::Pop() {
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return tasks_.front()->done; });
    }
    std::unique_ptr<TBlockTask> task = std::move(tasks_.front());
    tasks_.pop_front();
    if (task->work)
        --withWork_;
    return task;
}

bool TBlockPipeline::FrontDone() const {
    const std::lock_guard lock(mutex_);
    return tasks_.front()->done;
}

void TBlockPipeline::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            return;
        TBlockTask* task = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        try {
            task->work(*task);
        } catch (...) {
            task->status = Z_MEM_ERROR;
        }
        lock.lock();
        task->done = true;
        finished_.notify_all();
    }
}
