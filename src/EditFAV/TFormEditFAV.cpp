#include "TFormEditFAV.h"

#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "ui/FormSetup.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

TFormEditFAV::TFormEditFAV(const dbase::Database& db, QWidget* parent) : ui::EditorDialog(parent), db_(db) {
    setObjectName(QStringLiteral("FormEditFAV"));
    setWindowTitle(QStringLiteral("Change favor name"));
    setFont(ui::ArialPx(12));
    auto* box = new QGroupBox(QStringLiteral("FAV.Name"), this);
    auto* boxLayout = new QVBoxLayout(box);
    Edit_Name = new QLineEdit(box);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    ui::LimitLength(Edit_Name, 15);
    boxLayout->addWidget(Edit_Name);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(box);
    lay->addWidget(ButtonRow());
    setFixedSize(std::max(260, sizeHint().width()), sizeHint().height());
}

void TFormEditFAV::FormShow() {
    Renamed = false;
    Edit_Name->setText(ui::FromLatin1(db_.FavNames[Group]));
}

void TFormEditFAV::SB_OKClick() {
    std::string name;
    if (!ui::ToLatin1(Edit_Name->text(), name)) {
        Refuse(Edit_Name, dbase::msg::IllegalData, false);
        return;
    }
    if (const dbase::Status s = dbase::CheckFavName(Group, name); !s) {
        Refuse(Edit_Name, s.message(), false);
        return;
    }
    Name = name;
    Renamed = true;
    accept();
}
