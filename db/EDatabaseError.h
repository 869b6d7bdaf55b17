#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// An error of the database layer or the engine beneath it. The message is
// readable as it stands; EngineCode is the engine's own result code (0 when
// the error comes from this layer).
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message, int engineCode = 0);

    QString Message() const { return QString::fromUtf8(what()); }
    int EngineCode;
};
