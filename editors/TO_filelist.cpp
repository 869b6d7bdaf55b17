#include "TO_filelist.h"

#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"
#include "Msg.h"
#include "ShellOpen.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The date the file system recorded the file's creation on, or its last
// change where it records no creation; taken in UTC as recorded, not moved
// into the local time zone.
QDate FileDate(const QFileInfo& file) {
    QDateTime time = file.fileTime(QFileDevice::FileBirthTime);
    if (!time.isValid())
        time = file.fileTime(QFileDevice::FileModificationTime);
    return time.toUTC().date();
}

} // namespace

TO_filelist::TO_filelist(QWidget* parent) : QFrame(parent), ShellOpenFile(&ShellOpen::OpenFile) {
    LV1 = new QTreeWidget(this);
    LV1->setRootIsDecorated(false);
    LV1->setItemsExpandable(false);
    LV1->setUniformRowHeights(true);
    LV1->setSelectionMode(QAbstractItemView::SingleSelection);
    LV1->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV1->setAllColumnsShowFocus(true);
    LV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV1->setIconSize(QSize(16, 16));
    LV1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Path"), QStringLiteral("Size"),
                          QStringLiteral("Date")});
    LV1->header()->setStretchLastSection(false);
    LV1->setColumnWidth(NameColumn, 150);
    LV1->setColumnWidth(PathColumn, 250);
    LV1->setColumnWidth(SizeColumn, 70);
    LV1->setColumnWidth(DateColumn, 70);
    // The selected row stays marked as strongly when the list loses focus.
    QPalette colours = LV1->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    LV1->setPalette(colours);

    btn_add = new QPushButton(QStringLiteral("Add a file to list"), this);
    btn_remove = new QPushButton(QStringLiteral("Remove from list"), this);
    btn_open = new QPushButton(QStringLiteral("Open file"), this);
    connect(btn_add, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_addClick(); }));
    connect(btn_remove, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_removeClick(); }));
    connect(btn_open, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_openClick(); }));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btn_add);
    buttons->addWidget(btn_remove);
    buttons->addWidget(btn_open);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(LV1, 1);
    layout->addLayout(buttons);
}

QString TO_filelist::MissingText() {
    return QStringLiteral("(missing)");
}

void TO_filelist::LoadFromText(const QString& text) {
    const FolderKeeper keeper;
    LV1->clear();
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]"));
    for (const QString& line : text.split(lineBreaks, Qt::SkipEmptyParts)) {
        // A file out of reach now is still the figure's: its path stays.
        if (QFileInfo::exists(line))
            AddFile(line);
        else
            AddMissingFile(line);
    }
    modified_ = false;
}

QString TO_filelist::SaveToText() const {
    const FolderKeeper keeper;
    QString text;
    for (int row = 0; row < LV1->topLevelItemCount(); ++row) {
        const QString path = LV1->topLevelItem(row)->text(PathColumn);
        if (!path.isEmpty())
            text += path + QStringLiteral("\r\n");
    }
    return text;
}

void TO_filelist::AddFile(const QString& path) {
    // Taken literally: no wildcards, and hidden files are files like any
    // other. A folder is kept too; it has no size of its own.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return;
    auto* row = new QTreeWidgetItem(LV1);
    row->setText(NameColumn, file.fileName());
    row->setIcon(NameColumn, ImageList_small.icon(file));
    row->setText(PathColumn, path);
    row->setText(SizeColumn, QString::number(file.isDir() ? 0 : file.size()));
    row->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(DateColumn, QLocale::system().toString(FileDate(file), QLocale::ShortFormat));
    modified_ = true;
}

void TO_filelist::AddMissingFile(const QString& path) {
    auto* row = new QTreeWidgetItem(LV1);
    // Said in the name, which is always in view; no size and no date.
    row->setText(NameColumn, QFileInfo(path).fileName() + QLatin1Char(' ') + MissingText());
    row->setIcon(NameColumn, ImageList_small.icon(QFileIconProvider::File));
    row->setText(PathColumn, path);
    const QColor grey = LV1->palette().color(QPalette::Disabled, QPalette::Text);
    for (int column = NameColumn; column <= DateColumn; ++column)
        row->setForeground(column, grey);
}

int TO_filelist::Count() const {
    return LV1->topLevelItemCount();
}

bool TO_filelist::Modified() const {
    return modified_;
}

void TO_filelist::btn_addClick() {
    const FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Select a file to add to the list"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::RelatedFiles));
    if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    DialogFolders::Remember(DialogFolders::Kind::RelatedFiles, chosen.absoluteFilePath());
    AddFile(chosen.absoluteFilePath());
}

void TO_filelist::btn_removeClick() {
    QTreeWidgetItem* row = LV1->selectedItems().value(0);
    if (row == nullptr)
        return;
    const QString name = QFileInfo(row->text(PathColumn)).fileName();
    if (Ask(QStringLiteral("Remove \"%1\" from list?").arg(name))) {
        delete row;
        modified_ = true;
    }
}

void TO_filelist::btn_openClick() {
    const QTreeWidgetItem* row = LV1->selectedItems().value(0);
    if (row == nullptr)
        return;
    const int result = ShellOpenFile(row->text(PathColumn));
    if (result <= ShellOpen::LastError)
        ShowMsg(ShellOpen::FailureText(result));
}
