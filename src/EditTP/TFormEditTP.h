// The transponder editor: changes a transponder's frequency, symbol rate,
// polarisation and FEC, or fills in a new transponder.
#pragma once

#include "ui/EditorDialog.h"

#include "editing/EditorFields.h"
#include "model/Model.h"

class QComboBox;
class QLineEdit;

class TFormEditTP : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditTP(const dbase::Database& db, QWidget* parent = nullptr);

    // Set by the opener. When adding, TpSlot is the slot the new transponder
    // will take.
    int TpSlot = 0;
    int SatSlot = 0; // adding only: the satellite the transponder joins
    bool AddTpMode = false;
    // Outcome: OK completed (add or change), with the checked values for the
    // opener to apply.
    bool EditAccepted = false;
    dbase::TpValues Values;

    QLineEdit *Edit_Fre, *Edit_Sym;
    QComboBox *CB_Pol, *CB_FEC;

public slots:
    void FormShow() override;
    void SB_OKClick() override;
    void SB_CancelClick() override;

private:
    const dbase::Database& db_;
};
