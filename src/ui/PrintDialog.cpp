#include "PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    bool hasNext = false;
    QString next;
};

State& S() {
    static State state;
    return state;
}

} // namespace

bool PrintDialog::exec(QWidget* parent, QPrinter& printer, const QString& caption) {
    if (S().hasNext) {
        S().hasNext = false;
        const QString path = std::exchange(S().next, QString());
        if (path.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    }
    if (!S().interactive) return false;
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(caption);
    return dialog.exec() == QDialog::Accepted;
}

void PrintDialog::setNextPdfFile(const QString& path) {
    S().next = path;
    S().hasNext = true;
}

void PrintDialog::setInteractive(bool interactive) { S().interactive = interactive; }

} // namespace ui
