// The satellite editor: name, orbital position, LNB type and oscillators,
// 22 kHz tone, LNB power and the DiSEqC 1.0 and 1.1 ports of one satellite.
#pragma once

#include "ui/EditorDialog.h"

#include "editing/EditorFields.h"
#include "model/Model.h"

class QComboBox;
class QLabel;
class QLineEdit;

class TFormEditLnb : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditLnb(const dbase::Database& db, QWidget* parent = nullptr);

    int SatSlot = 0;           // set by the opener
    bool EditAccepted = false; // outcome, with the checked values for the opener
    dbase::SatValues Values;

    QLineEdit* Edit_Name;
    QComboBox *CB_Type, *CB_Low, *CB_High, *CB_22K, *CB_12V, *CB_Dis, *ComboBox1, *CB_Pow;
    QLineEdit* Edit_Lon;
    QLabel* Label_MOTOR;

    // Refills the lists that depend on the LNB type.
    void Setting_CBType();

public slots:
    void FormShow() override;
    void SB_OKClick() override;
    void CB_TypeChange();
    void CB_LowChange();

private:
    void SetOscillators(const std::string& low, const std::string& high);

    const dbase::Database& db_;
    bool updating_ = false; // set while the dialog itself changes the low field
};
