#pragma once

#include "TDataLink.h"
#include "TQuery.h"
#include "TUpdateSQL.h"
#include "TempDatabaseTest.h"

// A database file in a temporary folder with the catalog's figures,
// producers and genres tables, and the figures list's statements.
class QueryTestFixture : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CreateTable("create table figures (figure_id char(32), figure_name char(32), "
             "producer_id char(32), genre_id char(32), type_ci char(32), scale char(16), "
             "figure_dsc blob(1,1), figure_files blob(1,1), manual_sheme blob(1,1), "
             "picture_th blob(1,5), picture blob(1,5), sculpter_name char(32), "
             "painter_name char(32), prc_kit numeric(7,2), prc_pr numeric(7,2), "
             "prc_pe numeric(7,2), primary key (figure_id))");
        CreateTable("create table producers (producer_id char(32), producer_name char(32), "
             "producer_website char(64), producer_dsc blob(1,1), insert_time date, "
             "primary key (producer_id))");
        CreateTable("create table genres (genre_id char(32), genre_name char(32), RX integer, "
             "RY integer, RH integer, RW integer, TB integer, TE integer, "
             "location_shape char(2), primary key (genre_id))");
    }

    void AddFigure(const QString& id, const QString& name, const QVariant& thumbnail = {},
                   const QString& producer = {}) {
        Exec("insert into figures (figure_id, figure_name, producer_id, picture_th, "
             "figure_dsc) values (?, ?, ?, ?, ?)",
             {id, name, producer, thumbnail, QStringLiteral("about ") + name});
    }

    // The figures list: its select and the statements writing its changes.
    void UseFiguresList(TQuery& query) {
        query.SQL = {"select f.figure_id, f.figure_name, f.producer_id, f.genre_id, f.type_ci,",
                     "  f.scale, f.figure_dsc, f.figure_files, f.picture_th, f.sculpter_name,",
                     "  f.painter_name, p.producer_name, g.genre_name",
                     "from figures f",
                     "left outer join producers p on (f.producer_id = p.producer_id)",
                     "left outer join genres g      on (f.genre_id = g.genre_id)",
                     "order by f.figure_name"};
        query.KeyField = QStringLiteral("figure_id");
        query.UpdateObject = &figuresUpdate_;
        query.CachedUpdates = true;
    }

    TUpdateSQL figuresUpdate_{
        {"insert into figures (figure_id, figure_name, producer_id, genre_id, type_ci, scale,",
         "  figure_dsc, figure_files, picture_th, sculpter_name, painter_name)",
         "values (:figure_id, :figure_name, :producer_id, :genre_id, :type_ci, :scale,",
         "  :figure_dsc, :figure_files, :picture_th, :sculpter_name, :painter_name)"},
        {"update figures set figure_id = :figure_id, figure_name = :figure_name,",
         "  producer_id = :producer_id, genre_id = :genre_id, type_ci = :type_ci,",
         "  scale = :scale, figure_dsc = :figure_dsc, figure_files = :figure_files,",
         "  picture_th = :picture_th, sculpter_name = :sculpter_name,",
         "  painter_name = :painter_name where figure_id = :OLD_figure_id"},
        {"delete from figures where figure_id = :OLD_figure_id"}};
};

// Writes down what a dataset tells its controls.
class RecordingLink : public TDataLink {
public:
    void ActiveChanged(TQuery& dataSet) override {
        events << (dataSet.Active() ? QStringLiteral("active") : QStringLiteral("inactive"));
    }
    void DataSetChanged(TQuery&) override { events << QStringLiteral("dataset"); }
    void RecordChanged(TQuery&) override { events << QStringLiteral("record"); }
    void StateChanged(TQuery&) override { events << QStringLiteral("state"); }

    QStringList events;
};
