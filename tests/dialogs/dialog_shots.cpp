// Writes pictures of the editor dialogs, filled from the bundled sample, into
// the folder given (for the documentation):
//   dialog-shots DIR
#include "SampleData.h"

#include "EditFAV/TFormEditFAV.h"
#include "EditLnb/TFormEditLnb.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    ui::MessageBox::setInteractive(false);
    auto db = sample::BuildSample();
    auto shoot = [&](QWidget& w, const char* name) {
        w.show();
        QApplication::processEvents();
        w.grab().save(dir + QLatin1Char('/') + QLatin1String(name));
    };
    TFormEditProg prog(*db);
    prog.ProgSlot = 3;
    prog.TpSlot = static_cast<int>(db->Prog.data[3].TpIndex);
    shoot(prog, "dialog-program.png");
    TFormEditTP tp(*db);
    tp.TpSlot = 4;
    shoot(tp, "dialog-transponder.png");
    TFormEditLnb lnb(*db);
    lnb.SatSlot = 0;
    shoot(lnb, "dialog-satellite.png");
    TFormEditFAV fav(*db);
    fav.Group = 0;
    shoot(fav, "dialog-favourite.png");
    return 0;
}
