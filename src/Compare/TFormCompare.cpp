#include "TFormCompare.h"

#include "ui/FormSetup.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using dbase::DiffKind;
using dbase::DiffSection;

constexpr DiffSection kSections[] = {DiffSection::Satellites, DiffSection::Transponders, DiffSection::Programs,
                                     DiffSection::Favourites};

} // namespace

TFormCompare::TFormCompare(std::unique_ptr<dbase::Database> file, QString fileName, Current current, QWidget* parent)
    : QDialog(parent), file_(std::move(file)), fileName_(std::move(fileName)), current_(std::move(current)) {
    setObjectName(QStringLiteral("TFormCompare"));
    setWindowTitle(QStringLiteral("Compare with file"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::ApplyFormScaling(this);

    Label_Sides = new QLabel(this);
    Label_Sides->setObjectName(QStringLiteral("Label_Sides"));
    Label_Sides->setTextFormat(Qt::PlainText);
    Label_Summary = new QLabel(this);
    Label_Summary->setObjectName(QStringLiteral("Label_Summary"));
    Label_Summary->setFont(ui::ArialPx(14, true));
    CB_Kind = new QComboBox(this);
    CB_Kind->setObjectName(QStringLiteral("CB_Kind"));
    CB_Kind->addItems({QStringLiteral("All changes"), QStringLiteral("Added"), QStringLiteral("Removed"),
                       QStringLiteral("Changed"), QStringLiteral("Moved")});
    auto* show = new QLabel(QStringLiteral("&Show:"), this);
    show->setBuddy(CB_Kind);
    TV_Diff = new QTreeWidget(this);
    TV_Diff->setObjectName(QStringLiteral("TV_Diff"));
    TV_Diff->setColumnCount(2);
    TV_Diff->setHeaderLabels({QStringLiteral("Change"), QStringLiteral("Entry")});
    TV_Diff->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    TV_Diff->setRootIsDecorated(true);
    TV_Diff->setUniformRowHeights(true);
    TV_Diff->setAlternatingRowColors(true);
    SB_Swap = new QPushButton(QStringLiteral("S&wap sides"), this);
    SB_Swap->setObjectName(QStringLiteral("SB_Swap"));
    SB_Refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    SB_Refresh->setObjectName(QStringLiteral("SB_Refresh"));
    SB_Close = new QPushButton(QStringLiteral("Close"), this);
    SB_Close->setObjectName(QStringLiteral("SB_Close"));
    SB_Close->setDefault(true);
    connect(SB_Swap, &QPushButton::clicked, this, &TFormCompare::SB_SwapClick);
    connect(SB_Refresh, &QPushButton::clicked, this, &TFormCompare::SB_RefreshClick);
    connect(SB_Close, &QPushButton::clicked, this, &QDialog::close);
    connect(CB_Kind, &QComboBox::currentIndexChanged, this, &TFormCompare::CB_KindChange);

    auto* filter = new QHBoxLayout;
    filter->addWidget(Label_Summary, 1);
    filter->addWidget(show);
    filter->addWidget(CB_Kind);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SB_Swap);
    buttons->addWidget(SB_Refresh);
    buttons->addStretch();
    buttons->addWidget(SB_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_Sides);
    layout->addLayout(filter);
    layout->addWidget(TV_Diff, 1);
    layout->addLayout(buttons);
    resize(760, 560);
    SB_RefreshClick();
}

TFormCompare::~TFormCompare() = default;

void TFormCompare::SB_RefreshClick() {
    const dbase::Database& open = current_();
    diff_ = swapped_ ? dbase::DiffDatabases(open, *file_) : dbase::DiffDatabases(*file_, open);
    const QString file = QStringLiteral("the file ") + fileName_;
    const QString list = QStringLiteral("the open list");
    Label_Sides->setText(QStringLiteral("From %1 to %2").arg(swapped_ ? list : file, swapped_ ? file : list));
    ShowDiff();
}

void TFormCompare::SB_SwapClick() {
    swapped_ = !swapped_;
    SB_RefreshClick();
}

void TFormCompare::CB_KindChange() { ShowDiff(); }

void TFormCompare::ShowDiff() {
    TV_Diff->clear();
    const int filter = CB_Kind->currentIndex(); // 0 all, then the kinds in order
    int shown = 0, all = 0;
    for (const DiffSection section : kSections) {
        const auto& entries = diff_.of(section);
        all += static_cast<int>(entries.size());
        QTreeWidgetItem* group = nullptr;
        int count = 0;
        for (const dbase::DiffEntry& e : entries) {
            if (filter > 0 && static_cast<int>(e.kind) != filter - 1) continue;
            if (!group) group = new QTreeWidgetItem(TV_Diff);
            auto* item = new QTreeWidgetItem(group);
            item->setText(0, QString::fromLatin1(dbase::DiffKindName(e.kind)));
            item->setText(1, ui::FromLatin1(dbase::DiffEntryText(section, e)));
            item->setToolTip(1, item->text(1));
            ++count;
        }
        if (!group) continue;
        group->setText(0,
                       QStringLiteral("%1 (%2)").arg(QString::fromLatin1(dbase::DiffSectionTitle(section))).arg(count));
        group->setFirstColumnSpanned(true);
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        group->setExpanded(true);
        shown += count;
    }
    if (all == 0)
        Label_Summary->setText(QStringLiteral("The files are the same."));
    else if (filter == 0)
        Label_Summary->setText(all == 1 ? QStringLiteral("1 difference") : QStringLiteral("%1 differences").arg(all));
    else
        Label_Summary->setText(QStringLiteral("%1 of %2 %3")
                                   .arg(shown)
                                   .arg(all)
                                   .arg(all == 1 ? QStringLiteral("difference") : QStringLiteral("differences")));
}
