// The one way the program asks for a file name. Tests preset the next answer
// with setNextFileName(); with interaction switched off an unanswered dialog
// is cancelled and nothing is shown.
#pragma once

#include <QString>

class QWidget;

namespace ui {

class FileDialog {
public:
    // Asks for an existing file to open; returns an empty text when cancelled.
    // `filter` uses the "Description|pattern|Description|pattern" form.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                   const QString& defaultSuffix);
    // Asks for a file to save to. The dialog does not ask about overwriting:
    // callers ask their own question.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                   const QString& defaultSuffix);

    // The name the next dialog returns without being shown (one dialog only);
    // an empty name answers as a cancelled dialog.
    static void setNextFileName(const QString& name);
    // Drops an answer no dialog has taken.
    static void clearNextFileName();
    static void setInteractive(bool interactive);

    // What the last dialog was asked to show.
    struct Request {
        bool save = false;
        QString caption, filter, defaultSuffix;
    };
    static const Request& lastRequest();

    // Turns "Description|pattern|..." into Qt's "Description (pattern);;..." form.
    static QString qtFilter(const QString& filter);
};

} // namespace ui
