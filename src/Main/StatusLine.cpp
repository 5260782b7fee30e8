// The status line at the bottom of the main window: the open file's full
// path, "Modified" while the data differs from the saved file, the counts of
// the open database, and a note on the last open or save when there is one.
#include "TFormMain.h"

#include "model/Model.h"
#include "ui/FormSetup.h"

#include <QLabel>
#include <QPainter>
#include <QStatusBar>

namespace {

// A label that never widens the window for a long text: what does not fit
// is left out in the middle, and the whole text is its tooltip.
class ElidingLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = contentsRect();
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width()));
    }
};

QLabel* Part(QStatusBar* bar, QLabel* label, const QString& name) {
    label->setParent(bar);
    label->setObjectName(name);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

QString Counted(size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

} // namespace

void TFormMain::BuildStatusLine() {
    StatusLine = new QStatusBar(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setSizeGripEnabled(false);
    StatusLine->setFont(ui::ArialPx(12));
    StatusPath = Part(StatusLine, new ElidingLabel, QStringLiteral("StatusPath"));
    StatusNote = Part(StatusLine, new ElidingLabel, QStringLiteral("StatusNote"));
    StatusModified = Part(StatusLine, new QLabel, QStringLiteral("StatusModified"));
    StatusCounts = Part(StatusLine, new QLabel, QStringLiteral("StatusCounts"));
    QPalette note = StatusNote->palette();
    note.setColor(QPalette::WindowText, QColor(128, 0, 0));
    StatusNote->setPalette(note);
    StatusModified->setFont(ui::ArialPx(12, true));
    StatusLine->addWidget(StatusPath, 3);
    StatusLine->addWidget(StatusNote, 2);
    StatusLine->addPermanentWidget(StatusModified);
    StatusLine->addPermanentWidget(StatusCounts);
    setStatusBar(StatusLine);
}

QString TFormMain::CountsText() const {
    if (!Doc().FileOpened()) return {};
    const dbase::Database& db = Db();
    const dbase::ProgLists progs = dbase::AllProgs(db);
    return Counted(std::min<size_t>(db.SatCount, dbase::kSatSlots), "satellite", "satellites") + QStringLiteral(", ") +
           Counted(dbase::AllTps(db).size(), "transponder", "transponders") +
           QStringLiteral(", %1 TV, %2 radio").arg(progs.tv.size()).arg(progs.radio.size());
}

void TFormMain::UpdateStatusLine() {
    const bool open = Doc().FileOpened();
    const QString path = open ? CurrentFile() : QString();
    StatusPath->setText(path);
    StatusPath->setToolTip(path);
    StatusModified->setText(open && Doc().DataChanged() ? QStringLiteral("Modified") : QString());
    StatusCounts->setText(CountsText());
}

void TFormMain::ShowNote(const QString& text) {
    StatusNote->setText(text);
    StatusNote->setToolTip(text);
}
