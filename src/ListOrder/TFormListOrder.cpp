#include "TFormListOrder.h"

#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TFormListOrder::TFormListOrder(const dbase::Database& db, const QString& source, Reader read, QWidget* parent)
    : ui::EditorDialog(parent), db_(db), read_(std::move(read)) {
    setObjectName(QStringLiteral("TFormListOrder"));
    setWindowTitle(QStringLiteral("Import list order"));
    Label_Source = new QLabel(QStringLiteral("List:  ") + source, this);
    Label_Source->setObjectName(QStringLiteral("Label_Source"));
    Label_Source->setTextFormat(Qt::PlainText);
    Label_Summary = new QLabel(this);
    Label_Summary->setObjectName(QStringLiteral("Label_Summary"));
    Label_Summary->setFont(ui::ArialPx(14, true));
    Label_NotFound = new QLabel(QStringLiteral("Rows not found:"), this);
    Label_NotFound->setObjectName(QStringLiteral("Label_NotFound"));
    LB_NotFound = new QListWidget(this);
    LB_NotFound->setObjectName(QStringLiteral("LB_NotFound"));
    LB_NotFound->setMinimumSize(520, 160);
    ChB_Names = new QCheckBox(QStringLiteral("Take the list's names too"), this);
    ChB_Names->setObjectName(QStringLiteral("ChB_Names"));
    connect(ChB_Names, &QCheckBox::clicked, this, &TFormListOrder::ChB_NamesClick);

    auto* note = new QLabel(QStringLiteral("The programs found come first, in the list's order, and take its lock, "
                                           "skip and favourite marks; the others follow in their present order."),
                            this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_Source);
    layout->addWidget(Label_Summary);
    layout->addWidget(note);
    layout->addWidget(Label_NotFound);
    layout->addWidget(LB_NotFound, 1);
    layout->addWidget(ChB_Names);
    layout->addWidget(ButtonRow());
}

QString TFormListOrder::RowText(const dbase::ListRow& row) {
    const dbase::ProgKey& k = row.match.key;
    QString text = QStringLiteral("Line %1: %2 %3 %4 %5 %6")
                       .arg(row.line)
                       .arg(row.match.radio ? QStringLiteral("radio") : QStringLiteral("tv"),
                            QString::fromStdString(k.longitude), QString::fromStdString(k.frequency),
                            QString::fromStdString(k.polarisation), QString::fromStdString(k.serviceId));
    if (row.match.name) text += QStringLiteral(" \"") + ui::FromLatin1(*row.match.name) + QLatin1Char('"');
    return text;
}

bool TFormListOrder::Prepare() {
    if (const dbase::Status s = read_(false, list_); !s) {
        ui::MessageBox::error(parentWidget(), ui::MessageText(s.message()));
        return false;
    }
    plan_ = dbase::PlanListOrder(db_, list_);
    Label_Summary->setText(QString::fromStdString(dbase::ListSummary(plan_)));
    LB_NotFound->clear();
    for (const size_t i : plan_.notFoundRows) LB_NotFound->addItem(RowText(list_.rows[i]));
    Label_NotFound->setVisible(!plan_.notFoundRows.empty());
    LB_NotFound->setVisible(!plan_.notFoundRows.empty());
    ChB_Names->setEnabled(list_.hasName);
    return true;
}

void TFormListOrder::ChB_NamesClick() {
    if (!ChB_Names->isChecked()) return;
    // The names are checked as the program editor checks them; the rows are
    // found the same way with or without them.
    dbase::ListFile withNames;
    if (const dbase::Status s = read_(true, withNames); !s) {
        ui::MessageBox::error(this, ui::MessageText(s.message()));
        ChB_Names->setChecked(false);
        return;
    }
    list_ = std::move(withNames);
}

void TFormListOrder::SB_OKClick() {
    Names = ChB_Names->isChecked();
    Accepted = true;
    accept();
}
