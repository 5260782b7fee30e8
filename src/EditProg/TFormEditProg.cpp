#include "TFormEditProg.h"

#include "editing/Entries.h"

#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "format/Image.h"
#include "ui/FormSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using dbase::ProgField;

namespace {

constexpr unsigned kGrey = 0xDDDDDD; // 0x00BBGGRR form

QLineEdit* Field(const QString& name, int max, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    ui::LimitLength(e, max);
    return e;
}

void Paint(QLineEdit* e, bool grey) {
    QPalette p = e->palette();
    p.setColor(QPalette::Base, grey ? ui::FromColorRef(kGrey) : QApplication::palette().color(QPalette::Base));
    e->setPalette(p);
    e->setAutoFillBackground(true);
}

} // namespace

TFormEditProg::TFormEditProg(const dbase::Database& db, QWidget* parent) : ui::EditorDialog(parent), db_(db) {
    setObjectName(QStringLiteral("FormEditProg"));
    setWindowTitle(QStringLiteral("Change channel data"));
    setFont(ui::ArialPx(12));

    auto* pids = new QGroupBox(this);
    auto* pidForm = new QFormLayout(pids);
    Edit_Name = Field(QStringLiteral("Edit_Name"), 15, pids);
    Edit_Vid = Field(QStringLiteral("Edit_Vid"), 4, pids);
    Edit_Pvt = Field(QStringLiteral("Edit_Pvt"), 4, pids);
    Edit_Aud = Field(QStringLiteral("Edit_Aud"), 4, pids);
    Edit_Pmt = Field(QStringLiteral("Edit_Pmt"), 4, pids);
    Edit_PCR = Field(QStringLiteral("Edit_PCR"), 4, pids);
    Edit_SID = Field(QStringLiteral("Edit_SID"), 4, pids);
    pidForm->addRow(QStringLiteral("Name"), Edit_Name);
    pidForm->addRow(QStringLiteral("Vid PID"), Edit_Vid);
    pidForm->addRow(QStringLiteral("Pvt PID"), Edit_Pvt);
    pidForm->addRow(QStringLiteral("Aud PID"), Edit_Aud);
    pidForm->addRow(QStringLiteral("Pmt PID"), Edit_Pmt);
    pidForm->addRow(QStringLiteral("Pcr PID"), Edit_PCR);
    pidForm->addRow(QStringLiteral("Service ID"), Edit_SID);
    ChB_Lock = new QCheckBox(QStringLiteral("Locked"), pids);
    ChB_Lock->setObjectName(QStringLiteral("ChB_Lock"));
    ChB_Ski = new QCheckBox(QStringLiteral("Skipped"), pids);
    ChB_Ski->setObjectName(QStringLiteral("ChB_Ski"));
    auto* marks = new QHBoxLayout;
    marks->addWidget(ChB_Lock);
    marks->addWidget(ChB_Ski);
    pidForm->addRow(marks);

    auto* fav = new QGroupBox(QStringLiteral("FAV"), this);
    auto* favGrid = new QGridLayout(fav);
    for (int k = 0; k < dbase::kFavGroups; ++k) {
        ChB_Fav[k] = new QCheckBox(fav);
        ChB_Fav[k]->setObjectName(QStringLiteral("ChB_Fav%1").arg(k + 1));
        favGrid->addWidget(ChB_Fav[k], k / 2, k % 2);
    }

    auto* ca = new QGroupBox(QStringLiteral("CA System"), this);
    auto* caLayout = new QVBoxLayout(ca);
    for (int k = 0; k < 4; ++k) {
        Edit_CA[k] = Field(QStringLiteral("Edit_CA%1").arg(k), 15, ca);
        Edit_CA[k]->setReadOnly(true);
        caLayout->addWidget(Edit_CA[k]);
    }

    Panel_TP = new QGroupBox(this);
    Panel_TP->setObjectName(QStringLiteral("Panel_TP"));
    Panel_TP->setAutoFillBackground(true);
    QPalette greyPanel = Panel_TP->palette();
    greyPanel.setColor(QPalette::Window, ui::FromColorRef(kGrey));
    Panel_TP->setPalette(greyPanel);
    auto* tpForm = new QFormLayout(Panel_TP);
    CB_Pol = new QComboBox(Panel_TP);
    CB_Pol->setObjectName(QStringLiteral("CB_Pol"));
    CB_Pol->addItems({QStringLiteral("Hor"), QStringLiteral("Vert")});
    Edit_Fre = Field(QStringLiteral("Edit_Fre"), 5, Panel_TP);
    CB_FEC = new QComboBox(Panel_TP);
    CB_FEC->setObjectName(QStringLiteral("CB_FEC"));
    for (int f = 0; f <= 6; ++f) CB_FEC->addItem(QString::fromLatin1(dbase::FecName(f)));
    Edit_Sym = Field(QStringLiteral("Edit_Sym"), 5, Panel_TP);
    tpForm->addRow(QStringLiteral("Polarity"), CB_Pol);
    tpForm->addRow(QStringLiteral("Frequency"), Edit_Fre);
    tpForm->addRow(QStringLiteral("FEC"), CB_FEC);
    tpForm->addRow(QStringLiteral("Symbolrate"), Edit_Sym);

    auto* info = new QGroupBox(QStringLiteral("Information"), this);
    info->setEnabled(false);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(new QLabel(QStringLiteral("Frequency :  (area:2000 --> 12750)"), info));
    infoLayout->addWidget(new QLabel(QStringLiteral("Symbolrate: (area:2000 --> 45000)"), info));
    infoLayout->addWidget(new QLabel(QStringLiteral("All PID         : (area:0 --> 8191)"), info));

    auto* grid = new QGridLayout(this);
    grid->addWidget(pids, 0, 0, 2, 1);
    grid->addWidget(fav, 0, 1);
    grid->addWidget(ca, 1, 1);
    grid->addWidget(Panel_TP, 0, 2);
    grid->addWidget(info, 1, 2);
    grid->addWidget(ButtonRow(), 2, 0, 1, 3);
    setFixedSize(sizeHint());
    AudioSlot = 0;
}

