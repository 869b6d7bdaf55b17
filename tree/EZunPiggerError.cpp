#include "EZunPiggerError.h"

EZunPiggerError::EZunPiggerError(const std::string& message, std::int32_t position)
    : std::runtime_error(message), Position(position) {}
