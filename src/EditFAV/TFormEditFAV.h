// The favourite group name dialog.
#pragma once

#include "ui/EditorDialog.h"

#include "model/Model.h"

#include <string>

class QLineEdit;

class TFormEditFAV : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditFAV(const dbase::Database& db, QWidget* parent = nullptr);

    int Group = 0;        // 0..15, set by the opener
    bool Renamed = false; // outcome: OK accepted the name
    std::string Name;     // the accepted name (ISO 8859-1), for the opener to store

    QLineEdit* Edit_Name;

public slots:
    void FormShow() override;
    void SB_OKClick() override;

private:
    const dbase::Database& db_;
};
