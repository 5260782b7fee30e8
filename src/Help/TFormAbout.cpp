#include "TFormAbout.h"

#include "Version.h"
#include "ui/FormSetup.h"
#include "ui/ProgramIcon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* Label(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormAbout"));
    setWindowTitle(QStringLiteral("About orbitlist"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::ApplyFormScaling(this);

    Image_Icon = new QLabel(this);
    Image_Icon->setObjectName(QStringLiteral("Image_Icon"));
    Image_Icon->setPixmap(ui::ProgramIcon().pixmap(64, 64));
    Image_Icon->setFixedSize(64, 64);

    Label_Name = Label(this, QStringLiteral("Label_Name"), QStringLiteral("orbitlist"));
    QFont big = Label_Name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label_Name->setFont(big);
    Label_Version = Label(this, QStringLiteral("Label_Version"),
                          QStringLiteral("Version %1").arg(QString::fromLatin1(orbitlist::kVersion)));
    Label_What = Label(this, QStringLiteral("Label_What"),
                       QStringLiteral("An editor for the channel database of a DVB-S satellite receiver."));
    Label_Licence =
        Label(this, QStringLiteral("Label_Licence"),
              QStringLiteral("This program is free software: you can redistribute it and/or modify it under the terms "
                             "of the GNU General Public License, version 2 or (at your option) any later version "
                             "(GPL-2.0-or-later). It comes with ABSOLUTELY NO WARRANTY."));

    SB_OK = new QPushButton(QStringLiteral("OK"), this);
    SB_OK->setObjectName(QStringLiteral("SB_OK"));
    SB_OK->setDefault(true);
    connect(SB_OK, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(Image_Icon, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(Label_Name, 0, 1);
    grid->addWidget(Label_Version, 1, 1);
    grid->addWidget(Label_What, 2, 1);
    grid->addWidget(Label_Licence, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SB_OK);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    for (QLabel* label : {Label_Name, Label_Version, Label_What, Label_Licence}) label->setFixedWidth(340);
}

TFormAbout* TFormAbout::ShowAbout(QWidget* parent) {
    auto* box = new TFormAbout(parent);
    box->open();
    return box;
}
