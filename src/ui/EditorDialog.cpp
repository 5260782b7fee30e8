#include "EditorDialog.h"

#include "FormSetup.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include <utility>

namespace ui {

namespace {

class LengthValidator : public QValidator {
public:
    LengthValidator(int max, QObject* parent) : QValidator(parent), max_(max) {}
    State validate(QString& input, int&) const override { return input.size() <= max_ ? Acceptable : Invalid; }

private:
    int max_;
};

QToolButton* FlatButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setFont(ArialPx(14, true));
    b->setMinimumSize(75, 25);
    return b;
}

} // namespace

EditorDialog::EditorDialog(QWidget* parent) : QDialog(parent) {
    // No border icons: the dialog is left through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    SB_OK = FlatButton(QStringLiteral("OK"), QStringLiteral("SB_OK"), this);
    SB_Cancel = FlatButton(QStringLiteral("Cancel"), QStringLiteral("SB_Cancel"), this);
    Bu_OK = new QPushButton(this);
    Bu_OK->setObjectName(QStringLiteral("Bu_OK"));
    Bu_OK->setDefault(true);
    Bu_OK->setAutoDefault(true);
    Bu_OK->setGeometry(0, 0, 1, 1);
    Bu_OK->setFlat(true);
    Bu_OK->setFocusPolicy(Qt::NoFocus);
    connect(SB_OK, &QToolButton::clicked, this, [this] { SB_OKClick(); });
    connect(Bu_OK, &QPushButton::clicked, this, [this] { SB_OKClick(); });
    connect(SB_Cancel, &QToolButton::clicked, this, [this] { SB_CancelClick(); });
    ApplyFormScaling(this);
}

void EditorDialog::SB_CancelClick() { reject(); }

QWidget* EditorDialog::ButtonRow() {
    auto* row = new QWidget(this);
    auto* lay = new QHBoxLayout(row);
    lay->setContentsMargins(0, 4, 0, 0);
    lay->addStretch(1);
    lay->addWidget(SB_OK);
    lay->addSpacing(20);
    lay->addWidget(SB_Cancel);
    lay->addStretch(1);
    return row;
}

void EditorDialog::Refuse(QWidget* field, const std::string& message, bool clear) {
    MessageBox::error(this, QString::fromStdString(message));
    if (clear) {
        if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->clear();
        if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->isEditable()) combo->setEditText({});
    }
    if (field) field->setFocus();
}

void EditorDialog::AfterDrawn(std::function<void()> fn) { afterDrawn_.push_back(std::move(fn)); }

void EditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
    ButtonsLastInTabOrder();
    FocusFirstField();
}

namespace {

// A widget Tab stops at (when it is enabled).
bool TabStop(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy(); }

} // namespace

void EditorDialog::ButtonsLastInTabOrder() {
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (w != SB_OK && w != SB_Cancel && TabStop(w)) last = w;
    if (!last) return;
    setTabOrder(last, SB_OK);
    setTabOrder(SB_OK, SB_Cancel);
}

void EditorDialog::FocusFirstField() {
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!TabStop(w) || !w->isEnabled() || !w->isVisibleTo(this)) continue;
        QLineEdit* edit = qobject_cast<QLineEdit*>(w);
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) edit = combo->lineEdit();
        if (!edit || edit->isReadOnly()) continue;
        w->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        return;
    }
}

void EditorDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && SB_Cancel->hasFocus()) {
        SB_Cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool EditorDialog::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !afterDrawn_.empty()) {
        // Run after this paint has reached the screen.
        QTimer::singleShot(0, this, [pending = std::exchange(afterDrawn_, {})] {
            for (const auto& fn : pending) fn();
        });
    }
    return QDialog::event(event);
}

void LimitLength(QLineEdit* edit, int max) { edit->setValidator(new LengthValidator(max, edit)); }

bool ToLatin1(const QString& text, std::string& out) {
    out.clear();
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) return false;
        out.push_back(static_cast<char>(c.unicode()));
    }
    return true;
}

} // namespace ui
