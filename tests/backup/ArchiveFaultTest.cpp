// Fault injection: archives cut short or with single damaged bytes, each
// restored over a populated data folder, never change that folder.

#include "Archive.h"
#include "ArchiveTestSupport.h"

#include <QDir>

namespace {

using namespace archivetest;

class ArchiveFaultTest : public ArchiveTest {
protected:
    void SetUp() override {
        files_ = {{"a.db", TextBytes(BlockSize + 70000, 1)},
                  {"b.jpg", RandomBytes(20000, 2)},
                  {"c.txt", ""},
                  {"d.txt", TextBytes(900, 3)},
                  {"velmora.db", CatalogBytes()}};
        archive_ = ExpectedArchive(files_);
        // Where each field and block starts, from the layout.
        qsizetype at = 6;
        fields_ = {{0, 6}};
        const QByteArray names = Block("a.db\r\nb.jpg\r\nc.txt\r\nd.txt\r\nvelmora.db\r\n");
        fields_.push_back({at, at + 4});
        names_ = {at + 4, at + names.size()};
        at += names.size();
        for (const File& file : files_) {
            fields_.push_back({at, at + 4});
            at += 4;
            for (qsizetype done = 0; done < file.second.size(); done += BlockSize) {
                const qsizetype length = Block(file.second.mid(done, BlockSize)).size();
                fields_.push_back({at, at + 4});
                blocks_.push_back({at + 4, at + length});
                at += length;
            }
        }
        ASSERT_EQ(archive_.size(), at);
        Populate();
    }

    void Populate() {
        QDir(Path(QStringLiteral("ldb"))).removeRecursively();
        MakeFolder(QStringLiteral("ldb"),
                   {{"a.db", "the current database"}, {"other.txt", TextBytes(5000, 9)}});
        Write(QStringLiteral("ldb/sub/keep"), "kept");
        before_ = Take(Path(QStringLiteral("ldb")));
    }

    // The archive restored over the data folder: any failure must leave
    // the folder and its surroundings as they were.
    int Restore(const QByteArray& archive) {
        Write(QStringLiteral("in.tba"), archive);
        const int result =
            UnpackArchive(Path(QStringLiteral("in.tba")), Path(QStringLiteral("ldb")));
        EXPECT_EQ((QStringList{"in.tba", "ldb"}),
                  QDir(Path(QString()))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        if (result != ArchiveResult::Done) {
            EXPECT_EQ(before_, Take(Path(QStringLiteral("ldb"))));
        }
        return result;
    }

    QByteArray Flipped(qsizetype at, char mask) const {
        QByteArray damaged = archive_;
        damaged[at] = static_cast<char>(damaged[at] ^ mask);
        return damaged;
    }

    std::vector<File> files_;
    QByteArray archive_;
    std::vector<std::pair<qsizetype, qsizetype>> fields_; // signature, sizes, lengths
    std::pair<qsizetype, qsizetype> names_;               // the names' zlib stream
    std::vector<std::pair<qsizetype, qsizetype>> blocks_; // zlib streams of content
    Snapshot before_;
};

TEST_F(ArchiveFaultTest, ArchiveCutAnywhereIsRefused) {
    std::vector<qsizetype> cuts = {0, archive_.size() - 1};
    for (const auto& [start, end] : fields_)
        cuts.insert(cuts.end(), {start, start + 1, end - 1});
    blocks_.push_back(names_);
    for (const auto& [start, end] : blocks_)
        cuts.insert(cuts.end(), {start, start + 2, (start + end) / 2, end - 4, end - 1});
    for (const qsizetype cut : cuts) {
        SCOPED_TRACE(cut);
        EXPECT_NE(ArchiveResult::Done, Restore(archive_.left(cut)));
    }
    ASSERT_EQ(ArchiveResult::Done, Restore(archive_));
}

TEST_F(ArchiveFaultTest, DamagedSignatureSizesOrLengthsAreRefused) {
    for (const auto& [start, end] : fields_) {
        for (qsizetype at = start; at < end; ++at) {
            for (const char mask : {'\x01', '\x80', '\xFF'}) {
                SCOPED_TRACE(testing::Message() << "byte " << at << " mask " << int(mask));
                EXPECT_NE(ArchiveResult::Done, Restore(Flipped(at, mask)));
            }
        }
    }
}

TEST_F(ArchiveFaultTest, DamagedNamesOrBlocksAreRefusedOrRestoreTheTrueContent) {
    // The names are one zlib stream like the blocks, so the stream's
    // Adler-32 covers them: a damaged name is refused, never restored under
    // another name. Inflating ignores padding bits: those after the 3-bit
    // header of a stored (incompressible) deflate block, and those that fill
    // the stream's last byte. A flip there restores the very same files,
    // which is no harm. Every other flip must be refused.
    Snapshot restored = before_;
    restored.erase(QStringLiteral("other.txt"));
    for (const File& file : files_)
        restored[QString::fromUtf8(file.first)] = file.second;
    struct Stream {
        qsizetype start, end;
        std::vector<qsizetype> positions;
    };
    std::vector<Stream> streams = {{names_.first, names_.second, {}}};
    for (qsizetype at = names_.first; at < names_.second; ++at)
        streams.back().positions.push_back(at);
    for (const auto& [start, end] : blocks_)
        streams.push_back(
            {start, end, {start, start + 1, start + 2, (start + end) / 2, end - 5, end - 1}});
    int harmless = 0;
    for (const Stream& stream : streams) {
        for (const qsizetype at : stream.positions) {
            for (const char mask : {'\x01', '\x80', '\xFF'}) {
                SCOPED_TRACE(testing::Message() << "byte " << at << " mask " << int(mask));
                if (Restore(Flipped(at, mask)) == ArchiveResult::Done) {
                    ++harmless;
                    EXPECT_TRUE(at == stream.start + 2 || at == stream.end - 5);
                    EXPECT_EQ('\x80', mask);
                    EXPECT_EQ(restored, Take(Path(QStringLiteral("ldb"))));
                    Populate();
                }
            }
        }
    }
    EXPECT_LE(harmless, 2 * static_cast<int>(streams.size()));
}

} // namespace
