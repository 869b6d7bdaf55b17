// velmora_crash_driver: what scripts/crash.sh starts, and kills, in place of
// the program, so that it needs no display and no person.
//
//   velmora_crash_driver start HOME   the program's start-up in HOME/bin:
//                                     finishing an interrupted restore, the
//                                     connection and the structure check
//   velmora_crash_driver edit HOME FIRST
//                                     the start-up, then figures added and
//                                     edited through the figures list without
//                                     end, the edits numbered from FIRST on;
//                                     "KEY N" is printed once the save of edit
//                                     N of figure KEY is committed (0: the
//                                     figure was added); "ready" comes first,
//                                     once the start-up is done
//
// Messages go to standard error. Exit status: 0 started, 1 the start-up
// failed, 2 a save failed, 6 the program (or another driver) runs, 64 bad
// arguments.

#include "DialogRunner.h"
#include "SingleInstanceLock.h"
#include "TDmsg.h"
#include "TField.h"
#include "TO_Figures.h"
#include "TPmain.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// Adds a figure or edits one already there, each tenth time an addition;
// the edit stores "edit N" as the description and a blob as the thumbnail,
// so that a save takes a while.
bool SaveOne(TO_Figures& figures, qint64 edit) {
    QString key;
    if (edit % 10 == 0 || figures.Q1.IsEmpty()) {
        key = figures.AppendRecord();
        if (key.isEmpty() || figures.Q1.UpdatesPending())
            return false;
        std::printf("%s 0\n", key.toUtf8().constData());
        std::fflush(stdout);
    } else {
        figures.Q1.MoveTo(QRandomGenerator::global()->bounded(figures.Q1.RecordCount()));
        key = figures.KeyValue();
    }
    QByteArray blob(65536, '\0');
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(blob.data()), blob.size() / 4);
    figures.Q1.Edit();
    figures.Q1.FieldByName("figure_dsc").SetAsString(QStringLiteral("edit %1").arg(edit));
    figures.Q1.FieldByName("picture_th").SetAsBytes(blob);
    figures.Q1.Post();
    if (figures.Q1.UpdatesPending())
        return false;
    std::printf("%s %lld\n", key.toUtf8().constData(), edit);
    std::fflush(stdout);
    return true;
}

int Run(const QString& mode, const QString& home, qint64 first) {
    const QString bin = QDir(home).filePath(QStringLiteral("bin"));
    if (!QDir().mkpath(bin) || !QDir::setCurrent(bin))
        return 1;
    SingleInstanceLock instance;
    if (!instance.Acquire())
        return 6;
    TPmain program;
    if (!program.InitApplication())
        return 1;
    if (mode == QLatin1String("start"))
        return 0;

    TO_Figures figures;
    figures.KeyField = QStringLiteral("figure_id");
    figures.NameField = QStringLiteral("figure_name");
    figures.Reopen();
    if (!figures.Q1.Active())
        return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    for (qint64 edit = first;; ++edit) {
        if (!SaveOne(figures, edit))
            return 2;
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool start = argc == 3 && std::strcmp(argv[1], "start") == 0;
    const bool edit = argc == 4 && std::strcmp(argv[1], "edit") == 0 && std::atoll(argv[3]) > 0;
    if (!start && !edit) {
        std::fprintf(stderr, "usage: velmora_crash_driver start HOME | edit HOME FIRST\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const DialogRunner::ScopedHook messages([](QDialog& dialog) {
        if (auto* message = qobject_cast<TDmsg*>(&dialog))
            std::fprintf(stderr, "message: %s\n", message->Label->text().toUtf8().constData());
        return int(QDialog::Accepted);
    });
    const DialogRunner::ScopedMessageHook boxes([](const QString& text) {
        std::fprintf(stderr, "error: %s\n", text.toUtf8().constData());
    });
    try {
        return Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                   edit ? std::atoll(argv[3]) : 0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 2;
    }
}
