#include "TFormEditLnb.h"

#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using dbase::SatField;

namespace {

QComboBox* List(const QString& name, QWidget* parent, bool editable = false) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(editable);
    c->setMaxVisibleItems(17);
    return c;
}

void Fill(QComboBox* c, const std::vector<std::string>& items) {
    const QSignalBlocker block(c);
    c->clear();
    for (const std::string& s : items) c->addItem(QString::fromStdString(s));
}

} // namespace

TFormEditLnb::TFormEditLnb(const dbase::Database& db, QWidget* parent) : ui::EditorDialog(parent), db_(db) {
    setObjectName(QStringLiteral("FormEditLnb"));
    setWindowTitle(QStringLiteral("Edit Satellites"));
    setFont(ui::ArialPx(12));

    auto* fields = new QGroupBox(this);
    auto* form = new QFormLayout(fields);
    Edit_Name = new QLineEdit(fields);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    ui::LimitLength(Edit_Name, 18);
    CB_Type = List(QStringLiteral("CB_Type"), fields);
    CB_Low = List(QStringLiteral("CB_Low"), fields, true);
    CB_High = List(QStringLiteral("CB_High"), fields, true);
    // Typed texts never join the presets.
    CB_Low->setInsertPolicy(QComboBox::NoInsert);
    CB_High->setInsertPolicy(QComboBox::NoInsert);
    CB_22K = List(QStringLiteral("CB_22K"), fields);
    CB_12V = List(QStringLiteral("CB_12V"), fields);
    CB_Dis = List(QStringLiteral("CB_Dis"), fields);
    ComboBox1 = List(QStringLiteral("ComboBox1"), fields);
    CB_Pow = List(QStringLiteral("CB_Pow"), fields);
    Edit_Lon = new QLineEdit(fields);
    Edit_Lon->setObjectName(QStringLiteral("Edit_Lon"));
    Label_MOTOR = new QLabel(fields);
    Label_MOTOR->setObjectName(QStringLiteral("Label_MOTOR"));
    form->addRow(QStringLiteral("Name"), Edit_Name);
    form->addRow(QStringLiteral("Type"), CB_Type);
    form->addRow(QStringLiteral("LNB Frequency"), CB_Low);
    form->addRow(QStringLiteral("High Freq"), CB_High);
    form->addRow(QStringLiteral("22kHZ"), CB_22K);
    form->addRow(QStringLiteral("12V"), CB_12V);
    form->addRow(QStringLiteral("DiSEqC 1.0"), CB_Dis);
    form->addRow(QStringLiteral("DiSEqC 1.1"), ComboBox1);
    form->addRow(QStringLiteral("LNB Power"), CB_Pow);
    form->addRow(QStringLiteral("Longitude"), Edit_Lon);
    // The motor flag is shown, not edited, in a collapsed group.
    auto* motor = new QGroupBox(fields);
    motor->setMaximumHeight(5);
    auto* motorLayout = new QVBoxLayout(motor);
    motorLayout->setContentsMargins(0, 0, 0, 0);
    motorLayout->addWidget(Label_MOTOR);
    form->addRow(motor);

    auto* info = new QGroupBox(QStringLiteral("Information (Min --> Max)"), this);
    info->setEnabled(false);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(new QLabel(QStringLiteral("Frequency: (2000..12750)Symbolrate: (2000..45000)"), info));
    infoLayout->addWidget(new QLabel(QStringLiteral("Longitude: (0..360)         Low and High: (0..30000) "), info));

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(fields);
    lay->addWidget(info);
    lay->addWidget(ButtonRow());
    setFixedSize(sizeHint());

    connect(CB_Type, &QComboBox::activated, this, [this] { CB_TypeChange(); });
    connect(CB_Low, &QComboBox::currentTextChanged, this, [this] {
        if (!updating_) CB_LowChange();
    });
}

void TFormEditLnb::SetOscillators(const std::string& low, const std::string& high) {
    updating_ = true;
    // A field that already reads its text is left alone, so typing in the
    // low field keeps its cursor where it is.
    for (const auto& [box, text] : {std::pair{CB_Low, &low}, std::pair{CB_High, &high}}) {
        const QString t = QString::fromStdString(*text);
        if (box->currentText() != t) box->setEditText(t);
    }
    updating_ = false;
}

