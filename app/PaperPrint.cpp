#include "PaperPrint.h"

#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DialogRunner.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

void PaperPrint::Print(QWidget* parent, const QString& documentName, bool preview,
                       const std::function<void(QPrinter& printer)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    auto draw = [&paint](QPrinter* target) {
        const BusyCursor busy;
        paint(*target);
    };
    if (!preview) {
        QPrintDialog dialog(&printer, parent);
        if (DialogRunner::Exec(dialog) == QDialog::Accepted)
            draw(&printer);
        return;
    }
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     CommandGuard::Slot(draw));
    DialogRunner::Exec(dialog);
}
