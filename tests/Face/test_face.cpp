// The waiting form: its look, where it appears and that it goes away.
#include "Face/TFormFace.h"
#include "base/Messages.h"
#include "ui/FormSetup.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

class TestFace : public QObject {
    Q_OBJECT
private slots:
    void looksAsDesigned() {
        TFormFace face;
        QCOMPARE(face.size(), QSize(490, 42));
        const Qt::WindowFlags flags = face.windowFlags();
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QCOMPARE(face.palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(face.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(face.Label1->font().pixelSize(), 21);
        QCOMPARE(face.Label1->font().family(), QStringLiteral("Arial"));
        QVERIFY(ui::IsFormScaled(&face));
    }

    void showsCentredAndHalfTransparent() {
        TFormFace face;
        face.ShowWith(QString::fromLatin1(dbase::msg::Saving));
        QVERIFY(face.isVisible());
        QCOMPARE(face.Label1->text(), QStringLiteral("File is being save now. Please wait......"));
        QVERIFY(qAbs(face.windowOpacity() - 155.0 / 255.0) < 0.01);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(face.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(face.geometry().center().y() - screen.center().y()) <= 1);
    }

    void scopedFormClosesWhenDone() {
        QPointer<TFormFace> face;
        {
            WaitingForm wait(nullptr, QString::fromLatin1(dbase::msg::Opening));
            face = wait.form();
            QVERIFY(face && face->isVisible());
            QCOMPARE(face->Label1->text(), QStringLiteral("File is being opened now. Please wait......"));
            QVERIFY(ui::OverlayVisible());
        }
        QVERIFY(face.isNull());
        QVERIFY(!ui::OverlayVisible());
    }
};

QTEST_MAIN(TestFace)
#include "test_face.moc"
