#include "TFhtml_record.h"

#include "DialogRunner.h"
#include "FileNameFromName.h"
#include "HtmlRecordReader.h"
#include "Msg.h"
#include "ShellOpen.h"
#include "TField.h"
#include "TQuery.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace {

QLineEdit* AddRow(QWidget* page, const QString& caption, QLabel*& label, int y) {
    label = new QLabel(caption, page);
    label->setGeometry(10, y, 140, 22);
    auto* edit = new QLineEdit(page);
    edit->setGeometry(150, y, 250, 22);
    return edit;
}

// Whether the files may be replaced: asked when there are any.
bool MayReplace(const QStringList& files) {
    if (files.isEmpty())
        return true;
    if (files.size() == 1) {
        return Ask(QStringLiteral("The file \"%1\" already exists. Replace it?")
                       .arg(QDir::toNativeSeparators(files.first())));
    }
    QString listed;
    for (const QString& file : files)
        listed += QStringLiteral("\"%1\"\n").arg(QDir::toNativeSeparators(file));
    return Ask(QStringLiteral("These files already exist:\n%1Replace them?").arg(listed));
}

} // namespace

TFhtml_record::TFhtml_record(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("HTML export"));
    setFixedSize(434, 266);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 8, 418, 208);
    TabSheet_page = new QWidget;
    PageControl1->addTab(TabSheet_page, QStringLiteral("Figure page"));

    Edit_html_path = AddRow(TabSheet_page, QStringLiteral("HTML output path"), Label_html_path, 10);
    Edit_html_filename =
        AddRow(TabSheet_page, QStringLiteral("HTML file name"), Label_html_filename, 38);
    Edit_picture_path =
        AddRow(TabSheet_page, QStringLiteral("Picture output path"), Label_picture_path, 66);
    Edit_picture_filename =
        AddRow(TabSheet_page, QStringLiteral("Picture file name"), Label_picture_filename, 94);
    CB_genre_map = new QCheckBox(QStringLiteral("Use genre map"), TabSheet_page);
    CB_genre_map->setGeometry(10, 122, 200, 22);
    CB_genre_map->setChecked(true);
    Edit_genre_map =
        AddRow(TabSheet_page, QStringLiteral("Genre map file name"), Label_genre_map, 150);

    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_ok->setGeometry(258, 228, 80, 27);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_cancel->setGeometry(346, 228, 80, 27);
    connect(btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFhtml_record::ExportFigure(TQuery& figures) {
    QString figureName;
    QString genreName;
    if (figures.Active() && !figures.IsEmpty()) {
        figureName = figures.FieldByName(QStringLiteral("figure_name")).AsString();
        genreName = figures.FieldByName(QStringLiteral("genre_name")).AsString();
    }
    // A name that gives no file name would give hidden files (".html").
    const QString figureFile = FileNameFromName(figureName, QStringLiteral("figure"));
    Edit_html_path->setText(QString::fromLatin1(DefaultHtmlPath));
    Edit_html_filename->setText(figureFile + QStringLiteral(".html"));
    Edit_picture_path->setText(QString::fromLatin1(DefaultPicturePath));
    Edit_picture_filename->setText(figureFile + QStringLiteral(".jpg"));
    Edit_genre_map->setText(FileNameFromName(genreName, QStringLiteral("genre")) +
                            QStringLiteral(".jpg"));
    // A refused replacement comes back to the dialog with the boxes as they
    // were, to choose other names or cancel.
    while (DialogRunner::Exec(*this) == QDialog::Accepted) {
        if (WritePage(figures))
            return;
    }
}

HtmlPageOptions TFhtml_record::Options() const {
    HtmlPageOptions options;
    options.pagePath = Edit_html_path->text();
    options.pageFile = Edit_html_filename->text();
    options.picturePath = Edit_picture_path->text();
    options.pictureFile = Edit_picture_filename->text();
    options.useMap = CB_genre_map->isChecked();
    options.mapFile = Edit_genre_map->text();
    return options;
}

bool TFhtml_record::WritePage(TQuery& figures) {
    if (!figures.Active() || figures.IsEmpty())
        return true;
    const HtmlRecord record = HtmlRecordReader::Read(figures);
    HtmlPageOptions options = Options();
    const QString genre = figures.FieldByName(QStringLiteral("genre_id")).AsString();
    options.mapBytes = [genre] { return HtmlRecordReader::GenreMapBytes(genre); };
    const QList<HtmlPageFile> files = builder_.Prepare(record, options);
    if (!MayReplace(HtmlPageBuilder::Replaced(files)))
        return false;
    HtmlPageBuilder::WriteFiles(files);
    ShellOpen::OpenFileOrTell(files.last().fileName);
    return true;
}

void TFhtml_record::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        QRect area = frameGeometry();
        area.moveCenter(shown->availableGeometry().center());
        move(area.topLeft());
    }
}
