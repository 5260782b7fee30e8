// The one way the program shows a message box. Tests answer boxes through
// setNextAnswer() and, with interaction switched off, no real box is ever
// shown: an unanswered box takes its safe button (OK, No or Cancel).
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace ui {

class MessageBox {
public:
    enum Button { NoButton = 0, Ok = 1, Yes = 2, No = 4, Cancel = 8 };
    enum Kind { Error, Warning, Confirmation, Information, Plain };

    // An error or refusal: error icon, OK button.
    static void error(QWidget* parent, const QString& text);
    // A deletion or reset: warning icon, Yes and No; returns Yes or No.
    static Button warning(QWidget* parent, const QString& text);
    // An overwrite or exit question: question icon, Yes and Cancel; returns Yes or Cancel.
    static Button confirm(QWidget* parent, const QString& text);
    // A notice with an OK button.
    static void information(QWidget* parent, const QString& text);
    // A plain box: no icon, an OK button, the application's name as its title.
    static void plain(QWidget* parent, const QString& text);

    // The answer the next box gives without being shown (one box only).
    static void setNextAnswer(Button button);
    // With interaction off no box is ever shown; unanswered boxes take their
    // safe button. Every box is then recorded for inspection.
    static void setInteractive(bool interactive);

    struct Shown {
        Kind kind;
        QString text; // as displayed: carriage returns already turned into line breaks
        Button answer;
        bool overlayHidden; // whether a waiting form was still up and had to be hidden for the box
    };
    // Boxes recorded since the last clearShown() (while interaction is off).
    static const QList<Shown>& shown();
    static void clearShown();
};

} // namespace ui
