// Opening, saving and the recent-file list of the main window.
#include "Face/TFormFace.h"
#include "Pictures.h"
#include "TFormMain.h"
#include "dbase/DataFile.h"
#include "dbase/Messages.h"
#include "dbase/RecentFiles.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>

#include <filesystem>

namespace fs = std::filesystem;
using ui::MessageBox;

namespace {

const QString kFilter = QStringLiteral("Settings Files(*.img)|*.img|All File(*.*)|*.*");
const QString kSuffix = QStringLiteral("BIN");

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool Exists(const QString& path, uint64_t* size = nullptr) {
    std::error_code ec;
    const std::string p = Native(path);
    if (path.isEmpty() || !fs::is_regular_file(p, ec)) return false;
    if (size) *size = fs::file_size(p, ec);
    return !ec;
}

} // namespace

QString TFormMain::CurrentFile() const { return QFile::decodeName(QByteArray::fromStdString(Doc().Path())); }

void TFormMain::SetCurrentFile(const QString& path) { Doc().SetPath(Native(path)); }

bool TFormMain::ConfirmDiscard() {
    if (!Doc().DataChanged()) return true;
    return MessageBox::confirm(this, QString::fromLatin1(dbase::msg::OpenAnotherQuestion)) == MessageBox::Yes;
}

void TFormMain::ShowFileName(const QString& prefix, const QString& path) {
    LabelFileName->setText(prefix + QFileInfo(path).fileName());
    FitFileNamePanel();
}

void TFormMain::FitFileNamePanel() {
    // The panel is 20 pixels wider than its label, which sits in the middle.
    LabelFileName->adjustSize();
    Panel_FileName->setFixedWidth(LabelFileName->width() + 20);
    LabelFileName->move(10, (Panel_Top->height() - LabelFileName->height()) / 2);
}

void TFormMain::ShowOpenedState() {
    ImageMain->hide();
    Panel_Top->show();
    PanelMain->show();
    LayOutColumns();
}

bool TFormMain::OpenImageFile(const QString& path) { return OpenImageFile(path, false); }

bool TFormMain::OpenImageFile(const QString& path, bool afterSaveAs) {
    // The image that was open is dropped even if the new one fails; the file
    // a Save as has just written is opened keeping the edit history.
    ResetView(!afterSaveAs);
    uint64_t size = 0;
    const bool is256K = Doc().Is256K();
    auto failed = [&](const QString& message) {
        Doc().Close();
        MessageBox::error(this, message);
        return false;
    };
    if (!Exists(path, &size)) return failed(QString::fromLatin1(dbase::msg::FileMissing));
    if (dbase::Status s = dbase::CheckFileSize(size, is256K); !s) return failed(ui::MessageText(s.message()));

    dbase::Status status;
    {
        WaitingForm wait(this, QString::fromLatin1(dbase::msg::Opening));
        status = afterSaveAs ? Doc().Reopen(Native(path), is256K, Native(files_.workFile))
                             : Doc().Open(Native(path), is256K, nullptr, Native(files_.workFile));
        workFileWritten_ = workFileWritten_ || status.ok();
    }
    if (!status) return failed(ui::MessageText(status.message()));

    ShowFileName(QStringLiteral("The opened file name:  "), path);
    // The list is read afresh: a file opened from outside the menu must not
    // write over entries the menu was never opened to read.
    const std::string ini = Native(files_.settingsFile);
    dbase::RecentFileList updated;
    if (dbase::RecentAfterOpen(dbase::ReadRecentFiles(ini), Native(path), updated))
        (void)dbase::WriteRecentFiles(ini, updated);

    ShowOpenedState();
    ShowAllSatellites();
    return true;
}

void TFormMain::OpenDataClick(bool channel) {
    if (!ConfirmDiscard()) return;
    const QString name = ui::FileDialog::getOpenFileName(this, QStringLiteral("Open File"), kFilter, kSuffix);
    if (name.isEmpty()) return;
    SetCurrentFile(name);
    Doc().SetIs256K(channel);
    OpenImageFile(name);
}

