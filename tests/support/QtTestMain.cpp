// GoogleTest entry point for tests that need a Qt application object
// (widgets, timers, the event loop). Runs on the platform named by
// QT_QPA_PLATFORM; ctest sets it to offscreen. The user's settings are
// never touched: every test run keeps its settings in a folder of its own.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
