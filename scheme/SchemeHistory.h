#pragma once

#include <deque>
#include <string>

// Undo and redo for a scheme, as snapshots of its text: before a change the
// text it had is recorded; undoing gives it back and keeps the current text
// for redo.
class SchemeHistory {
public:
    static constexpr std::size_t MaxSteps = 200;

    // A change was made from the text before; redo steps are dropped.
    void Record(std::string before);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The text to go back to; current is kept for Redo.
    std::string Undo(std::string current);
    std::string Redo(std::string current);
    void Clear();

private:
    std::deque<std::string> undo_;
    std::deque<std::string> redo_;
};
