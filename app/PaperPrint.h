#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// Pages shown in the desktop's print preview, from which the user prints
// them through the print dialog. paint draws every page on the printer it
// is given, for the preview and again for printing (then only the pages
// of the range chosen in the print dialog, fromPage() to toPage(), 0 for
// all).
class PaperPrint {
public:
    static void Preview(QWidget* parent, const QString& documentName,
                        const std::function<void(QPrinter& printer)>& paint);
};
