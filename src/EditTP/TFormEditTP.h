// The transponder editor: changes a transponder's frequency, symbol rate,
// polarisation and FEC, or fills in a new transponder.
#pragma once

#include "ui/EditorDialog.h"

#include "dbase/Model.h"

class QComboBox;
class QLineEdit;

class TFormEditTP : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditTP(dbase::Database& db, QWidget* parent = nullptr);

    // Set by the opener. When adding, TpSlot receives the slot the new
    // transponder took.
    int TpSlot = 0;
    int SatSlot = 0; // adding only: the satellite the transponder joins
    bool AddTpMode = false;
    // Outcome: OK completed (add or change).
    bool EditAccepted = false;

    QLineEdit *Edit_Fre, *Edit_Sym;
    QComboBox *CB_Pol, *CB_FEC;

public slots:
    void FormShow() override;
    void SB_OKClick() override;
    void SB_CancelClick() override;

private:
    dbase::Database& db_;
};
