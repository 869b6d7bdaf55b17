// GoogleTest entry point for tests that need a Qt application object
// (widgets, timers, the event loop). Runs on the platform named by
// QT_QPA_PLATFORM; ctest sets it to offscreen.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
