// The one way the program asks where and how to print. Tests preset the
// next answer with setNextPdfFile(): the printer then writes that PDF file
// and no dialog is shown; with interaction switched off an unanswered dialog
// is cancelled.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace ui {

class PrintDialog {
public:
    // Shows the system's print dialog for `printer`, which offers the
    // printers and printing to a PDF file; true when the user chose to print.
    static bool exec(QWidget* parent, QPrinter& printer, const QString& caption);

    // The next dialog is answered without being shown: print to the PDF file
    // `path`, or cancel for an empty path (one dialog only).
    static void setNextPdfFile(const QString& path);
    static void setInteractive(bool interactive);
};

} // namespace ui
