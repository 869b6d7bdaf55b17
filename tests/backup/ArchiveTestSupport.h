#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
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
// A small SQLite database with many text rows, as the catalog keeps.
QByteArray DatabaseBytes(int rows);

// Every entry below a folder, by relative path: a file's content, or "/"
// for a folder.
using Snapshot = std::map<QString, QByteArray>;
Snapshot Take(const QString& folder);

// A temporary folder with shortcuts for writing and reading files in it.
class ArchiveTest : public ::testing::Test {
protected:
    QString Path(const QString& relative) const { return root_.filePath(relative); }
    QString Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;
    // Writes the files into a new folder and returns its path.
    QString MakeFolder(const QString& relative, const std::vector<File>& files) const;
    // A data folder as the program keeps it: a database, pictures, an empty
    // and a hidden file, and a subfolder that archives leave out.
    std::vector<File> CatalogFiles() const;

    QTemporaryDir root_;
};

} // namespace archivetest
