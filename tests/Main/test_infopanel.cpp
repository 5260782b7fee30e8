// The info panel lines for a satellite, a transponder and a program.
#include "GuiTestSupport.h"
#include "Main/RowTexts.h"
#include "SampleData.h"

#include <QListWidget>
#include <QTest>

using namespace guitest;

namespace {

struct Fixture {
    std::unique_ptr<dbase::Database> db = dbase::NewDatabase();
    int sat = -1, tp = -1, plain = -1, tracks = -1, other = -1;
    Fixture() {
        dbase::Database& d = *db;
        sat = sample::AddSat(d, {"Astra 19.2E", 192});
        tp = sample::AddTp(d, sat, 11720, false, 27500, 3);
        sample::ProgSpec p;
        p.name = "Plain";
        p.vid = 101;
        p.aud = 102;
        p.pcr = 103;
        plain = sample::AddProg(d, tp, p);
        p.name = "Tracks";
        p.aud = 200;
        p.scrambled = true;
        p.lock = true;
        p.skip = true;
        tracks = sample::AddProg(d, tp, p);
        p.name = "Other";
        other = sample::AddProg(d, tp, p);
        // Tracks of two programs interleaved in the audio table.
        sample::AddAudio(d, tracks, 301, "eng");
        sample::AddAudio(d, other, 901, "eng");
        sample::AddAudio(d, tracks, 302, "fra");
    }
    QStringList Lines(int s, int t, int p) const {
        QStringList out;
        for (const std::string& l : rowtext::InfoLines(*db, s, t, p)) out << QString::fromLatin1(l.c_str());
        return out;
    }
};

} // namespace

class TestInfoPanel : public QObject {
    Q_OBJECT
private slots:
    void satelliteGivesOneLine() {
        Fixture f;
        QCOMPARE(f.Lines(f.sat, -1, -1), QStringList{"Astra 19.2E"});
        QVERIFY(f.Lines(-1, -1, -1).isEmpty());
    }

    void transponderGivesItsSatelliteABlankAndItsLine() {
        Fixture f;
        QCOMPARE(f.Lines(-1, f.tp, -1), (QStringList{"Astra 19.2E", "", "11720   H   27500   3/4"}));
    }

    void programGivesNineLines() {
        Fixture f;
        QCOMPARE(f.Lines(-1, -1, f.plain),
                 (QStringList{"Astra 19.2E", "", "11720   H   27500   3/4", "", "Plain", "",
                              "Vid: 101   Aud: 102   PCR: 103", "", "Free      Lock_Not      Skip_Not"}));
        QCOMPARE(f.Lines(-1, -1, f.tracks).last(), QStringLiteral("Encrypt      Lock_Yes      Skip_Yes"));
    }

    void selectedExtraTrackShowsItsPid() {
        Fixture f;
        dbase::ProgData& p = f.db->Prog.data[f.tracks];
        p.AudioSel = 0;
        QCOMPARE(QString::fromStdString(rowtext::PidLine(*f.db, f.tracks)),
                 QStringLiteral("Vid: 101   Aud: 200   PCR: 103"));
        p.AudioSel = 1;
        QCOMPARE(rowtext::AudioPid(*f.db, f.tracks), std::string("301"));
        // The second track of this program, past the other program's track.
        p.AudioSel = 2;
        QCOMPARE(rowtext::AudioPid(*f.db, f.tracks), std::string("302"));
    }

    void selectionOfAMissingTrackShowsTheOwnPid() {
        Fixture f;
        f.db->Prog.data[f.tracks].AudioSel = 3;
        QCOMPARE(rowtext::AudioPid(*f.db, f.tracks), std::string("200"));
        f.db->Prog.data[f.plain].AudioSel = 1;
        QCOMPARE(rowtext::AudioPid(*f.db, f.plain), std::string("102"));
    }

    void panelThroughTheWindow() {
        Env env;
        Fixture f;
        f.db->Prog.data[f.tracks].AudioSel = 2; // decoded only: the file keeps the stored selection
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*f.db, env.path(QStringLiteral("info.bin")), true));
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Astra 19.2E"});
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")),
                 (QStringList{"Astra 19.2E", "", "11720   H   27500   3/4"}));
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 2);
        const QStringList lines = ListTexts(Widget<QListWidget>(*form, "LB_Info"));
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[4], QStringLiteral("Tracks"));
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")
                     ->itemDelegate()
                     ->sizeHint(QStyleOptionViewItem(), Widget<QListWidget>(*form, "LB_Info")->model()->index(0, 0))
                     .height(),
                 15);
        form->ShowInfo(-1, -1, -1);
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 0);
    }
};

QTEST_MAIN(TestInfoPanel)
#include "test_infopanel.moc"
