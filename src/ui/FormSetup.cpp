#include "FormSetup.h"

#include <QFile>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace ui {

namespace {
constexpr const char* kScaledProperty = "orbitlistScaled";
constexpr const char* kOverlayProperty = "orbitlistOverlay";

QString& Title() {
    static QString title;
    return title;
}

// Gives windows and dialogs without a caption the application's name on
// screen; their own windowTitle() stays empty.
class UntitledWindows : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog) && w->windowTitle().isEmpty() &&
                w->windowHandle())
                w->windowHandle()->setTitle(Title());
        }
        return false;
    }
};
} // namespace

void SetApplicationTitle(const QString& title) {
    Title() = title;
    static UntitledWindows* filter = nullptr;
    if (!filter && qApp) {
        filter = new UntitledWindows(qApp);
        qApp->installEventFilter(filter);
    }
}

QString ApplicationTitle() { return Title().isEmpty() ? QCoreApplication::applicationName() : Title(); }

void ApplyFormScaling(QWidget* form) {
    if (form) form->setProperty(kScaledProperty, true);
}

bool IsFormScaled(const QWidget* form) { return form && form->property(kScaledProperty).toBool(); }

QFont ArialPx(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QColor FromColorRef(unsigned ref) { return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF); }

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString MessageText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString MessageText(const std::string& text) { return MessageText(QString::fromStdString(text)); }

void MarkAsOverlay(QWidget* form) {
    if (form) form->setProperty(kOverlayProperty, true);
}

bool HideOverlays() {
    bool any = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->property(kOverlayProperty).toBool()) {
            w->hide();
            any = true;
        }
    }
    return any;
}

bool OverlayVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->property(kOverlayProperty).toBool()) return true;
    return false;
}

} // namespace ui
