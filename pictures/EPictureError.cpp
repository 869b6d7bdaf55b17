#include "EPictureError.h"

EPictureError::EPictureError(const std::string& message) : std::runtime_error(message) {}
