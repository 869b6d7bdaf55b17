#pragma once

#include "DatabaseStructure.h"
#include "DialogRunner.h"
#include "TField.h"
#include "TO_ci.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "TempDatabaseTest.h"

#include <QBuffer>
#include <QImage>

// A database in a temporary folder with the program's tables, created by
// the structure check, and shortcuts for filling them. Messages of the
// standard message box are recorded instead of shown.
class CatalogTestFixture : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery query;
        DatabaseStructure::Check(structure, table, query, {});
    }

    // Many rows in one transaction, written at once at its end.
    template <class Fill> void Batch(Fill fill) {
        Exec("begin");
        fill();
        Exec("commit");
    }

    void AddProducer(const QString& id, const QString& name, const QString& website = {}) {
        Exec("insert into producers (producer_id, producer_name, producer_website) "
             "values (?, ?, ?)",
             {id, name, website});
    }

    void AddGenre(const QString& id, const QString& name) {
        Exec("insert into genres (genre_id, genre_name) values (?, ?)", {id, name});
    }

    // A figure with scale "54-mm" and the other columns given.
    void AddFigure(const QString& id, const QString& name, const QVariantHash& columns = {}) {
        QStringList names{"figure_id", "figure_name", "scale"};
        QVariantList values{id, name, QStringLiteral("54-mm")};
        for (auto column = columns.begin(); column != columns.end(); ++column) {
            names << column.key();
            values << column.value();
        }
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        Exec(QStringLiteral("insert into figures (%1) values (%2)")
                 .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
             values);
    }

    // A thumbnail as the program stores it: the bytes of a BMP file.
    static QByteArray Thumbnail(const QColor& colour, int size = 123) {
        QImage picture(size, size, QImage::Format_RGB888);
        picture.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        return bytes;
    }

    // The name column of every record of an open list, in order.
    static QStringList Names(const TO_ci& list) {
        QStringList names;
        for (int row = 0; row < list.Q1.RecordCount(); ++row)
            names << list.RowText(row, list.NameField);
        return names;
    }

    static void Open(TO_ci& list, const char* key, const char* name) {
        list.KeyField = QString::fromUtf8(key);
        list.NameField = QString::fromUtf8(name);
        list.Reopen();
    }

    QStringList messages_;
    DialogRunner::ScopedMessageHook recorder_{[this](const QString& text) { messages_ << text; }};
};
