#include "TFpublish.h"

#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"
#include "ShellOpen.h"
#include "SitePublisher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

namespace {

QSettings Settings() {
    return QSettings(QString::fromLatin1(DialogFolders::Organisation),
                     QString::fromLatin1(DialogFolders::Application));
}

const char* const FolderKey = "Publish/Folder";
const char* const TitleKey = "Publish/Title";
const char* const IntroductionKey = "Publish/Introduction";

} // namespace

TFpublish::TFpublish(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Publish catalog"));
    const QSettings settings = Settings();
    Edit_folder = new QLineEdit(settings.value(FolderKey).toString(), this);
    btn_folder = new QPushButton(QStringLiteral("Browse…"), this);
    Edit_title =
        new QLineEdit(settings.value(TitleKey, QStringLiteral("Figures")).toString(), this);
    Memo_introduction = new QPlainTextEdit(settings.value(IntroductionKey).toString(), this);
    PB_publish = new QProgressBar(this);
    PB_publish->setVisible(false);
    btn_publish = new QPushButton(QStringLiteral("Publish"), this);
    btn_publish->setDefault(true);
    btn_stop = new QPushButton(QStringLiteral("Stop"), this);
    btn_stop->setEnabled(false);
    btn_close = new QPushButton(QStringLiteral("Close"), this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Edit_folder, 1);
    folderRow->addWidget(btn_folder);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Folder:"), folderRow);
    form->addRow(QStringLiteral("Title:"), Edit_title);
    form->addRow(QStringLiteral("Introduction:"), Memo_introduction);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PB_publish, 1);
    buttons->addWidget(btn_publish);
    buttons->addWidget(btn_stop);
    buttons->addWidget(btn_close);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);
    resize(520, 360);

    connect(btn_folder, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_folderClick(); }));
    connect(btn_publish, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_publishClick(); }));
    connect(btn_stop, &QPushButton::clicked, this, [this] { stopping_ = true; });
    connect(btn_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFpublish::btn_folderClick() {
    FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Publish the catalog to a folder"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(Edit_folder->text().isEmpty()
                            ? DialogFolders::StartFolder(DialogFolders::Kind::Exports)
                            : Edit_folder->text());
    if (DialogRunner::Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        Edit_folder->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void TFpublish::Remember() const {
    QSettings settings = Settings();
    settings.setValue(FolderKey, Edit_folder->text());
    settings.setValue(TitleKey, Edit_title->text());
    settings.setValue(IntroductionKey, Memo_introduction->toPlainText());
}

void TFpublish::btn_publishClick() {
    const QString folder = QDir::fromNativeSeparators(Edit_folder->text().trimmed());
    if (folder.isEmpty()) {
        DialogRunner::ShowStandardMessage(QStringLiteral("Choose the folder to publish to."));
        return;
    }
    Remember();
    SitePublisher::Options options;
    options.title = Edit_title->text();
    options.introduction = Memo_introduction->toPlainText();
    options.progress = [this](int done, int total) {
        PB_publish->setMaximum(total);
        PB_publish->setValue(done);
        QCoreApplication::processEvents();
        return !stopping_;
    };
    stopping_ = false;
    PB_publish->setValue(0);
    PB_publish->setVisible(true);
    btn_stop->setEnabled(true);
    for (QWidget* widget : {static_cast<QWidget*>(btn_publish), static_cast<QWidget*>(btn_close),
                            static_cast<QWidget*>(btn_folder)})
        widget->setEnabled(false);
    struct Restore {
        TFpublish* dialog;
        ~Restore() {
            dialog->btn_stop->setEnabled(false);
            dialog->btn_publish->setEnabled(true);
            dialog->btn_close->setEnabled(true);
            dialog->btn_folder->setEnabled(true);
            dialog->PB_publish->setVisible(false);
        }
    } restore{this};
    if (!SitePublisher(QDir(folder).absolutePath(), options).Publish())
        return;
    ShellOpen::OpenFileOrTell(QDir(folder).absoluteFilePath(SitePublisher::IndexFile));
    accept();
}
