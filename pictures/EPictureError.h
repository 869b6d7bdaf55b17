#pragma once

#include <stdexcept>
#include <string>

// A picture that cannot be read or written: unknown or corrupt data, a size
// beyond what the program accepts, or an empty picture where one is needed.
class EPictureError : public std::runtime_error {
public:
    explicit EPictureError(const std::string& message);
};
