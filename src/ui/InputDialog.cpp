#include "InputDialog.h"

#include "FormSetup.h"

#include <QInputDialog>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    std::optional<QString> nextText;
    bool hasNextNumber = false;
    std::optional<int> nextNumber;
    InputDialog::Request last;
};

State& S() {
    static State state;
    return state;
}

} // namespace

QString InputDialog::getText(QWidget* parent, const QString& caption, const QString& label, const QString& text) {
    S().last = {caption, label, text};
    if (S().nextText) return *std::exchange(S().nextText, std::nullopt);
    if (!S().interactive) return {};
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.resize(420, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().trimmed();
}

std::optional<int> InputDialog::getNumber(QWidget* parent, const QString& title, const QString& label, int value,
                                          int min, int max) {
    S().last = {title, label, QString(), value, min, max};
    if (S().hasNextNumber) {
        S().hasNextNumber = false;
        const std::optional<int> answer = std::exchange(S().nextNumber, std::nullopt);
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

void InputDialog::setNextText(const QString& text) { S().nextText = text; }

void InputDialog::setNextNumber(std::optional<int> number) {
    S().nextNumber = number;
    S().hasNextNumber = true;
}

void InputDialog::clearNextAnswers() {
    S().nextText.reset();
    S().nextNumber.reset();
    S().hasNextNumber = false;
}

void InputDialog::setInteractive(bool interactive) { S().interactive = interactive; }

const InputDialog::Request& InputDialog::lastRequest() { return S().last; }

} // namespace ui
