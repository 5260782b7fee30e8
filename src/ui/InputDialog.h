// The one way the program asks for a line of text or a number. Tests preset
// the next answer with setNextText() or setNextNumber(); with interaction
// switched off an unanswered question is cancelled and nothing is shown.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ui {

class InputDialog {
public:
    // Asks for a line of text, offering `text`; returns an empty text when
    // cancelled.
    static QString getText(QWidget* parent, const QString& caption, const QString& label, const QString& text);

    // Asks for a whole number within [min, max], starting at `value`;
    // nothing when cancelled.
    static std::optional<int> getNumber(QWidget* parent, const QString& title, const QString& label, int value, int min,
                                        int max);

    // The text the next text question returns without being shown (one
    // question only); an empty text answers as a cancelled question.
    static void setNextText(const QString& text);
    // The answer the next number question gives without being shown (one
    // question only); nothing answers as a cancelled one. A number outside
    // the question's range is brought into it, as the dialog's field would.
    static void setNextNumber(std::optional<int> number);
    // Drops answers no question has taken.
    static void clearNextAnswers();
    static void setInteractive(bool interactive);

    // What the last question was asked to show (`text` for a text question;
    // `value`, `min` and `max` for a number).
    struct Request {
        QString title, label, text;
        int value = 0, min = 0, max = 0;
    };
    static const Request& lastRequest();
};

} // namespace ui
