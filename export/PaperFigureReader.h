#pragma once

#include "PaperFigure.h"

#include <QString>
#include <QVariantMap>

#include <deque>
#include <optional>

// Reads the figures of the catalog on "ADB" in the figures list's order
// (by name, then key), a few rows at a time: each batch is one query that
// starts after the last figure read, so that no more than a batch of
// thumbnails is held at once however many figures there are.
//
// The figures are those of a filter line as the figures list writes it
// (empty, or " where " and conditions over the figures f, producers p and
// genres g of the list's joins); its named parameters take their values
// from values.
class PaperFigureReader {
public:
    static constexpr int DefaultBatch = 64;

    explicit PaperFigureReader(const QString& filterLine = {}, const QVariantMap& values = {},
                               int batch = DefaultBatch);

    // How many figures the filter gives.
    int Count() const;
    // Passes over that many figures from where the reader stands.
    void Skip(int count);
    // The next figure; none after the last. Raises EDatabaseError.
    std::optional<PaperFigure> Next();

private:
    void ReadBatch(int offset);
    QString Where(const QString& more) const;

    QString condition_;
    QVariantMap values_;
    int batch_;
    std::deque<PaperFigure> read_;
    bool started_ = false;
    bool exhausted_ = false;
    int skip_ = 0;
    // The last figure read.
    QString lastName_;
    QString lastId_;
    bool lastUnnamed_ = false;
};
