// Lists in and out: the File popup's "Export list...", "Import list
// order...", "Compare with file..." and "Print list...", and the program
// popups' "Select duplicates". The list work itself is the core's (Lists.h,
// Diff.h); these handlers ask for files, show what would happen and apply it
// as one step.
#include "TFormMain.h"

#include "Compare/TFormCompare.h"
#include "ListOrder/TFormListOrder.h"
#include "Print/ListPrint.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "document/StepNames.h"
#include "editing/Lists.h"
#include "format/DataFile.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"
#include "ui/PrintDialog.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPrinter>

using ui::MessageBox;

namespace {

const QString kCsvFilter = QStringLiteral("CSV Files(*.csv *.CSV)|*.csv;*.CSV|All File(*.*)|*.*");
const QString kDataFilter =
    QStringLiteral("Channel files (*.bin *.BIN *.img *.IMG)|*.bin;*.BIN;*.img;*.IMG|All File(*.*)|*.*");
const QString kListFilter =
    QStringLiteral("Lists and data files(*.csv *.CSV *.bin *.BIN *.img *.IMG)|*.csv;*.CSV;*.bin;*.BIN;*.img;*.IMG|"
                   "CSV Files(*.csv *.CSV)|*.csv;*.CSV|All File(*.*)|*.*");

using ui::NativePath;

// Opens a data file into a database of its own, its kind told by its size.
dbase::Status OpenDataFile(const QString& path, std::unique_ptr<dbase::Database>& db) {
    uint64_t size = 0;
    if (dbase::Status s = dbase::CheckInputFile(NativePath(path), &size); !s) return s;
    db = dbase::NewDatabase();
    return dbase::OpenImageFile(NativePath(path), dbase::KindFromSize(size), *db);
}

// A data file by its name (.bin, .img) or, under another name than .csv, by its size.
bool IsDataFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return false;
    if (suffix == QLatin1String("bin") || suffix == QLatin1String("img")) return true;
    uint64_t size = 0;
    return dbase::CheckInputFile(NativePath(path), &size).ok() &&
           (size == dbase::kChannelFileSize || size == dbase::kDefaultFileSize);
}

} // namespace

QString TFormMain::OpenFileName() const { return QFileInfo(CurrentFile()).fileName(); }

void TFormMain::ExportListClick() {
    if (!Doc().FileOpened()) return;
    const QString name =
        ui::FileDialog::getSaveFileName(this, QStringLiteral("Export list"), kCsvFilter, QStringLiteral("csv"));
    if (name.isEmpty() || !DestinationUsable(name)) return;
    if (QFileInfo(name) == QFileInfo(CurrentFile())) {
        MessageBox::error(this, QStringLiteral("The list can not be written over the open data file."));
        return;
    }
    if (dbase::CheckInputFile(NativePath(name)).ok() &&
        MessageBox::confirm(this, QString::fromLatin1(dbase::msg::OverwriteQuestion)) != MessageBox::Yes)
        return;
    const std::string csv = dbase::ExportListCsv(Db());
    const auto* bytes = reinterpret_cast<const uint8_t*>(csv.data());
    if (const dbase::Status s = dbase::WriteFileAtomic(NativePath(name), std::span(bytes, csv.size())); !s)
        MessageBox::error(this, ui::MessageText(s.message()));
}

void TFormMain::ImportListOrderClick() {
    if (!Doc().FileOpened()) return;
    const QString name =
        ui::FileDialog::getOpenFileName(this, QStringLiteral("Import list order"), kListFilter, QStringLiteral("csv"));
    if (name.isEmpty()) return;
    const bool reference = IsDataFile(name);
    std::unique_ptr<dbase::Database> ref;
    if (reference)
        if (const dbase::Status s = OpenDataFile(name, ref); !s) {
            MessageBox::error(this, ui::MessageText(s.message()));
            return;
        }
    TFormListOrder dlg(
        Db(), QFileInfo(name).fileName(),
        [&](bool names, dbase::ListFile& list) {
            return reference ? dbase::ListFromDatabase(*ref, names, list)
                             : dbase::ReadListCsvFile(NativePath(name), names, list);
        },
        this);
    if (!dlg.Prepare()) return;
    dlg.exec();
    if (!dlg.Accepted) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(reference ? dbase::steps::ApplyReferenceList : dbase::steps::ImportListOrder,
                     [&](dbase::Database& db) {
                         dbase::ApplyListOrder(db, dlg.List(), dlg.Plan(), dlg.Names);
                         return dbase::Status::Ok();
                     });
    // The programs moved between slots: every list is made again.
    RefillViews();
    ShowInfo(-1, -1, -1);
}

void TFormMain::CompareWithFileClick() {
    if (!Doc().FileOpened()) return;
    const QString name =
        ui::FileDialog::getOpenFileName(this, QStringLiteral("Compare with file"), kDataFilter, QStringLiteral("BIN"));
    if (name.isEmpty()) return;
    std::unique_ptr<dbase::Database> other;
    if (const dbase::Status s = OpenDataFile(name, other); !s) {
        MessageBox::error(this, ui::MessageText(s.message()));
        return;
    }
    auto* window = new TFormCompare(
        std::move(other), QFileInfo(name).fileName(), [this]() -> const dbase::Database& { return Db(); }, this);
    window->show();
    window->raise();
    window->activateWindow();
}

void TFormMain::PrintListClick() {
    if (!Doc().FileOpened()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(OpenFileName());
    if (!ui::PrintDialog::exec(this, printer, QStringLiteral("Print list"))) return;
    ListPrint print(Db(), OpenFileName(), QDate::currentDate().toString(Qt::ISODate));
    if (print.Print(printer) == 0) MessageBox::error(this, QStringLiteral("The list can not be printed."));
}

void TFormMain::SelectDuplicates(bool radio) {
    if (!Doc().FileOpened()) return;
    // Every program is shown, so every duplicate can be selected.
    HideFilter();
    RefillViews();
    ShowInfo(-1, -1, -1);
    std::vector<std::vector<int>> groups;
    for (auto& g : dbase::DuplicateGroups(Db()))
        if ((Db().Prog.data[g.front()].IsRadio != 0) == radio) groups.push_back(std::move(g));
    const std::vector<int> picked = dbase::DuplicatesToSelect(groups);
    if (SelectProgramSlots(picked) == 0) (radio ? SG_Radio : SG_TV)->SelectRows({});
    const auto n = static_cast<qsizetype>(groups.size());
    const auto m = static_cast<qsizetype>(picked.size());
    MessageBox::information(this, groups.empty()
                                      ? QStringLiteral("No duplicates found.")
                                      : QStringLiteral("%1 %2 of duplicates found, %3 %4 selected.")
                                            .arg(n)
                                            .arg(n == 1 ? QStringLiteral("group") : QStringLiteral("groups"))
                                            .arg(m)
                                            .arg(m == 1 ? QStringLiteral("program") : QStringLiteral("programs")));
    // The selection shows while the grid has the focus.
    if (!picked.empty()) (radio ? SG_Radio : SG_TV)->setFocus();
}

void TFormMain::SelectDuplicates1Click() { SelectDuplicates(false); }
void TFormMain::SelectDuplicates2Click() { SelectDuplicates(true); }
