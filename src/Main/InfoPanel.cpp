// The info panel under the satellite grid: a read-only summary of the
// satellite, transponder or program last clicked or edited.
#include "RowTexts.h"
#include "TFormMain.h"
#include "ui/FormSetup.h"

#include <QListWidget>

void TFormMain::ShowInfo(int sat, int tp, int prog) {
    LB_Info->clear();
    for (const std::string& line : rowtext::InfoLines(Db(), sat, tp, prog)) LB_Info->addItem(ui::FromLatin1(line));
}
