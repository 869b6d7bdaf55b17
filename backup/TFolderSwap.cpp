#include "TFolderSwap.h"

#include "ArchiveFormat.h"
#include "DiskSync.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace {

constexpr char Header[] = "velmora folder swap 1";
constexpr char Trailer[] = "end";

bool Exists(const QString& path) {
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

// A subfolder of the folder, which a swap never moves, whatever a damaged
// journal names.
bool IsSubfolder(const QString& path) {
    const QFileInfo entry(path);
    return entry.isDir() && !entry.isSymLink();
}

QByteArray Encoded(const QString& name) {
    return QUrl::toPercentEncoding(name);
}

// A name the journal may hold: one entry right inside a folder.
bool IsEntryName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace

TFolderSwap::TFolderSwap(QString target, QString scratch)
    : target_(std::move(target)), scratch_(std::move(scratch)) {}

QString TFolderSwap::RestoredFolder() const {
    return scratch_ + QStringLiteral("/restored");
}

QString TFolderSwap::PreviousFolder() const {
    return scratch_ + QStringLiteral("/previous");
}

QString TFolderSwap::JournalFile() const {
    return scratch_ + QStringLiteral("/swap");
}

void TFolderSwap::Step(const QString& name) const {
    if (BeforeStep)
        BeforeStep(name);
}

QString TFolderSwap::InTarget(const QString& name) const {
    return target_ + QLatin1Char('/') + name;
}

QString TFolderSwap::InRestored(const QString& name) const {
    return RestoredFolder() + QLatin1Char('/') + name;
}

QString TFolderSwap::InPrevious(const QString& name) const {
    return PreviousFolder() + QLatin1Char('/') + name;
}

bool TFolderSwap::Begin(const QStringList& newNames) {
    old_.clear();
    for (const QFileInfo& file : ArchiveFormat::FolderFiles(target_))
        old_ << file.fileName();
    new_ = newNames;

    Step(QStringLiteral("sync restored"));
    for (const QString& name : new_) {
        if (!DiskSync::SyncFile(InRestored(name)))
            return false;
    }
    if (!DiskSync::SyncFolder(RestoredFolder()) || !DiskSync::SyncFolder(scratch_) ||
        !DiskSync::SyncFolder(QFileInfo(scratch_).path()))
        return false;

    QByteArray text = QByteArray(Header) + '\n';
    for (const QString& name : old_)
        text += "old " + Encoded(name) + '\n';
    for (const QString& name : new_)
        text += "new " + Encoded(name) + '\n';
    text += QByteArray(Trailer) + '\n';

    // Under its name only once complete and on disk.
    Step(QStringLiteral("write journal"));
    const QString partial = JournalFile() + QStringLiteral(".new");
    QFile journal(partial);
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        journal.write(text) != text.size() || !journal.flush() ||
        !DiskSync::SyncHandle(journal.handle())) {
        journal.remove();
        return false;
    }
    journal.close();
    if (!DiskSync::MoveFile(partial, JournalFile())) {
        QFile::remove(partial);
        return false;
    }
    return DiskSync::SyncFolder(scratch_);
}

bool TFolderSwap::Load() {
    old_.clear();
    new_.clear();
    QFile journal(JournalFile());
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    // Far beyond any folder's list of names.
    const QByteArray text = journal.read(64 * 1024 * 1024);
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || lines.first() != Header || lines[lines.size() - 2] != Trailer ||
        !lines.last().isEmpty())
        return false;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QByteArray& line = lines[i];
        const bool isOld = line.startsWith("old ");
        if (!isOld && !line.startsWith("new "))
            return false;
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(4)));
        if (!IsEntryName(name) || (isOld ? old_ : new_).contains(name))
            return false;
        (isOld ? old_ : new_) << name;
    }
    return true;
}

// The new files move in only after every old one has moved out, so one new
// file gone from the restored folder means the first half is done.
bool TFolderSwap::SecondHalfStarted() const {
    for (const QString& name : new_) {
        if (!Exists(InRestored(name)))
            return true;
    }
    return false;
}

bool TFolderSwap::Forward() {
    if (!SecondHalfStarted()) {
        for (const QString& name : old_) {
            if (Exists(InPrevious(name)) || !Exists(InTarget(name)) || IsSubfolder(InTarget(name)))
                continue;
            Step(QStringLiteral("move out ") + name);
            if (!DiskSync::MoveFile(InTarget(name), InPrevious(name)))
                return false;
        }
    }
    for (const QString& name : new_) {
        if (!Exists(InRestored(name)))
            continue;
        Step(QStringLiteral("move in ") + name);
        if (!DiskSync::MoveFile(InRestored(name), InTarget(name)))
            return false;
    }
    return true;
}

bool TFolderSwap::Back() {
    // Undoes as much as can be undone, even past a move that fails.
    bool back = true;
    for (const QString& name : new_) {
        if (Exists(InRestored(name)) || !Exists(InTarget(name)) || IsSubfolder(InTarget(name)))
            continue;
        Step(QStringLiteral("move back ") + name);
        back &= DiskSync::MoveFile(InTarget(name), InRestored(name));
    }
    for (const QString& name : old_) {
        if (!Exists(InPrevious(name)))
            continue;
        Step(QStringLiteral("return ") + name);
        back &= DiskSync::MoveFile(InPrevious(name), InTarget(name));
    }
    return back;
}

bool TFolderSwap::End() {
    Step(QStringLiteral("sync folders"));
    if (!DiskSync::SyncFolder(target_) || !DiskSync::SyncFolder(PreviousFolder()) ||
        !DiskSync::SyncFolder(RestoredFolder()))
        return false;
    Step(QStringLiteral("remove journal"));
    return QFile::remove(JournalFile()) && DiskSync::SyncFolder(scratch_);
}
