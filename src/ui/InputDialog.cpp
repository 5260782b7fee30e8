#include "InputDialog.h"

#include <QInputDialog>

#include <utility>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    bool hasNext = false;
    QString next;
    InputDialog::Request last;
};

State& S() {
    static State state;
    return state;
}

} // namespace

QString InputDialog::getText(QWidget* parent, const QString& caption, const QString& label,
                             const QString& text) {
    S().last = {caption, label, text};
    if (S().hasNext) {
        S().hasNext = false;
        return std::exchange(S().next, QString());
    }
    if (!S().interactive) return {};
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.resize(420, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().trimmed();
}

void InputDialog::setNextText(const QString& text) {
    S().next = text;
    S().hasNext = true;
}

void InputDialog::setInteractive(bool interactive) { S().interactive = interactive; }

const InputDialog::Request& InputDialog::lastRequest() { return S().last; }

} // namespace ui
