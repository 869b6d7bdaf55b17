#include "PaperPrint.h"

#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DialogRunner.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

void PaperPrint::Preview(QWidget* parent, const QString& documentName,
                         const std::function<void(QPrinter& printer)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     CommandGuard::Slot([&paint](QPrinter* target) {
                         const BusyCursor busy;
                         paint(*target);
                     }));
    DialogRunner::Exec(preview);
}
