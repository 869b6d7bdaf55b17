// A second start of the program brings the running copy's window to the
// front through the local socket beside the single-instance lock.

#include "InstanceChannel.h"
#include "DialogRunner.h"
#include "TFmain.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(InstanceChannel, ASecondStartBringsTheRunningWindowToTheFront) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir("bin"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QDir(root.path()).filePath("bin"));
    DialogRunner::ScopedHook quiet([](QDialog&) { return int(QDialog::Accepted); });
    const QString name = QDir(root.path()).filePath("velmora.socket");

    // Nobody listening: the second copy learns it at once and just ends.
    EXPECT_FALSE(InstanceChannel::AskToRaise(name, 200));

    // A socket file left behind by a copy that crashed does not stand in the way.
    QFile stale(name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    {
        TFmain window;
        InstanceChannel channel(name);
        int requests = 0;
        QObject::connect(&channel, &InstanceChannel::RaiseRequested, &window, [&] {
            ++requests;
            window.BringToFront();
        });
        ASSERT_TRUE(channel.Listen());
        window.showMinimized();
        ASSERT_TRUE(window.isMinimized());

        EXPECT_TRUE(InstanceChannel::AskToRaise(name));
        EXPECT_TRUE(QTest::qWaitFor([&] { return requests == 1; }, 3000));
        EXPECT_FALSE(window.isMinimized());
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));

        // Anything else on the socket is no request; the next ask still is.
        QLocalSocket other;
        other.connectToServer(name);
        ASSERT_TRUE(other.waitForConnected(1000));
        other.write("hello\n");
        other.waitForBytesWritten(1000);
        other.disconnectFromServer();
        EXPECT_TRUE(InstanceChannel::AskToRaise(name));
        EXPECT_TRUE(QTest::qWaitFor([&] { return requests >= 2; }, 3000));
        EXPECT_EQ(2, requests);
    }
    QDir::setCurrent(previous);
}

} // namespace
