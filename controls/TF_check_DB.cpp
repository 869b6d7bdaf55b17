#include "TF_check_DB.h"

#include "CommandGuard.h"
#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineVersion.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <exception>

namespace {

// The oldest engine library the program's statements are written for.
constexpr int MinimumEngineVersion = 3020000;

} // namespace

TF_check_DB::TF_check_DB(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("F_check_DB"));
    setWindowTitle(QStringLiteral("Database structure checking"));
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);

    auto* caption = new QLabel(QStringLiteral("Database structure checking"), panel);
    QFont bold = caption->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    caption->setFont(bold);
    caption->setAlignment(Qt::AlignCenter);

    auto* picture = new QLabel(panel);
    picture->setFixedSize(64, 64);
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));

    auto* text = new QLabel(
        QStringLiteral("If some required tables and/or columns do not exist they will be created."),
        panel);
    text->setWordWrap(true);

    PB1 = new QProgressBar(panel);
    PB1->setTextVisible(false);

    auto* middle = new QHBoxLayout;
    middle->addWidget(picture);
    middle->addWidget(text, 1);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(caption);
    column->addLayout(middle);
    column->addWidget(PB1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    setFixedSize(380, 170);

    Timer1.setInterval(1000);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, CommandGuard::Slot([this] { Timer1Timer(); }));
}

void TF_check_DB::BuildStructure() {
    DatabaseStructure::Build(structure_);
}

int TF_check_DB::Run() {
    PB1->setValue(0);
    resultCode_ = -1;
    problem_.clear();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    Timer1.stop();
    return resultCode_;
}

void TF_check_DB::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Timer1.start();
}

void TF_check_DB::Timer1Timer() {
    Timer1.stop();
    if (EngineVersionOk()) {
        // A file that is no database must not be taken for an empty one:
        // the check would try to create every table in it, and the lists
        // would fail on every page. It is left as it is.
        problem_ = DatabaseProblem();
        if (problem_.isEmpty()) {
            CheckStructure();
            resultCode_ = Checked;
        } else {
            resultCode_ = DatabaseUnreadable;
        }
    } else {
        resultCode_ = EngineMissing;
    }
    accept();
}

bool TF_check_DB::EngineVersionOk() {
    try {
        return EngineVersion::Linked().Number >= MinimumEngineVersion;
    } catch (const std::exception&) {
        return false;
    }
}

QString TF_check_DB::DatabaseProblem() const {
    try {
        const TDatabase& database = TDatabase::Connected(Q1.DatabaseName);
        // The first read of the file: SQLite opens lazily, and reading the
        // header and the schema writes nothing. A server has answered
        // already; its catalog is read the same way.
        TSqlStatement tables(database.Handle(),
                             database.OnServer()
                                 ? QStringLiteral("select count(*) from information_schema.tables")
                                 : QStringLiteral("select count(*) from sqlite_master"));
        if (!tables.Step())
            return QStringLiteral("the engine can not read it");
        return {};
    } catch (const EDatabaseError& error) {
        return error.Message();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    }
}

void TF_check_DB::CheckStructure() {
    DatabaseStructure::Check(structure_, Table1, Q1, [this](int position, int maximum) {
        PB1->setMaximum(maximum);
        PB1->setValue(position);
    });
}

void TF_check_DB::CreateTable(const TZunPigger& table) {
    DatabaseStructure::CreateTable(Q1, table);
}

void TF_check_DB::AddField(const QString& tableName, const TZunPigger& field) {
    DatabaseStructure::AddField(Q1, tableName, field);
}