void TFormEditLnb::Setting_CBType() {
    const dbase::LnbLists lists = dbase::LnbTypeLists(CB_Type->currentIndex());
    updating_ = true;
    const QString low = CB_Low->currentText();
    Fill(CB_Low, lists.lowItems);
    CB_Low->setEditText(low);
    updating_ = false;
    CB_Low->setEnabled(lists.lowEnabled);
    Fill(CB_22K, lists.toneItems);
    CB_22K->setCurrentIndex(-1);
    CB_22K->setEnabled(lists.toneEnabled);
}

void TFormEditLnb::FormShow() {
    EditAccepted = false;
    Fill(CB_Type, dbase::LnbTypeItems());
    const dbase::SatView view = dbase::ShowSatellite(db_, SatSlot);
    const dbase::SatInput& in = view.input;
    Edit_Name->setText(ui::FromLatin1(in.name));
    Edit_Lon->setText(QString::fromStdString(in.longitude));
    CB_Type->setCurrentIndex(in.type);
    Setting_CBType();
    CB_High->setEnabled(false);
    Fill(CB_12V, dbase::Power12VItems());
    CB_12V->setEnabled(false);
    Fill(CB_Dis, dbase::Diseqc10Items());
    Fill(ComboBox1, dbase::Diseqc11Items());
    Fill(CB_Pow, dbase::LnbPowerItems());
    for (QComboBox* c : {CB_Dis, ComboBox1, CB_Pow}) c->setEnabled(true);
    SetOscillators(in.low, in.high);
    CB_Pow->setCurrentIndex(in.power);
    ComboBox1->setCurrentIndex(in.diseqc11);
    CB_Dis->setCurrentIndex(in.diseqc10);
    Label_MOTOR->setText(QString::fromStdString(view.motorText));
    CB_12V->setCurrentIndex(in.power12v);
    // The 22 kHz list: a stored "Auto" is the only item, shown and fixed.
    Fill(CB_22K, view.lists.toneItems);
    CB_22K->setEnabled(view.lists.toneEnabled);
    CB_22K->setCurrentIndex(in.tone22k == 2 ? 0 : in.tone22k);
    if (!view.warning.empty())
        AfterDrawn([this, text = QString::fromStdString(view.warning)] { ui::MessageBox::plain(this, text); });
}

void TFormEditLnb::CB_TypeChange() {
    Setting_CBType();
    const dbase::LnbPreset p = dbase::LnbTypePreset(db_.Sat.data[SatSlot], CB_Type->currentIndex());
    SetOscillators(p.low, p.high);
    if (p.tone22k >= 0) CB_22K->setCurrentIndex(p.tone22k);
}

void TFormEditLnb::CB_LowChange() {
    const dbase::LnbPreset p = dbase::LnbLowChange(CB_Type->currentIndex(), CB_Low->currentText().toStdString(),
                                                   CB_High->currentText().toStdString());
    SetOscillators(p.low, p.high);
}

void TFormEditLnb::SB_OKClick() {
    dbase::SatInput in;
    if (!ui::ToLatin1(Edit_Name->text(), in.name)) {
        Refuse(Edit_Name, dbase::msg::IllegalData, false);
        return;
    }
    in.type = CB_Type->currentIndex();
    in.low = CB_Low->currentText().toStdString();
    in.high = CB_High->currentText().toStdString();
    in.tone22k = dbase::Tone22kValue(CB_22K->currentText().toStdString());
    in.power12v = CB_12V->currentIndex();
    in.diseqc10 = CB_Dis->currentIndex();
    in.diseqc11 = ComboBox1->currentIndex();
    in.power = CB_Pow->currentIndex();
    in.longitude = Edit_Lon->text().toStdString();
    dbase::SatValues values;
    const auto refusal = dbase::CheckSatellite(in, values);
    SetOscillators(in.low, in.high); // a Universal LNB's low field reads 9750 from now on
    if (refusal) {
        QWidget* fields[] = {Edit_Name, CB_Low, CB_High, Edit_Lon};
        Refuse(fields[static_cast<int>(refusal->field)], refusal->message, refusal->clear);
        return;
    }
    Values = values;
    EditAccepted = true;
    accept();
}
