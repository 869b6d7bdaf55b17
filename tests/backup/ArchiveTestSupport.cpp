#include "ArchiveTestSupport.h"

#include "DatabaseStructure.h"
#include "RawSqlite.h"
#include "TZunPigger.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <zlib.h>

#include <random>

namespace archivetest {

QByteArray Int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    QByteArray bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((bits >> shift) & 0xFF);
    return bytes;
}

QByteArray Block(const QByteArray& content) {
    uLongf length = compressBound(static_cast<uLong>(content.size()));
    QByteArray packed(static_cast<qsizetype>(length), '\0');
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(packed.data()), &length,
                              reinterpret_cast<const Bytef*>(content.constData()),
                              static_cast<uLong>(content.size()), 9));
    packed.resize(static_cast<qsizetype>(length));
    return Int32(static_cast<std::int32_t>(length)) + packed;
}

QByteArray ExpectedArchive(const std::vector<File>& files) {
    QByteArray names;
    for (const File& file : files)
        names += file.first + "\r\n";
    QByteArray archive = "BACKUP" + Block(names);
    for (const File& file : files) {
        archive += Int32(static_cast<std::int32_t>(file.second.size()));
        for (qsizetype at = 0; at < file.second.size(); at += BlockSize)
            archive += Block(file.second.mid(at, BlockSize));
    }
    return archive;
}

QByteArray RandomBytes(int size, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

QByteArray TextBytes(int size, unsigned seed) {
    static const char* const Words[] = {"Hussar ", "54 mm ",  "white metal ", "resin ",
                                        "1812 ",   "plinth ", "painted ",     "cavalry ",
                                        "Guard ",  "kit\r\n", "officer ",     "drummer "};
    std::mt19937 random(seed);
    QByteArray text;
    while (text.size() < size)
        text += Words[random() % 12];
    return text.left(size);
}

QByteArray DatabaseBytes(int rows) {
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("velmora.db")));
    sqlite3* db = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_open(path.constData(), &db));
    // The tables and indexes the program's structure check makes.
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    for (int i = 0; i < structure.ChildCount(); ++i) {
        const TZunPigger& table = *structure.Child(i);
        const QString name = QString::fromStdString(table.GetAttribute("name"));
        QStringList statements{DatabaseStructure::CreateTableLines(table).join('\n')};
        for (int x = 0; x < table.ChildCount(); ++x) {
            if (table.Child(x)->Name() == "INDEX")
                statements << DatabaseStructure::CreateIndexLines(name, *table.Child(x)).join('\n');
        }
        for (const QString& statement : statements)
            EXPECT_EQ(SQLITE_OK,
                      sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr))
                << sqlite3_errmsg(db);
    }
    sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO figures (figure_id, figure_name, figure_dsc) VALUES(?, ?, ?)",
                       -1, &insert, nullptr);
    for (int row = 0; row < rows; ++row) {
        const QByteArray id = QByteArray::number(row).rightJustified(32, '0');
        const QByteArray name = TextBytes(32, row);
        const QByteArray notes = TextBytes(300, row + 7);
        sqlite3_bind_text(insert, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, notes.constData(), int(notes.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(SQLITE_DONE, sqlite3_step(insert));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QFile file(QFile::decodeName(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QByteArray CatalogBytes() {
    static const QByteArray empty = DatabaseBytes(0);
    return empty;
}

Snapshot Take(const QString& folder) {
    Snapshot snapshot;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    const QDir base(folder);
    while (entries.hasNext()) {
        const QString path = entries.next();
        QFile file(path);
        snapshot[base.relativeFilePath(path)] =
            entries.fileInfo().isDir() ? QByteArray("/")
                                       : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return snapshot;
}

QString ArchiveTest::Write(const QString& relative, const QByteArray& bytes) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(bytes.size(), file.write(bytes));
    return path;
}

QByteArray ArchiveTest::Read(const QString& relative) const {
    QFile file(Path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ArchiveTest::MakeFolder(const QString& relative, const std::vector<File>& files) const {
    QDir().mkpath(Path(relative));
    for (const File& file : files)
        Write(relative + QLatin1Char('/') + QString::fromUtf8(file.first), file.second);
    return Path(relative);
}

std::vector<File> ArchiveTest::CatalogFiles() const {
    // In name order, as the packer lists them.
    static const std::vector<File> files = {
        {".settings", "[window]\nwidth=1024\n"},
        {"Figure photo 1.jpg", RandomBytes(1500000, 1)},
        {"empty.log", ""},
        {"map.bmp", RandomBytes(200000, 2) + TextBytes(400000, 3)},
        {"velmora.db", DatabaseBytes(6000)},
        {"\xC3\xA9tat.txt", TextBytes(1000, 4)}};
    return files;
}

} // namespace archivetest
