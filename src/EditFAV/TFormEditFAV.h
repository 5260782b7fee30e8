// The favourite group name dialog.
#pragma once

#include "ui/EditorDialog.h"

#include "dbase/Model.h"

class QLineEdit;

class TFormEditFAV : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditFAV(dbase::Database& db, QWidget* parent = nullptr);

    int Group = 0;         // 0..15, set by the opener
    bool Renamed = false;  // outcome: OK stored the name

    QLineEdit* Edit_Name;

public slots:
    void FormShow() override;
    void SB_OKClick() override;

private:
    dbase::Database& db_;
};
