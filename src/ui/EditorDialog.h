// The frame every editor dialog shares: a fixed, centred modal dialog without
// border icons, flat "OK" and "Cancel" buttons, a hidden default button so
// that Enter confirms, and the way a refused field is reported.
//
// The keyboard: the dialog opens with the focus in its first editable field,
// its text selected; Tab goes through the fields in the order they were made
// (top to bottom), then to OK and Cancel. Enter confirms, except on a
// focused Cancel button, which it presses.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace ui {

class EditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit EditorDialog(QWidget* parent = nullptr);

    QToolButton* SB_OK = nullptr;
    QToolButton* SB_Cancel = nullptr;
    QPushButton* Bu_OK = nullptr; // 1×1 default button: Enter runs OK

public slots:
    virtual void FormShow() {}
    virtual void SB_OKClick() = 0;
    virtual void SB_CancelClick();

protected:
    // A row holding the OK and Cancel buttons, to be put at the foot of the layout.
    QWidget* ButtonRow();
    // Shows `message` in an error box, empties `field` when `clear` is set,
    // and gives it the focus.
    void Refuse(QWidget* field, const std::string& message, bool clear);
    // Runs `fn` once the dialog has been drawn, for a message about what it
    // shows that must not appear before the dialog itself.
    void AfterDrawn(std::function<void()> fn);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Moves OK and Cancel behind the last field in the Tab order.
    void ButtonsLastInTabOrder();
    void FocusFirstField();

    std::vector<std::function<void()>> afterDrawn_;
};

// Limits what the user can type into `edit` to `max` characters. Unlike
// QLineEdit::setMaxLength, a longer text set by the program is kept whole, so
// a stored value is never cut by showing it.
void LimitLength(QLineEdit* edit, int max);

// The ISO 8859-1 bytes of `text`; false when a character lies outside it.
bool ToLatin1(const QString& text, std::string& out);

} // namespace ui
