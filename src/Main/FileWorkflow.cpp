// Opening, saving and the recent-file list of the main window.
#include "Face/TFormFace.h"
#include "Pictures.h"
#include "TFormMain.h"
#include "base/Messages.h"
#include "format/DataFile.h"
#include "settings/RecentFiles.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <utility>

using ui::MessageBox;

namespace {

const QString kFilter = QString::fromLatin1(kDataFileFilter);
const QString kSuffix = QString::fromLatin1(kDataFileSuffix);

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool Exists(const QString& path, uint64_t* size = nullptr) { return dbase::CheckInputFile(Native(path), size).ok(); }

// How often a file handed over while the window is busy looks for a chance to open.
constexpr int kHandOffPollMs = 100;

} // namespace

QString TFormMain::CurrentFile() const { return QFile::decodeName(QByteArray::fromStdString(Doc().Path())); }

void TFormMain::SetCurrentFile(const QString& path) { Doc().SetPath(Native(path)); }

bool TFormMain::DestinationUsable(const QString& path) {
    const dbase::Status s = dbase::CheckDestination(Native(path));
    if (!s) MessageBox::error(this, ui::MessageText(s.message()));
    return s.ok();
}

bool TFormMain::IdleForHandOff() const {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || ui::OverlayVisible()) return false;
    // In a nested event loop a command is still on the stack, even in the
    // moment after its dialog has closed.
    return QThread::currentThread()->loopLevel() <= 1;
}

namespace {

// A message as one line: its breaks as single blanks.
QString OneLine(const std::string& text) {
    std::string line;
    for (char c : text)
        if (c != '\r' && c != '\n')
            line += c;
        else if (!line.empty() && !line.ends_with(' '))
            line += ' ';
    return QFile::decodeName(QByteArray::fromStdString(line));
}

} // namespace

void TFormMain::NoteSettingsWrite(const dbase::Status& status) {
    if (status.ok()) return;
    const QString line = OneLine("The list of recent files can not be kept: " + status.message());
    ShowNote(line);
    if (settingsWarned_) return;
    settingsWarned_ = true;
    std::fprintf(stderr, "orbitlist: %s\n", QFile::encodeName(line).constData());
}

void TFormMain::NoteBackup() {
    const dbase::BackupResult& backup = Doc().LastBackup();
    if (backup.outcome == dbase::BackupResult::Outcome::Made)
        ShowNote(QStringLiteral("Backup of the file as it was: ") +
                 QFile::decodeName(QByteArray::fromStdString(backup.backup)));
    else if (backup.outcome == dbase::BackupResult::Outcome::NoPlace)
        ShowNote(OneLine(dbase::NoBackupNote(backup)));
}

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
    if (files_.workFile.isEmpty()) {
        // Without a private folder there is no place for the working file.
        std::string dir;
        const dbase::Status why = dbase::DataDirectory(dir);
        MessageBox::error(
            this, ui::MessageText(QStringLiteral("The file can not be opened!\r\r") +
                                  QString::fromStdString(why.ok() ? "No working file is set." : why.message())));
        return false;
    }
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
    if (const dbase::Status s = dbase::CheckInputFile(Native(path), &size); !s)
        return failed(ui::MessageText(s.message()));
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
    dbase::RecentFileList current, updated;
    if (const dbase::Status read = dbase::ReadRecentFiles(ini, current); !read)
        NoteSettingsWrite(read);
    else if (dbase::RecentAfterOpen(current, Native(path), updated))
        NoteSettingsWrite(dbase::WriteRecentFiles(ini, updated));

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
    if (const dbase::Status s = dbase::CheckInputFile(name, &size); !s) {
        MessageBox::error(this, ui::MessageText(s.message()));
        // Only a file that is gone leaves the list.
        dbase::RecentFileList updated;
        if (s.code() == dbase::StatusCode::NotFound && dbase::RecentAfterRemoval(RecentFiles, name, updated))
            NoteSettingsWrite(dbase::WriteRecentFiles(Native(files_.settingsFile), updated));
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
    // A file that comes while a dialog, a box, a menu, the waiting form or
    // the communication dialog is up would be opened under the command that
    // showed it, which then goes on with the new file's data. It waits until
    // the window is idle; a later one takes its place.
    pendingOpen_ = QFileInfo(path).absoluteFilePath();
    if (IdleForHandOff()) {
        OpenPendingFile();
        return;
    }
    if (!handOffTimer_) {
        handOffTimer_ = new QTimer(this);
        handOffTimer_->setInterval(kHandOffPollMs);
        connect(handOffTimer_, &QTimer::timeout, this, [this] {
            if (IdleForHandOff()) OpenPendingFile();
        });
    }
    handOffTimer_->start();
}

void TFormMain::OpenPendingFile() {
    if (handOffTimer_) handOffTimer_->stop();
    const QString path = std::exchange(pendingOpen_, QString());
    if (path.isEmpty()) return;
    uint64_t size = 0;
    if (const dbase::Status s = dbase::CheckInputFile(Native(path), &size); !s) {
        MessageBox::error(this, ui::MessageText(s.message()));
        return;
    }
    if (!ConfirmDiscard()) return;
    SetCurrentFile(path);
    Doc().SetIs256K(dbase::KindFromSize(size));
    OpenImageFile(path);
}

void TFormMain::PMSaveClick() { (void)SaveCurrentFile(); }

bool TFormMain::SaveCurrentFile() {
    if (!Doc().FileOpened()) return false;
    if (!DestinationUsable(CurrentFile())) return false;
    ShowNote({});
    dbase::Status status;
    {
        WaitingForm wait(this, QString::fromLatin1(dbase::msg::Saving));
        status = Doc().Save(dbase::SaveModeForSave(Doc().Is256K()), Doc().Path(), Native(files_.workFile));
    }
    // A failed save, or a failed backup before it, keeps the old file and the unsaved state.
    if (!status) {
        MessageBox::error(this, ui::MessageText(status.message()));
        return false;
    }
    workFileWritten_ = true;
    NoteBackup();
    return true;
}

void TFormMain::Save_DataClick(bool channel) {
    if (!Doc().FileOpened()) return;
    const dbase::SaveMode mode = dbase::SaveModeForSaveAs(Doc().Is256K(), channel);
    const QString name = ui::FileDialog::getSaveFileName(this, QStringLiteral("Save As..."), kFilter, kSuffix);
    if (name.isEmpty()) return;
    if (!DestinationUsable(name)) return;
    if (Exists(name) &&
        MessageBox::confirm(this, QString::fromLatin1(dbase::msg::OverwriteQuestion)) != MessageBox::Yes)
        return;

    const QString oldLabel = LabelFileName->text();
    const QString oldFile = CurrentFile();
    ShowFileName(QStringLiteral("FileName:  "), name);
    SetCurrentFile(name);
    ShowNote({});
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
    if (OpenImageFile(name, true)) NoteBackup();
}

bool TFormMain::FormCloseQuery() {
    if (!Doc().DataChanged()) return true;
    return MessageBox::confirm(this, QString::fromLatin1(dbase::msg::ExitQuestion)) == MessageBox::Yes;
}

void TFormMain::FormClose() {
    if (workFileWritten_ && !files_.workFile.isEmpty()) QFile::remove(files_.workFile);
    workFileWritten_ = false;
}