void TFormMain::LastFileName1Click(int index) {
    if (index < 0 || index >= static_cast<int>(RecentFiles.size())) return;
    const std::string name = RecentFiles[static_cast<size_t>(index)];
    if (name.empty()) return;
    const QString path = QFile::decodeName(QByteArray::fromStdString(name));
    uint64_t size = 0;
    if (!Exists(path, &size)) {
        MessageBox::error(this, QString::fromLatin1(dbase::msg::FileMissing));
        dbase::RecentFileList updated;
        if (dbase::RecentAfterRemoval(RecentFiles, name, updated))
            (void)dbase::WriteRecentFiles(Native(files_.settingsFile), updated);
        return;
    }
    if (!ConfirmDiscard()) return;
    SetCurrentFile(path);
    // Any size but a Channel file's opens as Default data, so a wrong size is
    // reported by the open itself.
    Doc().SetIs256K(dbase::KindFromSize(size));
    OpenImageFile(path);
}

void TFormMain::OpenFileFromOutside(const QString& path) {
    if (path.isEmpty()) return;
    uint64_t size = 0;
    if (!Exists(path, &size)) {
        MessageBox::error(this, QString::fromLatin1(dbase::msg::FileMissing));
        return;
    }
    if (!ConfirmDiscard()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    SetCurrentFile(absolute);
    Doc().SetIs256K(dbase::KindFromSize(size));
    OpenImageFile(absolute);
}

void TFormMain::PMSaveClick() { (void)SaveCurrentFile(); }

bool TFormMain::SaveCurrentFile() {
    if (!Doc().FileOpened()) return false;
    dbase::Status status;
    {
        WaitingForm wait(this, QString::fromLatin1(dbase::msg::Saving));
        status = Doc().Save(dbase::SaveModeForSave(Doc().Is256K()), Doc().Path(), Native(files_.workFile));
    }
    // A failed save keeps the old file and the unsaved state.
    if (!status) {
        MessageBox::error(this, ui::MessageText(status.message()));
        return false;
    }
    workFileWritten_ = true;
    return true;
}

void TFormMain::Save_DataClick(bool channel) {
    if (!Doc().FileOpened()) return;
    const dbase::SaveMode mode = dbase::SaveModeForSaveAs(Doc().Is256K(), channel);
    const QString name =
        ui::FileDialog::getSaveFileName(this, QStringLiteral("Save As..."), kFilter, kSuffix);
    if (name.isEmpty()) return;
    if (Exists(name) &&
        MessageBox::confirm(this, QString::fromLatin1(dbase::msg::OverwriteQuestion)) != MessageBox::Yes)
        return;

    const QString oldLabel = LabelFileName->text();
    const QString oldFile = CurrentFile();
    ShowFileName(QStringLiteral("FileName:  "), name);
    SetCurrentFile(name);
    dbase::Status status;
    {
        WaitingForm wait(this, QString::fromLatin1(dbase::msg::Saving));
        status = Doc().Save(mode, Native(name), Native(files_.workFile));
    }
    if (!status) {
        // Nothing was written: the open file and its name stay as they were.
        SetCurrentFile(oldFile);
        LabelFileName->setText(oldLabel);
        FitFileNamePanel();
        MessageBox::error(this, ui::MessageText(status.message()));
        return;
    }
    Doc().SetIs256K(channel);
    OpenImageFile(name, true);
}

bool TFormMain::FormCloseQuery() {
    if (!Doc().DataChanged()) return true;
    return MessageBox::confirm(this, QString::fromLatin1(dbase::msg::ExitQuestion)) == MessageBox::Yes;
}

void TFormMain::FormClose() {
    if (workFileWritten_ && !files_.workFile.isEmpty()) QFile::remove(files_.workFile);
    workFileWritten_ = false;
}
