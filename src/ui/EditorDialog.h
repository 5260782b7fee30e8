// The frame every editor dialog shares: a fixed, centred modal dialog without
// border icons, flat "OK" and "Cancel" buttons, a hidden default button so
// that Enter confirms, and the way a refused field is reported.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

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

    void showEvent(QShowEvent* event) override;
};

// Limits what the user can type into `edit` to `max` characters. Unlike
// QLineEdit::setMaxLength, a longer text set by the program is kept whole, so
// a stored value is never cut by showing it.
void LimitLength(QLineEdit* edit, int max);

// The ISO 8859-1 bytes of `text`; false when a character lies outside it.
bool ToLatin1(const QString& text, std::string& out);

} // namespace ui
