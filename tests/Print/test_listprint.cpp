// Printing the lists: the pages laid out on a PDF writer, their header and
// foot, and "Print list..." writing a PDF through the print dialog.
#include "GuiTestSupport.h"
#include "Print/ListPrint.h"
#include "SampleData.h"
#include "ui/PrintDialog.h"

#include <QFile>
#include <QMenu>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTest>

using namespace guitest;

namespace {

// The pages of a PDF file: one "/Type /Page" object each.
int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(
        QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

void A4Landscape(QPdfWriter& pdf) {
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    pdf.setResolution(300);
}

} // namespace

class TestListPrint : public QObject {
    Q_OBJECT
private slots:
    void pagesHoldTheListsUnderAHeaderWithTheFileAndDate() {
        Env env;
        auto full = sample::BuildFull(1);
        const QString path = env.path(QStringLiteral("full.pdf"));
        QPdfWriter pdf(path);
        A4Landscape(pdf);
        ListPrint print(*full, QStringLiteral("full.bin"), QStringLiteral("2026-12-09"));
        const int pages = print.Print(pdf);
        QVERIFY(pages > 20);
        QCOMPARE(print.HeaderLeft(), QStringLiteral("full.bin"));
        QCOMPARE(print.HeaderRight(), QStringLiteral("2026-12-09"));
        QCOMPARE(print.FooterText(1), QStringLiteral("Page 2 of %1").arg(pages));
        // Every program once, TV first; each page repeats the column header.
        int rows = 0;
        bool radioSeen = false;
        for (int p = 0; p < pages; ++p) {
            const QStringList lines = print.LineTexts(p);
            QVERIFY(lines.size() >= 3);
            QVERIFY(lines[0].startsWith(p == 0 ? QStringLiteral("TV programs (2400)") : QStringLiteral("")));
            QVERIFY(lines.contains(QStringLiteral("kind\tnumber\tslot\tname\tsatellite\tlongitude\tfrequency\t"
                                                  "polarisation\tsymbol_rate\tservice_id\tvideo_pid\taudio_pid\t"
                                                  "pcr_pid\tpmt_pid\tscrambled\tlock\tskip\tfavourites")));
            for (const QString& l : lines) {
                if (l.startsWith(QStringLiteral("radio\t"))) radioSeen = true;
                if (l.startsWith(QStringLiteral("tv\t"))) QVERIFY(!radioSeen);
                rows += l.startsWith(QStringLiteral("tv\t")) || l.startsWith(QStringLiteral("radio\t"));
            }
        }
        QCOMPARE(rows, 3000);
        QCOMPARE(PdfPages(path), pages);
    }

    void printListWritesThePdfTheDialogChose() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env, QStringLiteral("my list.bin")));
        const QString pdf = env.path(QStringLiteral("out.pdf"));
        ui::PrintDialog::setNextPdfFile(pdf);
        ChooseFileItem(*form, Widget<QAction>(*form, "PrintList"));
        QVERIFY(PdfPages(pdf) >= 1);
        // Cancelled: nothing is printed.
        QFile::remove(pdf);
        ui::PrintDialog::setNextPdfFile({});
        ChooseFileItem(*form, Widget<QAction>(*form, "PrintList"));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestListPrint)
#include "test_listprint.moc"
