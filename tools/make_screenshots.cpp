// Grabs the main window in its main states, offscreen on a 1400 x 900 screen:
//   make-screenshots SAMPLE OUTDIR
// writes OUTDIR/empty.png, file-open.png, satellite.png, program.png and
// marking.png (a favourite marking mode with its marked programs), and
// the editor dialogs as dialog-program.png, dialog-transponder.png,
// dialog-satellite.png and dialog-favourite.png.
#include "EditFAV/TFormEditFAV.h"
#include "EditLnb/TFormEditLnb.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "Main/TFormMain.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

namespace {

bool Save(TFormMain& form, const QString& path) {
    QCoreApplication::processEvents();
    if (!form.grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

// The window's widget named `name`; every widget of the window has a name.
template <class W> W* Named(const TFormMain& form, const char* name) {
    W* found = form.findChild<W*>(QString::fromLatin1(name));
    if (!found) qFatal("no widget named %s", name);
    return found;
}

// Selects a row and runs the grid's click handler, as a mouse click does.
void Click(StringGrid* grid, int row) {
    grid->setFocus();
    grid->SetRow(row);
    emit grid->Click();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + ORBITLIST_OFFSCREEN_CONFIG);
    QTemporaryDir scratch;
    qputenv("XDG_DATA_HOME", scratch.filePath("data").toUtf8());
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-screenshots SAMPLE OUTDIR\n");
        return 2;
    }
    const QString sample = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    ui::MessageBox::setInteractive(false);
    ui::FileDialog::setInteractive(false);

    TFormMain form({scratch.filePath("ORBITLIST.ini"), scratch.filePath("work.bin")});
    form.show();
    QCoreApplication::processEvents();
    bool ok = Save(form, out.filePath("empty.png"));

    form.Doc().SetIs256K(true);
    form.SetCurrentFile(sample);
    if (!form.OpenImageFile(sample)) return 1;
    ok = Save(form, out.filePath("file-open.png")) && ok;

    // Focus colours need an active window, which the platform reports later.
    QElapsedTimer wait;
    wait.start();
    while (!form.isActiveWindow() && wait.elapsed() < 3000) {
        form.activateWindow();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    Click(Named<StringGrid>(form, "SG_Sat"), 2);
    Click(Named<StringGrid>(form, "SG_TP"), 3);
    ok = Save(form, out.filePath("satellite.png")) && ok;

    Click(Named<StringGrid>(form, "SG_Sat"), 1);
    Click(Named<StringGrid>(form, "SG_TP"), 3);
    Click(Named<StringGrid>(form, "SG_TV"), 1);
    ok = Save(form, out.filePath("program.png")) && ok;

    // The first group's marking mode over all programs: its members shaded,
    // the locked group red in the favourite list.
    Click(Named<StringGrid>(form, "SG_Sat"), 0);
    Named<QToolButton>(form, "SB_Fav01")->click();
    Named<StringGrid>(form, "SG_TV")->setFocus();
    form.SG_SatMouseDown();
    ok = Save(form, out.filePath("marking.png")) && ok;

    auto shoot = [&](QWidget& dialog, const char* name) {
        dialog.show();
        QCoreApplication::processEvents();
        const QString path = out.filePath(QLatin1String(name));
        const bool saved = dialog.grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        dialog.hide();
        return saved;
    };
    const dbase::Database& db = form.Db();
    TFormEditProg prog(db, &form);
    prog.ProgSlot = 3;
    prog.TpSlot = static_cast<int>(db.Prog.data[3].TpIndex);
    ok = shoot(prog, "dialog-program.png") && ok;
    TFormEditTP tp(db, &form);
    tp.TpSlot = dbase::AllTps(db)[3];
    ok = shoot(tp, "dialog-transponder.png") && ok;
    TFormEditLnb lnb(db, &form);
    lnb.SatSlot = 0;
    ok = shoot(lnb, "dialog-satellite.png") && ok;
    TFormEditFAV fav(db, &form);
    fav.Group = 0;
    ok = shoot(fav, "dialog-favourite.png") && ok;
    return ok ? 0 : 1;
}
