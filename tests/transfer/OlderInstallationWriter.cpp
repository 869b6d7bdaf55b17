// Not a test: writes what the end-to-end script and the fuzz seeds need,
// when asked with
//   --gtest_also_run_disabled_tests --gtest_filter='OlderInstallation.*'
// and VELMORA_OLDER_INSTALLATION (a folder for an older installation's
// tables with pictures) or VELMORA_PARADOX_SEEDS (a folder for fuzz seeds:
// the table file's length as 4 bytes, little-endian, the table file, the
// blob file) set.

#include "ParadoxFixture.h"
#include "ParadoxTable.h"

#include "BmpWriter.h"
#include "JpegEncoder.h"

#include <QColor>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage Drawn(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(width / 4, height / 4, width / 2, height / 2));
    return image;
}

QString Key(char digit) {
    return QString(32, QLatin1Char(digit));
}

void WriteInstallation(const QString& folder) {
    using namespace ParadoxFixture;
    ASSERT_TRUE(QDir().mkpath(folder));
    Write(folder, "PRODUCERS", ProducersColumns(),
          {{Key('A'), QString::fromUtf8("Звезда"), "http://example.org", "Старый производитель",
            QDate(2003, 4, 5)},
           {Key('B'), "Old Guard", QVariant(), QVariant(), QDate(2005, 6, 7)}},
          {12, 1251, 4});
    Write(folder, "GENRES", GenresColumns(),
          {{Key('C'), "Napoleonic", 300, 100, 60, 90, 1796, 1815, "RR"}});
    Write(folder, "SCALES", ScalesColumns(), {});
    const QColor colours[] = {Qt::red, Qt::darkGreen, Qt::blue};
    const char* names[] = {"Hussar", "Grenadier", "Drummer"};
    Rows figures;
    for (int i = 0; i < 3; ++i) {
        const QByteArray picture = PictureToJpegBytes(Drawn(400, 300, colours[i]));
        const QByteArray thumbnail = BitmapToBmpBytes(Drawn(123, 123, colours[i]));
        figures.push_back({Key(static_cast<char>('1' + i)), names[i], Key('A'), Key('C'), "cavalry",
                           "54-mm", QString::fromUtf8("Фигура %1").arg(i + 1), QVariant(),
                           QVariant(), i == 1 ? WithGraphicHeader(thumbnail) : QVariant(thumbnail),
                           i == 0 ? WithGraphicHeader(picture) : QVariant(picture)});
    }
    Write(folder, "FIGURES", FiguresColumns(), figures, {12, 1251, 4});
    Write(folder, "ADD_PICTURES", AddPicturesColumns(),
          {{Key('D'), "Back", Key('1'), BitmapToBmpBytes(Drawn(123, 123, Qt::gray)),
            PictureToJpegBytes(Drawn(200, 200, Qt::gray))}});
}

void WriteSeeds(const QString& folder) {
    using namespace ParadoxFixture;
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::vector<Column> columns = {
        {"Key", ParadoxTable::Alpha, 8},        {"Note", ParadoxTable::Memo, 11},
        {"Picture", ParadoxTable::Graphic, 11}, {"Day", ParadoxTable::Date, 4},
        {"Count", ParadoxTable::Long, 4},       {"Small", ParadoxTable::Short, 2},
        {"Price", ParadoxTable::Number, 8},     {"Decimal", ParadoxTable::Bcd, 2}};
    const Rows rows = {{"k1", QString(5000, QLatin1Char('m')), QByteArray(300, 'p'),
                        QDate(2001, 2, 3), -5, 6, 7.5, -3.5},
                       {"k2", "x", QVariant(), QVariant(), 1, 2, 3.0},
                       {}};
    struct Seed {
        const char* name;
        Files files;
    };
    const Seed seeds[] = {{"level7-1251", Make(columns, rows, {12, 1251, 1})},
                          {"level4", Make(columns, rows, {9, 1252, 2})},
                          {"level3", Make(columns, rows, {3, 0, 1})},
                          {"empty", Make(columns, {})}};
    for (const Seed& seed : seeds) {
        QByteArray bytes(4, '\0');
        const quint32 size = static_cast<quint32>(seed.files.table.size());
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>(size >> (8 * i) & 0xFF);
        bytes += seed.files.table + seed.files.blobs;
        QFile file(QDir(folder).filePath(QLatin1String(seed.name) + QStringLiteral(".bin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
}

TEST(OlderInstallation, DISABLED_Write) {
    const QString installation = qEnvironmentVariable("VELMORA_OLDER_INSTALLATION");
    if (!installation.isEmpty())
        WriteInstallation(installation);
    const QString seeds = qEnvironmentVariable("VELMORA_PARADOX_SEEDS");
    if (!seeds.isEmpty())
        WriteSeeds(seeds);
}

} // namespace
