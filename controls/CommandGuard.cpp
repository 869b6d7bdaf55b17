#include "CommandGuard.h"

#include "DialogRunner.h"

#include <QString>

#include <exception>

bool CommandGuard::Run(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        DialogRunner::ShowStandardMessage(QString::fromUtf8(error.what()));
    } catch (...) {
        DialogRunner::ShowStandardMessage(QStringLiteral("Unknown error"));
    }
    return false;
}
