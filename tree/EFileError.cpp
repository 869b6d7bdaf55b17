#include "EFileError.h"

EFileError::EFileError(const std::string& message) : std::runtime_error(message) {}

EFileError EFileError::CannotOpen(const std::string& fileName) {
    return EFileError("Cannot open file " + fileName);
}

EFileError EFileError::CannotCreate(const std::string& fileName) {
    return EFileError("Cannot create file " + fileName);
}
