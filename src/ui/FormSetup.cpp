#include "FormSetup.h"

#include <QApplication>
#include <QWidget>

namespace ui {

namespace {
constexpr const char* kScaledProperty = "orbitlistScaled";
constexpr const char* kOverlayProperty = "orbitlistOverlay";
} // namespace

void ApplyFormScaling(QWidget* form) {
    if (form) form->setProperty(kScaledProperty, true);
}

bool IsFormScaled(const QWidget* form) {
    return form && form->property(kScaledProperty).toBool();
}

QFont ArialPx(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QColor FromColorRef(unsigned ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString MessageText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString MessageText(const std::string& text) {
    return MessageText(QString::fromStdString(text));
}

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
