#pragma once

#include "TFmain.h"

#include <QDir>
#include <QSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// The main window as a first start leaves it: started from bin/ in a scratch
// folder (its catalog in LDB/ beside it), shown, the structure check done.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { StartWindow(); }
    void TearDown() override {
        window_.reset();
        if (!previous_.isEmpty())
            QDir::setCurrent(previous_);
    }

    // size: the window's, or its own when empty.
    void StartWindow(QSize size = {}) {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkdir("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(QDir(root_.path()).filePath("bin"));
        window_ = std::make_unique<TFmain>();
        if (size.isValid())
            window_->resize(size);
        window_->show();
        window_->FormActivate();
        ASSERT_FALSE(window_->StartupPending());
    }

    QTemporaryDir root_;
    QString previous_;
    std::unique_ptr<TFmain> window_;
};
