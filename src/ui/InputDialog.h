// The one way the program asks for a number. Tests preset the next answer
// with setNextNumber(); with interaction switched off an unanswered dialog
// is cancelled and nothing is shown.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ui {

class InputDialog {
  public:
    // Asks for a whole number within [min, max], starting at `value`;
    // nothing when cancelled.
    static std::optional<int> getNumber(QWidget* parent, const QString& title, const QString& label, int value,
                                        int min, int max);

    // The answer the next dialog gives without being shown (one dialog
    // only); nothing answers as a cancelled dialog. A number outside the
    // dialog's range is brought into it, as the dialog's field would.
    static void setNextNumber(std::optional<int> number);
    // Drops an answer no dialog has taken.
    static void clearNextNumber();
    static void setInteractive(bool interactive);

    // What the last dialog was asked.
    struct Request {
        QString title, label;
        int value = 0, min = 0, max = 0;
    };
    static const Request& lastRequest();
};

} // namespace ui
