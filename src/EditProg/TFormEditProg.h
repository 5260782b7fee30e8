// The program editor: changes one TV or radio program, or fills in a new one.
#pragma once

#include "ui/EditorDialog.h"

#include "editing/EditorFields.h"
#include "model/Model.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

class TFormEditProg : public ui::EditorDialog {
    Q_OBJECT
public:
    TFormEditProg(const dbase::Database& db, QWidget* parent = nullptr);

    // Set by the opener.
    int ProgSlot = 0;       // the program changed, or the slot an add fills
    int TpSlot = 0;         // the program's transponder
    bool AddTvMode = false; // the dialog adds a TV program
    bool AddRadioMode = false;
    // Found at show time: the audio slot whose PID is shown, or 0.
    int AudioSlot = 0;
    // Outcome: the checked values, for the opener to apply.
    bool EditAccepted = false;
    bool TvAdded = false, RadioAdded = false;
    dbase::ProgValues Values;

    QLineEdit *Edit_Name, *Edit_Vid, *Edit_Pvt, *Edit_Aud, *Edit_Pmt, *Edit_PCR, *Edit_SID;
    QCheckBox *ChB_Lock, *ChB_Ski;
    std::array<QCheckBox*, dbase::kFavGroups> ChB_Fav{};
    std::array<QLineEdit*, 4> Edit_CA{};
    QGroupBox* Panel_TP;
    QComboBox *CB_Pol, *CB_FEC;
    QLineEdit *Edit_Fre, *Edit_Sym;

public slots:
    void FormShow() override;
    void SB_OKClick() override;
    void SB_CancelClick() override;

protected:
    void done(int result) override; // FormClose

private:
    const dbase::Database& db_;
};