void TFormEditProg::FormShow() {
    EditAccepted = false;
    for (QLineEdit* e : Edit_CA) e->clear();
    for (int k = 1; k < 4; ++k) Paint(Edit_CA[k], true);
    Paint(Edit_CA[0], false);
    Edit_CA[0]->setText(QString::fromLatin1(dbase::msg::ProgramIsFree));
    for (int k = 0; k < dbase::kFavGroups; ++k) ChB_Fav[k]->setText(ui::FromLatin1(db_.FavNames[k]));

    if (TpSlot >= 0 && TpSlot < dbase::kTpSlots) {
        const dbase::TpData& tp = db_.Tp.data[TpSlot];
        Edit_Fre->setText(QString::fromStdString(tp.Freq));
        Edit_Sym->setText(QString::fromStdString(tp.SymRate));
        CB_Pol->setCurrentIndex(tp.Pol <= 1 ? tp.Pol : -1);
        CB_FEC->setCurrentIndex(tp.Fec <= 6 ? tp.Fec : -1);
    }
    Panel_TP->setEnabled(false);
    Edit_Pvt->setEnabled(false);
    Edit_Pmt->setEnabled(false);
    Edit_SID->setEnabled(false);

    if (AddTvMode || AddRadioMode) {
        setWindowTitle(QStringLiteral("Addition channel data"));
        for (QLineEdit* e : {Edit_Name, Edit_PCR, Edit_Vid, Edit_Aud}) e->clear();
        ChB_Lock->setChecked(false);
        ChB_Ski->setChecked(false);
        for (QCheckBox* b : ChB_Fav) b->setChecked(false);
        return;
    }

    setWindowTitle(QStringLiteral("Change channel data"));
    const dbase::ProgInput in = dbase::ShowProgram(db_, ProgSlot);
    Edit_Name->setText(ui::FromLatin1(in.name));
    Edit_PCR->setText(QString::fromStdString(in.pcr));
    Edit_Pvt->setText(QString::fromStdString(in.pvt));
    Edit_Pmt->setText(QString::fromStdString(in.pmt));
    Edit_Vid->setText(QString::fromStdString(in.vid));
    Edit_SID->setText(QString::fromStdString(in.sid));
    Edit_Aud->setText(QString::fromStdString(in.aud));
    const int audio = dbase::ProgramAudioSlot(db_, ProgSlot);
    AudioSlot = audio >= 0 ? audio : 0;

    const auto ca = dbase::CaFields(db_.Prog.data[ProgSlot]);
    for (int k = 0; k < 4; ++k) {
        Edit_CA[k]->setText(ui::FromLatin1(ca[k].text));
        if (k > 0) Paint(Edit_CA[k], ca[k].grey);
    }
    ChB_Lock->setChecked(in.lock);
    ChB_Ski->setChecked(in.skip);
    for (int k = 0; k < dbase::kFavGroups; ++k) ChB_Fav[k]->setChecked((in.fav >> k) & 1);
}

void TFormEditProg::SB_OKClick() {
    dbase::ProgInput in;
    if (!Edit_Name->text().isEmpty() && !ui::ToLatin1(Edit_Name->text(), in.name)) {
        Refuse(Edit_Name, dbase::msg::IllegalData, false);
        return;
    }
    in.vid = Edit_Vid->text().toStdString();
    in.pvt = Edit_Pvt->text().toStdString();
    in.aud = Edit_Aud->text().toStdString();
    in.pmt = Edit_Pmt->text().toStdString();
    in.pcr = Edit_PCR->text().toStdString();
    in.sid = Edit_SID->text().toStdString();
    in.lock = ChB_Lock->isChecked();
    in.skip = ChB_Ski->isChecked();
    for (int k = 0; k < dbase::kFavGroups; ++k)
        if (ChB_Fav[k]->isChecked()) in.fav |= static_cast<uint16_t>(1u << k);

    dbase::ProgValues values;
    const auto refusal = dbase::CheckProgram(in, values);
    // The check fills empty Pvt, Pmt and Service ID fields silently.
    Edit_Pvt->setText(QString::fromStdString(in.pvt));
    Edit_Pmt->setText(QString::fromStdString(in.pmt));
    Edit_SID->setText(QString::fromStdString(in.sid));
    if (refusal) {
        QLineEdit* fields[] = {Edit_Name, Edit_Vid, Edit_Pvt, Edit_Aud, Edit_Pmt, Edit_PCR, Edit_SID};
        Refuse(fields[static_cast<int>(refusal->field)], refusal->message, refusal->clear);
        return;
    }

    if (AddTvMode || AddRadioMode) {
        // The checks the add makes, before the dialog closes.
        dbase::Status s = dbase::CheckTpSlot(db_, TpSlot);
        if (s) s = dbase::CheckAddProgram(db_, TpSlot);
        if (!s) {
            Refuse(nullptr, s.message(), false);
            return;
        }
        ProgSlot = db_.ProgCount;
        (AddRadioMode ? RadioAdded : TvAdded) = true;
    } else {
        EditAccepted = true;
    }
    Values = values;
    accept();
}

void TFormEditProg::SB_CancelClick() {
    AddTvMode = TvAdded = AddRadioMode = RadioAdded = false;
    reject();
}

void TFormEditProg::done(int result) {
    AddTvMode = AddRadioMode = false;
    ui::EditorDialog::done(result);
}
