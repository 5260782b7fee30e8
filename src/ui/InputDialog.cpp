#include "InputDialog.h"

#include "FormSetup.h"

#include <QInputDialog>

#include <algorithm>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    bool hasNext = false;
    std::optional<int> next;
    InputDialog::Request last;
};

State& S() {
    static State state;
    return state;
}

} // namespace

std::optional<int> InputDialog::getNumber(QWidget* parent, const QString& title, const QString& label, int value,
                                          int min, int max) {
    S().last = {title, label, value, min, max};
    if (S().hasNext) {
        S().hasNext = false;
        const std::optional<int> answer = std::exchange(S().next, std::nullopt);
        if (!answer) return std::nullopt;
        return std::clamp(*answer, min, max);
    }
    if (!S().interactive) return std::nullopt;
    QInputDialog dialog(parent);
    ApplyFormScaling(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(min, max);
    dialog.setIntValue(std::clamp(value, min, max));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.intValue();
}

void InputDialog::setNextNumber(std::optional<int> number) {
    S().next = number;
    S().hasNext = true;
}

void InputDialog::clearNextNumber() {
    S().next.reset();
    S().hasNext = false;
}

void InputDialog::setInteractive(bool interactive) { S().interactive = interactive; }

const InputDialog::Request& InputDialog::lastRequest() { return S().last; }

} // namespace ui
