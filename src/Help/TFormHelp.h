// The built-in guide: the editor's main tasks, one short section each, in a
// window of its own that can stay open beside the main window.
#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

class TFormHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFormHelp(QWidget* parent = nullptr);

    // Shows the guide beside `parent`, or brings the one already open to the
    // front; returns it. The window frees itself when closed.
    static TFormHelp* ShowGuide(QWidget* parent);

    // The guide's sections as HTML.
    static QString GuideHtml();

    QTextBrowser* Text_Guide = nullptr;
    QPushButton* SB_Close = nullptr;
};
