#pragma once

#include <string>

// Base of objects that can copy their state from another object through
// Assign. A class that cannot take a given source raises
// std::invalid_argument("Cannot assign a <source> to a <target>").
class TPersistent {
public:
    virtual ~TPersistent() = default;

    virtual void Assign(const TPersistent& source);
    virtual std::string ClassName() const { return "TPersistent"; }

protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;

    // Called by Assign when this object does not know the source; the
    // default reports the assignment error.
    virtual void AssignTo(TPersistent& target) const;
    [[noreturn]] void AssignError(const TPersistent& source) const;
};
