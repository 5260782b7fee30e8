#include "TFormEditTP.h"

#include "editing/Entries.h"

#include "editing/EditorFields.h"
#include "format/Image.h"
#include "ui/FormSetup.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFormEditTP::TFormEditTP(const dbase::Database& db, QWidget* parent) : ui::EditorDialog(parent), db_(db) {
    setObjectName(QStringLiteral("FormEditTP"));
    setWindowTitle(QStringLiteral("Change transponder data"));
    setFont(ui::ArialPx(12));

    auto* fields = new QGroupBox(this);
    auto* form = new QFormLayout(fields);
    Edit_Fre = new QLineEdit(fields);
    Edit_Fre->setObjectName(QStringLiteral("Edit_Fre"));
    ui::LimitLength(Edit_Fre, 5);
    CB_Pol = new QComboBox(fields);
    CB_Pol->setObjectName(QStringLiteral("CB_Pol"));
    CB_Pol->addItems({QStringLiteral("Hor"), QStringLiteral("Vert")});
    Edit_Sym = new QLineEdit(fields);
    Edit_Sym->setObjectName(QStringLiteral("Edit_Sym"));
    ui::LimitLength(Edit_Sym, 5);
    CB_FEC = new QComboBox(fields);
    CB_FEC->setObjectName(QStringLiteral("CB_FEC"));
    for (int f = 0; f <= 6; ++f) CB_FEC->addItem(QString::fromLatin1(dbase::FecName(f)));
    form->addRow(QStringLiteral("Frequency"), Edit_Fre);
    form->addRow(QStringLiteral("Polarity"), CB_Pol);
    form->addRow(QStringLiteral("Symbolrate"), Edit_Sym);
    form->addRow(QStringLiteral("FEC"), CB_FEC);

    auto* info = new QGroupBox(QStringLiteral("Information"), this);
    info->setEnabled(false);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(new QLabel(QStringLiteral("Frequency:[Min -> Max](1000 - -> 12750)"), info));
    infoLayout->addWidget(new QLabel(QStringLiteral("Symbolrate[Min -> Max](1000 - -> 45000)"), info));

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(fields);
    lay->addWidget(info);
    lay->addWidget(ButtonRow());
    setFixedSize(sizeHint());
}

void TFormEditTP::FormShow() {
    EditAccepted = false;
    setWindowTitle(AddTpMode ? QStringLiteral("Addition transponder data") : QStringLiteral("Change transponder data"));
    CB_Pol->setEnabled(dbase::TpPolarityEnabled(db_, TpSlot, AddTpMode));
    if (AddTpMode) {
        Edit_Fre->clear();
        Edit_Sym->clear();
        CB_Pol->setCurrentIndex(0);
        CB_FEC->setCurrentIndex(0);
        return;
    }
    const dbase::TpInput in = dbase::ShowTransponder(db_, TpSlot);
    Edit_Fre->setText(QString::fromStdString(in.freq));
    Edit_Sym->setText(QString::fromStdString(in.sym));
    CB_FEC->setCurrentIndex(in.fec);
    CB_Pol->setCurrentIndex(in.pol);
}

void TFormEditTP::SB_OKClick() {
    dbase::TpInput in;
    in.freq = Edit_Fre->text().toStdString();
    in.sym = Edit_Sym->text().toStdString();
    in.pol = CB_Pol->currentIndex();
    in.fec = CB_FEC->currentIndex();
    dbase::TpValues values;
    if (const auto refusal = dbase::CheckTransponder(in, values)) {
        QWidget* fields[] = {Edit_Fre, Edit_Sym, CB_FEC, CB_Pol};
        Refuse(fields[static_cast<int>(refusal->field)], refusal->message, refusal->clear);
        return;
    }
    if (AddTpMode) {
        // The checks the add makes, before the dialog closes.
        dbase::Status s = dbase::CheckSatSlot(db_, SatSlot);
        if (s) s = dbase::CheckAddTransponder(db_, SatSlot);
        if (!s) {
            Refuse(nullptr, s.message(), false);
            return;
        }
        TpSlot = dbase::FirstFreeTpSlot(db_);
        AddTpMode = false;
    }
    Values = values;
    EditAccepted = true;
    accept();
}

void TFormEditTP::SB_CancelClick() {
    AddTpMode = false;
    reject();
}
