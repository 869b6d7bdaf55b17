#pragma once

#include "TFolderSwap.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace archivetest {

constexpr int BlockSize = 524288;

// A file of an archive: its name as the names text holds it, and content.
using File = std::pair<QByteArray, QByteArray>;

// The archive layout built here from zlib alone, to hold the packer's bytes
// against: "BACKUP", the name block, then each file's size and blocks.
QByteArray Int32(std::int32_t value);
QByteArray Block(const QByteArray& content);
QByteArray ExpectedArchive(const std::vector<File>& files);

// Reproducible content: bytes that do not compress, and text that does.
QByteArray RandomBytes(int size, unsigned seed);
QByteArray TextBytes(int size, unsigned seed);
// A catalog database (velmora.db) as the program's structure check makes
// it, with that many figures of text: it passes a restore's catalog check.
QByteArray DatabaseBytes(int rows);
// The same without rows, made once.
QByteArray CatalogBytes();

// Every entry below a folder, by relative path: a file's content, or "/"
// for a folder.
using Snapshot = std::map<QString, QByteArray>;
Snapshot Take(const QString& folder);

// Thrown from a step of a restore's swap: the process ends right there.
struct Crash {};

// The swap's step hook, for the life of the object.
class StepHook {
public:
    explicit StepHook(std::function<void(const QString&)> hook) {
        TFolderSwap::BeforeStep = std::move(hook);
    }
    ~StepHook() { TFolderSwap::BeforeStep = nullptr; }
    StepHook(const StepHook&) = delete;
    StepHook& operator=(const StepHook&) = delete;
};

// Ends the process at the step numbered crashAt (from 0), counting every
// step from the hook's creation.
class CrashAt : public StepHook {
public:
    explicit CrashAt(int crashAt)
        : StepHook([this, crashAt](const QString&) {
              if (steps_++ == crashAt)
                  throw Crash();
          }) {}

private:
    int steps_ = 0;
};

// A temporary folder with shortcuts for writing and reading files in it.
class ArchiveTest : public ::testing::Test {
protected:
    QString Path(const QString& relative) const { return root_.filePath(relative); }
    QString Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;
    // Writes the files into a new folder and returns its path.
    QString MakeFolder(const QString& relative, const std::vector<File>& files) const;
    // A data folder as the program keeps it: the catalog database,
    // pictures, an empty and a hidden file.
    std::vector<File> CatalogFiles() const;

    QTemporaryDir root_;
};

} // namespace archivetest
