// The archive's bytes, held against the layout built independently from
// zlib, and the compressing stream that writes them.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "TPackStream.h"

#include <QFile>

#include <cmath>

namespace {

using namespace archivetest;

class ArchiveLayoutTest : public ArchiveTest {
protected:
    QByteArray Pack(const std::vector<File>& files) {
        const QString folder = MakeFolder(QStringLiteral("data"), files);
        EXPECT_EQ(ArchiveResult::Done, PackFolder(folder, Path(QStringLiteral("a.tba"))));
        return Read(QStringLiteral("a.tba"));
    }
};

TEST_F(ArchiveLayoutTest, OneEmptyFileIsSignatureNameBlockAndFourZeroBytes) {
    const QByteArray archive = Pack({{"empty.db", ""}});
    EXPECT_EQ("BACKUP" + Block("empty.db\r\n") + QByteArray(4, '\0'), archive);
    // The name block is one zlib stream at level 9: header 78 DA.
    EXPECT_EQ(QByteArray("\x78\xDA", 2), archive.mid(10, 2));
}

TEST_F(ArchiveLayoutTest, BlocksEndAtExactlyOneBlockAndAtEveryFileEnd) {
    const QByteArray full = TextBytes(BlockSize, 1);
    const QByteArray more = full + "x";
    const QByteArray archive = Pack({{"a", full}, {"b", more}, {"c", "tail"}});
    // b's second block is the zlib stream of its one last byte.
    EXPECT_EQ("BACKUP" + Block("a\r\nb\r\nc\r\n") + Int32(BlockSize) + Block(full) +
                  Int32(BlockSize + 1) + Block(full) + Block("x") + Int32(4) + Block("tail"),
              archive);
}

TEST_F(ArchiveLayoutTest, CatalogFolderGivesTheLayoutInNameOrderWithoutSubfolders) {
    Write(QStringLiteral("data/pictures/big.jpg"), RandomBytes(1000, 9));
    EXPECT_EQ(ExpectedArchive(CatalogFiles()), Pack(CatalogFiles()));
}

TEST_F(ArchiveLayoutTest, StreamKeepsRawBytesAndBlocksInOrderWithAnyNumberOfThreads) {
    const QByteArray text = TextBytes(BlockSize * 3 + 5000, 2);
    QByteArray written[2];
    for (const int threads : {1, 4}) {
        const QString name = Path(QStringLiteral("stream%1").arg(threads));
        TPackStream stream(threads);
        ASSERT_TRUE(stream.Create(name));
        stream.WriteRaw("head", 4);
        // A write past the buffer's end flushes the full buffer at once.
        EXPECT_EQ(BlockSize + 100, stream.Write(text.constData(), BlockSize + 100));
        EXPECT_EQ(100, stream.BufferedBytes());
        EXPECT_TRUE(stream.WriteRaw("mid", 3));
        EXPECT_TRUE(stream.Flush());
        EXPECT_TRUE(stream.Flush()); // an empty buffer writes nothing
        stream.Write(text.mid(BlockSize + 100));
        EXPECT_TRUE(stream.Flush());
        EXPECT_FALSE(QFile::exists(name)); // not under its name before Commit
        ASSERT_TRUE(stream.Commit());
        written[threads == 1 ? 0 : 1] = Read(QStringLiteral("stream%1").arg(threads));
    }
    EXPECT_EQ("head" + Block(text.left(BlockSize)) + "mid" + Block(text.mid(BlockSize, 100)) +
                  Block(text.mid(BlockSize + 100, BlockSize)) +
                  Block(text.mid(2 * BlockSize + 100, BlockSize)) +
                  Block(text.mid(3 * BlockSize + 100)),
              written[0]);
    EXPECT_EQ(written[0], written[1]);
}

TEST_F(ArchiveLayoutTest, PercentsRoundHalvesToEvenInBothDirections) {
    // Eight pieces of one eighth: 12.5, 37.5, 62.5 and 87.5 go to even.
    const QByteArray content = RandomBytes(8 * BlockSize, 5);
    const QString folder = MakeFolder(QStringLiteral("data"), {{"big", content}});
    std::vector<int> percents;
    const auto record = [&percents](int percent, bool&) { percents.push_back(percent); };
    ASSERT_EQ(ArchiveResult::Done, PackFolder(folder, Path(QStringLiteral("a.tba")), record));
    EXPECT_EQ((std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}), percents);

    // Unpacking reports the share of the archive read after each block; a
    // restore needs the catalog as well.
    const QByteArray catalog = CatalogBytes();
    ASSERT_LE(catalog.size(), BlockSize);
    Write(QStringLiteral("data/velmora.db"), catalog);
    ASSERT_EQ(ArchiveResult::Done, PackFolder(folder, Path(QStringLiteral("a.tba"))));
    const QByteArray archive = Read(QStringLiteral("a.tba"));
    std::vector<int> expected;
    qsizetype at = 6 + Block("big\r\nvelmora.db\r\n").size() + 4;
    for (int block = 0; block < 8; ++block) {
        at += Block(content.mid(block * BlockSize, BlockSize)).size();
        const double exact = 100.0 * double(at) / double(archive.size());
        expected.push_back(static_cast<int>(std::nearbyint(exact)));
    }
    expected.push_back(100);
    percents.clear();
    ASSERT_EQ(ArchiveResult::Done,
              UnpackArchive(Path(QStringLiteral("a.tba")), Path(QStringLiteral("out")), record));
    EXPECT_EQ(expected, percents);
}

} // namespace
