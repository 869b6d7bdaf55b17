#include "TDatabasePage.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* Note(QWidget* parent, const QString& heading, const QStringList& lines,
             const QString& warning = {}) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(frame);
    auto* title = new QLabel(heading, frame);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);
    for (const QString& line : lines) {
        auto* text = new QLabel(line, frame);
        text->setWordWrap(true);
        column->addWidget(text);
    }
    if (!warning.isEmpty()) {
        auto* text = new QLabel(warning, frame);
        text->setWordWrap(true);
        text->setStyleSheet(QStringLiteral("color: blue"));
        column->addWidget(text);
    }
    return frame;
}

} // namespace

TDatabasePage::TDatabasePage(QWidget* parent) : QWidget(parent) {
    btn_backup = new QPushButton(QStringLiteral("Back Up Database..."), this);
    btn_restore = new QPushButton(QStringLiteral("Restore Database..."), this);
    btn_pack = new QPushButton(QStringLiteral("Pack databse"), this);
    for (QPushButton* button : {btn_backup, btn_restore, btn_pack})
        button->setMinimumWidth(160);

    auto* grid = new QGridLayout;
    auto* archiveButtons = new QVBoxLayout;
    archiveButtons->addWidget(btn_backup);
    archiveButtons->addWidget(btn_restore);
    archiveButtons->addStretch();
    grid->addLayout(archiveButtons, 0, 0);
    grid->addWidget(Note(this, QStringLiteral("DataBase back up / restore:"),
                         {QStringLiteral("Periodically make backup archives of your database. ")},
                         QStringLiteral("IMPORTANT. If you restore database from archive file "
                                        "all data in your current database are replaced with "
                                        "data the archive file contains.")),
                    0, 1);
    auto* packButtons = new QVBoxLayout;
    packButtons->addWidget(btn_pack);
    packButtons->addStretch();
    grid->addLayout(packButtons, 1, 0);
    grid->addWidget(Note(this, QStringLiteral("DataBase packing:"),
                         {QStringLiteral("Periodically pack your database to optimize its "
                                         "internal structure.")}),
                    1, 1);
    grid->setColumnStretch(1, 1);

    btn_import = new QPushButton(QStringLiteral("Import…"), this);
    btn_import->setMinimumWidth(160);
    auto* importButtons = new QVBoxLayout;
    importButtons->addWidget(btn_import);
    importButtons->addStretch();
    grid->addLayout(importButtons, 3, 0);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFixedHeight(89);
    Label_clear_history = new QLabel(QStringLiteral("Clear history"), this);
    Label_clear_history->setAlignment(Qt::AlignCenter);
    QFont underlined = Label_clear_history->font();
    underlined.setUnderline(true);
    Label_clear_history->setFont(underlined);
    Label_clear_history->setCursor(Qt::PointingHandCursor);
    Label_clear_history->installEventFilter(this);

    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addStretch();
    column->addWidget(Memo1);
    column->addWidget(Label_clear_history);
}

void TDatabasePage::AddHistoryLine(const QString& text) {
    Memo1->appendPlainText(text);
}

void TDatabasePage::Label_clear_historyClick() {
    Memo1->clear();
}

bool TDatabasePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label_clear_history && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label_clear_historyClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
