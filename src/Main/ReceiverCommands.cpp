// The receiver link from the main window: the "Receiver" toolbar button, the
// read-back of the receiver's database into a file and the write of the open
// file into the receiver.
#include "TFormMain.h"

#include "Upgrade/TFormUpgrade.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

using ui::MessageBox;

void TFormMain::BuildReceiverMenu() {
    PM_Receiver = new QMenu(this);
    PM_Receiver->setObjectName(QStringLiteral("PM_Receiver"));
    ReadReceiver = PM_Receiver->addMenu(QStringLiteral("Read from receiver"));
    ReadReceiver->setObjectName(QStringLiteral("ReadReceiver"));
    ReadChannel = ReadReceiver->addAction(QStringLiteral("Channel Data(256K)"));
    ReadChannel->setObjectName(QStringLiteral("ReadChannel"));
    ReadDefault = ReadReceiver->addAction(QStringLiteral("Default Data(128K)"));
    ReadDefault->setObjectName(QStringLiteral("ReadDefault"));
    WriteReceiver = PM_Receiver->addAction(QStringLiteral("Write to receiver"));
    WriteReceiver->setObjectName(QStringLiteral("WriteReceiver"));
    connect(PM_Receiver, &QMenu::aboutToShow, this, &TFormMain::PM_ReceiverPopup);
    connect(ReadChannel, &QAction::triggered, this, [this] { ReadDataClick(true); });
    connect(ReadDefault, &QAction::triggered, this, [this] { ReadDataClick(false); });
    connect(WriteReceiver, &QAction::triggered, this, &TFormMain::WriteChannelDataClick);
}

namespace {

// The dialog remembers its "Other port..." device in the window's settings file.
upgrade::LinkOptions WithSettings(upgrade::LinkOptions options, const QString& settingsFile) {
    if (options.settingsFile.isEmpty()) options.settingsFile = settingsFile;
    return options;
}

} // namespace

void TFormMain::TB_ReceiverClick() { PM_Receiver->popup(QCursor::pos()); }

void TFormMain::PM_ReceiverPopup() { WriteReceiver->setEnabled(Doc().FileOpened()); }

void TFormMain::ReadDataClick(bool channel) {
    const QString path = ui::FileDialog::getSaveFileName(
        this, QStringLiteral("Save As..."), QString::fromLatin1(kDataFileFilter), QString::fromLatin1(kDataFileSuffix));
    if (path.isEmpty() || !DestinationUsable(path)) return;
    if (QFileInfo(path).exists() &&
        MessageBox::confirm(this, QString::fromLatin1(dbase::msg::OverwriteQuestion)) != MessageBox::Yes)
        return;
    // The file the read-back may replace is kept first, as a save keeps it.
    ShowNote({});
    if (const dbase::Status s = Doc().BackUpBeforeWrite(QFile::encodeName(path).toStdString()); !s) {
        MessageBox::error(this, ui::MessageText(s.message()));
        return;
    }
    NoteBackup();

    // The kind chosen here holds for this exchange only; the open file keeps
    // its own kind until the received file is opened.
    const upgrade::LinkResult result =
        upgrade::TFormUpgrade::ReadBack(this, path, channel, WithSettings(ReceiverLinkOptions, Files().settingsFile));
    raise();
    activateWindow();
    if (result.outcome != upgrade::Outcome::Success) {
        if (result.outcome == upgrade::Outcome::Failed && !result.message.isEmpty())
            MessageBox::error(this, ui::MessageText(result.message));
        return;
    }
    if (!ConfirmDiscard()) return;
    SetCurrentFile(path);
    Doc().SetIs256K(channel);
    if (OpenImageFile(path)) NoteBackup();
}

void TFormMain::WriteChannelDataClick() {
    if (!Doc().FileOpened()) return;
    // Unsaved changes go into the file first, as Save does; a failed save
    // has shown its error and nothing is sent.
    if (Doc().DataChanged() && !SaveCurrentFile()) return;
    if (const dbase::Status s = dbase::CheckInputFile(QFile::encodeName(CurrentFile()).toStdString()); !s) {
        MessageBox::error(this, ui::MessageText(s.message()));
        return;
    }
    const upgrade::LinkResult result = upgrade::TFormUpgrade::Write(
        this, CurrentFile(), Doc().Is256K(), WithSettings(ReceiverLinkOptions, Files().settingsFile));
    raise();
    activateWindow();
    if ((result.outcome == upgrade::Outcome::Refused || result.outcome == upgrade::Outcome::Failed) &&
        !result.message.isEmpty())
        MessageBox::error(this, ui::MessageText(result.message));
}
