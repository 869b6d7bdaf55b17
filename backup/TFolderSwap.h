#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Swaps the files of a folder for new ones kept in a scratch folder beside
// it, so that a crash or a power cut at any moment leaves a state that the
// next run finishes or undoes: either way the folder then holds exactly its
// old files or exactly the new ones.
//
// The scratch folder holds "restored" (the new files), "previous" (the
// folder's files while they are swapped) and the journal "swap". The journal
// is written, and put on disk with the new files, before the first move; it
// lists the folder's files and the new ones, and it goes only when every
// move, or every move back, is on disk. So a scratch folder without a
// journal never holds the folder's files. Every step can run again after a
// crash: where a file is tells whether it has moved. Subfolders of the
// folder are never touched.
class TFolderSwap {
public:
    TFolderSwap(QString target, QString scratch);

    // Called before each step of every swap that changes what is on disk,
    // with its name: "sync restored", "write journal", "move out NAME",
    // "move in NAME", "move back NAME", "return NAME", "sync folders",
    // "remove journal". A seam for tests that end a swap part way; empty
    // otherwise.
    static inline std::function<void(const QString& step)> BeforeStep;

    QString RestoredFolder() const;
    QString PreviousFolder() const;
    QString JournalFile() const;

    // Puts the new files on disk and records the swap of the folder's
    // current files for them. False when it cannot; nothing has moved then.
    bool Begin(const QStringList& newNames);
    // Reads the journal of a swap that did not end. False when it is missing
    // or damaged.
    bool Load();

    // Moves the folder's files out and the new ones in; false at the first
    // move that fails.
    bool Forward();
    // Moves the new files back and the folder's own files in again; false
    // when one of them cannot be put back.
    bool Back();
    // Puts the moves on disk and removes the journal; from then on the
    // scratch folder holds nothing the folder needs.
    bool End();

private:
    void Step(const QString& name) const;
    QString InTarget(const QString& name) const;
    QString InRestored(const QString& name) const;
    QString InPrevious(const QString& name) const;
    bool SecondHalfStarted() const;

    QString target_;
    QString scratch_;
    QStringList old_; // the folder's files when the swap began
    QStringList new_;
};
