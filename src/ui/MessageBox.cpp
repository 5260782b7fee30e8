#include "MessageBox.h"

#include "FormSetup.h"

#include <QMessageBox>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    MessageBox::Button next = MessageBox::NoButton;
    QList<MessageBox::Shown> shown;
};

State& S() {
    static State state;
    return state;
}

MessageBox::Button Show(QWidget* parent, MessageBox::Kind kind, const QString& rawText, MessageBox::Button buttons,
                        MessageBox::Button safe) {
    const QString text = MessageText(rawText);
    // A waiting form is always on top; it must not cover the box.
    const bool overlay = HideOverlays();

    MessageBox::Button answer = MessageBox::NoButton;
    if (S().next != MessageBox::NoButton) {
        answer = (S().next & buttons) ? S().next : safe;
        S().next = MessageBox::NoButton;
    } else if (!S().interactive) {
        answer = safe;
    } else {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        switch (kind) {
        case MessageBox::Error:
            icon = QMessageBox::Critical;
            title = QStringLiteral("Error");
            break;
        case MessageBox::Warning:
            icon = QMessageBox::Warning;
            title = QStringLiteral("Warning");
            break;
        case MessageBox::Confirmation:
            icon = QMessageBox::Question;
            title = QStringLiteral("Confirm");
            break;
        case MessageBox::Information:
            icon = QMessageBox::Information;
            title = QStringLiteral("Information");
            break;
        case MessageBox::Plain: title = ApplicationTitle(); break;
        }
        QMessageBox::StandardButtons std;
        if (buttons & MessageBox::Ok) std |= QMessageBox::Ok;
        if (buttons & MessageBox::Yes) std |= QMessageBox::Yes;
        if (buttons & MessageBox::No) std |= QMessageBox::No;
        if (buttons & MessageBox::Cancel) std |= QMessageBox::Cancel;
        QMessageBox box(icon, title, text, std, parent);
        box.setDefaultButton(safe == MessageBox::Ok   ? QMessageBox::Ok
                             : safe == MessageBox::No ? QMessageBox::No
                                                      : QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Ok: answer = MessageBox::Ok; break;
        case QMessageBox::Yes: answer = MessageBox::Yes; break;
        case QMessageBox::No: answer = MessageBox::No; break;
        default: answer = safe; break;
        }
    }
    if (!S().interactive) S().shown.append({kind, text, answer, overlay});
    return answer;
}

} // namespace

void MessageBox::error(QWidget* parent, const QString& text) { Show(parent, Error, text, Ok, Ok); }

MessageBox::Button MessageBox::warning(QWidget* parent, const QString& text) {
    return Show(parent, Warning, text, Button(Yes | No), No);
}

MessageBox::Button MessageBox::confirm(QWidget* parent, const QString& text) {
    return Show(parent, Confirmation, text, Button(Yes | Cancel), Cancel);
}

void MessageBox::information(QWidget* parent, const QString& text) { Show(parent, Information, text, Ok, Ok); }

void MessageBox::plain(QWidget* parent, const QString& text) { Show(parent, Plain, text, Ok, Ok); }

void MessageBox::setNextAnswer(Button button) { S().next = button; }

void MessageBox::setInteractive(bool interactive) { S().interactive = interactive; }

const QList<MessageBox::Shown>& MessageBox::shown() { return S().shown; }

void MessageBox::clearShown() { S().shown.clear(); }

} // namespace ui
