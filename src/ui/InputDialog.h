// The one way the program asks for a line of text. Tests preset the next
// answer with setNextText(); with interaction switched off an unanswered
// question is cancelled and nothing is shown.
#pragma once

#include <QString>

class QWidget;

namespace ui {

class InputDialog {
public:
    // Asks for a line of text, offering `text`; returns an empty text when
    // cancelled.
    static QString getText(QWidget* parent, const QString& caption, const QString& label,
                           const QString& text);

    // The text the next question returns without being shown (one question
    // only); an empty text answers as a cancelled question.
    static void setNextText(const QString& text);
    static void setInteractive(bool interactive);

    // What the last question was asked to show.
    struct Request {
        QString caption, label, text;
    };
    static const Request& lastRequest();
};

} // namespace ui
