// Set-up shared by every form: scaling, fonts, texts and the marking of
// waiting forms, which a message box must never sit behind.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <string>

class QWidget;

namespace ui {

// The common set-up every dialog and the main window run when they are made:
// the form follows the screen's pixel density. Qt 6 always scales widgets by
// the device pixel ratio, so this only records that the form is scaled.
void ApplyFormScaling(QWidget* form);
// True once ApplyFormScaling ran on `form`.
bool IsFormScaled(const QWidget* form);

// The application's name. Every window shows exactly its own caption, and a
// window without a caption shows this name alone; plain message boxes carry
// it as their title. Qt's habit of appending the application's display name
// to every window title is left off.
void SetApplicationTitle(const QString& title);
// The name set above; the application name when none was set.
QString ApplicationTitle();

// Arial (or its metric twin) at a size in pixels.
QFont ArialPx(int pixels, bool bold = false);

// A colour from the Windows colour number form (0x00BBGGRR).
QColor FromColorRef(unsigned ref);

// Model texts hold ISO 8859-1 bytes.
QString FromLatin1(const std::string& text);
// A path as the file functions of the core take it (the local 8-bit form).
std::string NativePath(const QString& path);
// A message of the system: "\r" is a line break.
QString MessageText(const std::string& text);
QString MessageText(const QString& text);

// Marks `form` as a waiting form: message boxes hide it before they appear.
void MarkAsOverlay(QWidget* form);
// Hides every visible waiting form; returns true when one was visible.
bool HideOverlays();
// True when a waiting form is visible.
bool OverlayVisible();

} // namespace ui
