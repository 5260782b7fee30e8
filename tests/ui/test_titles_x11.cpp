// Window titles as the window system shows them. Offscreen a window's title
// is only what the program set; an X server shows what Qt hands on, so this
// test runs under xvfb-run and reads each title back with xdotool.
#include "GuiTestSupport.h"

#include "EditLnb/TFormEditLnb.h"
#include "Upgrade/TFormUpgrade.h"
#include "app/Startup.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

using namespace guitest;
using ui::MessageBox;

namespace {

const QString kAppTitle = QStringLiteral("\u3010DATABASE_ORBITLIST 1.0.7\u3011");

// The title the X server holds for `w`.
QString ShownTitle(const QWidget* w) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(w->winId())});
    if (!xdotool.waitForFinished(5000)) return QStringLiteral("<xdotool did not answer>");
    return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
}

// Runs `open`, which shows a modal dialog of type D; returns the dialog's
// title as shown once it is on screen, and closes the dialog.
template <class D> QString ShownTitleOfModal(const std::function<void()>& open) {
    QString title = QStringLiteral("<no dialog>");
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->windowHandle() || !dialog->windowHandle()->isExposed()) return;
        watch.stop();
        title = ShownTitle(dialog);
        static_cast<QDialog*>(dialog)->reject();
    });
    watch.start(20);
    open();
    return title;
}

class NoPorts : public serial::PortListProvider {
public:
    QList<serial::PortDevice> Devices() const override { return {}; }
};

} // namespace

class TestTitles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool to read the titles back");
        app::SetUpApplication();
    }

    void mainWindowFileDialogsAndBoxes() {
        Env env;
        auto form = MakeForm(env);
        QCOMPARE(ShownTitle(form.get()), QStringLiteral("QX_COMMON_ORBITLIST_TOOL V1.1.8 Loadini_onetp"));

        ui::FileDialog::setInteractive(true);
        QCOMPARE(ShownTitleOfModal<QFileDialog>([&] { Widget<QAction>(*form, "OpenData")->trigger(); }),
                 QStringLiteral("Open File"));
        ui::FileDialog::setInteractive(false);
        OpenThroughMenu(*form, WriteSample(env));
        QVERIFY(form->Doc().FileOpened());
        ui::FileDialog::setInteractive(true);
        QCOMPARE(ShownTitleOfModal<QFileDialog>([&] { Widget<QAction>(*form, "Save_Data")->trigger(); }),
                 QStringLiteral("Save As..."));
        ui::FileDialog::setInteractive(false);

        MessageBox::setInteractive(true);
        const std::pair<std::function<void()>, QString> boxes[] = {
            {[&] { MessageBox::error(form.get(), QStringLiteral("e")); }, QStringLiteral("Error")},
            {[&] { MessageBox::warning(form.get(), QStringLiteral("w")); }, QStringLiteral("Warning")},
            {[&] { MessageBox::confirm(form.get(), QStringLiteral("c")); }, QStringLiteral("Confirm")},
            {[&] { MessageBox::information(form.get(), QStringLiteral("i")); }, QStringLiteral("Information")},
            {[&] { MessageBox::plain(form.get(), QStringLiteral("p")); }, kAppTitle},
        };
        for (const auto& [show, title] : boxes) QCOMPARE(ShownTitleOfModal<QMessageBox>(show), title);
        MessageBox::setInteractive(false);

        Widget<StringGrid>(*form, "SG_Sat")->SetRow(1);
        QCOMPARE(ShownTitleOfModal<TFormEditLnb>([&] { form->SG_SatDblClick(); }), QStringLiteral("Edit Satellites"));
        form->Doc().SetDataChanged(false);
    }

    void communicationDialogs() {
        Env env;
        const QString file = WriteSample(env);
        NoPorts ports;
        upgrade::LinkOptions options;
        options.ports = &ports;
        // The write keeps its caption; the read-back, which has none, shows
        // the application's name.
        QCOMPARE(ShownTitleOfModal<upgrade::TFormUpgrade>(
                     [&] { upgrade::TFormUpgrade::Write(nullptr, file, true, options); }),
                 QStringLiteral("Communication Settings  (Upgrade Data)"));
        QCOMPARE(ShownTitleOfModal<upgrade::TFormUpgrade>([&] {
                     upgrade::TFormUpgrade::ReadBack(nullptr, env.path(QStringLiteral("read.bin")), true, options);
                 }),
                 kAppTitle);
    }
};

QTEST_MAIN(TestTitles)
#include "test_titles_x11.moc"
