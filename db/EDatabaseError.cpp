#include "EDatabaseError.h"

EDatabaseError::EDatabaseError(const QString& message, int engineCode)
    : std::runtime_error(message.toStdString()), EngineCode(engineCode) {}
