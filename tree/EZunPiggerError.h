#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Raised by the tree document reader. Position is the 1-based index of the
// character in the text being read at which the reader gave up.
class EZunPiggerError : public std::runtime_error {
public:
    EZunPiggerError(const std::string& message, std::int32_t position);

    std::int32_t Position;
};
