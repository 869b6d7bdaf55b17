#include "SchemeHistory.h"

void SchemeHistory::Record(std::string before) {
    undo_.push_back(std::move(before));
    if (undo_.size() > MaxSteps)
        undo_.pop_front();
    redo_.clear();
}

std::string SchemeHistory::Undo(std::string current) {
    std::string back = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(std::move(current));
    return back;
}

std::string SchemeHistory::Redo(std::string current) {
    std::string forward = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(std::move(current));
    return forward;
}

void SchemeHistory::Clear() {
    undo_.clear();
    redo_.clear();
}
