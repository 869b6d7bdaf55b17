#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// Pages printed through the desktop's print dialog. paint draws the pages
// on the printer it is given, only those of the range chosen in the print
// dialog (fromPage() to toPage(), 0 for all) when it prints.
class PaperPrint {
public:
    // Beyond so many pages the preview, which keeps every page it shows in
    // memory, is left out.
    static constexpr int MostPreviewed = 500;

    // With preview, the print preview first, from which the user goes on
    // to the print dialog; paint then runs for the preview and again for
    // printing. Without it, the print dialog at once.
    static void Print(QWidget* parent, const QString& documentName, bool preview,
                      const std::function<void(QPrinter& printer)>& paint);
};
