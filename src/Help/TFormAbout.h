// The about box: the program's name, its version from the build, what it is
// and its licence.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    // Opens the about box over `parent` (modal to it, without blocking the
    // caller); it frees itself when closed. Returns it.
    static TFormAbout* ShowAbout(QWidget* parent);

    QLabel* Image_Icon = nullptr;
    QLabel* Label_Name = nullptr;
    QLabel* Label_Version = nullptr;
    QLabel* Label_What = nullptr;
    QLabel* Label_Licence = nullptr;
    QPushButton* SB_OK = nullptr;
};
