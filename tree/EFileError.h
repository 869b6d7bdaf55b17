#pragma once

#include <stdexcept>
#include <string>

// A file that cannot be opened, created, read or written. The message is
// complete and meant for the user ("Cannot open file <name>").
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const std::string& message);

    static EFileError CannotOpen(const std::string& fileName);
    static EFileError CannotCreate(const std::string& fileName);
};
