// The communication dialog: shows an exchange with the receiver's loader
// (state, file, progress, port lamp) and lets the user choose the port,
// restart the exchange, cancel, and verify a finished write. The exchange
// itself runs on a thread of its own (LinkRunner), so every button answers
// at once.
//
// The main window uses the two static entry points:
//   ReadBack(parent, path, is256K): after the user has chosen the file and
//     answered the overwrite question; on Success the caller opens `path`
//     as a file of that kind.
//   Write(parent, path, is256K): after saving unsaved changes; the file is
//     checked like an open first and Refused (with its message) when it
//     fails, before the dialog shows.
// Both run the dialog modally and return when it has closed.
#pragma once

#include "LinkRunner.h"

#include "serial/PortList.h"

#include <QColor>
#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;

namespace upgrade {

// What the dialog is built on; tests replace every part.
struct LinkOptions {
    // The serial devices behind the rows "COM.01" to "COM.10"; the system's list when null.
    const serial::PortListProvider* ports = nullptr;
    // Makes the port, on the link's thread; a Qt SerialPort when empty.
    PortFactory makePort;
    // The clock of the link's waits and pauses; the system clock when null.
    std::shared_ptr<dbase::LinkClock> clock;
    // The settings file that remembers the "Other port..." device; none is
    // remembered when empty.
    QString settingsFile;
};

enum class Outcome {
    Success,   // read-back: the file is written; write: the receiver is programmed
    Failed,    // the exchange failed ("Update failed!")
    Cancelled, // the user pressed Cancel first
    Refused,   // write: the file failed its check; nothing was sent
};

struct LinkResult {
    Outcome outcome = Outcome::Failed;
    QString message; // why, when there is more to say than the state texts
};

// The port lamp: an 11 x 11 ellipse.
class ComLamp : public QWidget {
    Q_OBJECT
public:
    explicit ComLamp(QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
};

// The state field: a read-only line that wraps onto more lines, growing
// downwards, when a text (a port's fault) is too long for one.
class StateField : public QLineEdit {
    Q_OBJECT
public:
    StateField(QWidget* parent, const QRect& oneLine, int tallHeight);
    // Whether the text is shown wrapped.
    bool Wrapped() const { return wrapped_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void Fit();

    QRect oneLine_;
    int tallHeight_;
    bool wrapped_ = false;
};

class TFormUpgrade : public QDialog {
    Q_OBJECT

public:
    inline static const QColor kLampOpen{0x00, 0xFF, 0x00};
    inline static const QColor kLampClosed{0xFF, 0x00, 0x00};
    // The pause after the first exchange of a command, on either outcome.
    static constexpr int kCommandPauseMs = 3000;
    // The last item of the port list.
    inline static const QString kOtherPortItem = QStringLiteral("Other port\u2026");
    // Asked before Cancel or Restart stops a write of the receiver's flash.
    static constexpr const char* kStopFlashQuestion = "The receiver's flash is being written. Stop anyway?";

    // The command a dialog runs.
    enum class Command { ReadBack, Write };

    // A dialog for one command: a read-back into `path` or a write of
    // `path`, of the given kind.
    TFormUpgrade(Command command, QString path, bool is256K, LinkOptions options = {}, QWidget* parent = nullptr);
    ~TFormUpgrade() override;

    static LinkResult ReadBack(QWidget* parent, const QString& path, bool is256K, LinkOptions options = {});
    static LinkResult Write(QWidget* parent, const QString& path, bool is256K, LinkOptions options = {});

    // Runs the command's exchange on the port of the selected row.
    void StartCommand();
    // The outcome so far; final once the dialog has closed.
    LinkResult Result() const { return {outcome_, message_}; }
    // The device a row of the port list opens; empty for a row without one
    // and for "Other port...".
    QString DeviceOfRow(int row) const;

    // Handlers of the dialog's components.
    void FormCreate();
    void FormShow();
    void CB_ComSelect(int row);
    void SpeedButton1Click();
    void SB_CancelClick();
    void SB_VerifyClick();

    bool ReadMode;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void BuildForm();
    void FillPorts(const serial::PortListProvider& ports);
    bool IsOtherPortRow(int row) const { return row >= 0 && row == OtherPortRow(); }
    int OtherPortRow() const;
    bool AskOtherPort();
    void RememberOtherPort(const QString& device);
    quint64 Run(LinkJob::Kind kind, ExchangeOptions options);
    bool MayStop();
    void OnExchangeEnded(quint64 id, bool ok, bool superseded, const QString& error);
    void OnFinished(quint64 id);
    void Finish(Outcome outcome);

    QString path_;
    bool is256K_;
    LinkOptions options_;
    LinkRunner* runner_ = nullptr;   // the component "MSComm"
    QList<serial::PortDevice> rows_; // the devices of "COM.01" to "COM.10", read when the dialog opens
    QString otherPort_;              // the remembered "Other port..." device, its own row when set
    int chosenRow_ = 0;              // the row the last exchange ran on
    quint64 commandId_ = 0;          // the command's own exchange, whose end closes the dialog
    quint64 latestId_ = 0;           // the exchange started last
    quint64 verifyId_ = 0;           // the verify started last
    bool succeeded_ = false;         // the last exchange (not a verify) succeeded
    bool flashBusy_ = false;         // a write is in its request, sending, erase or programming phase
    bool finished_ = false;
    Outcome outcome_ = Outcome::Cancelled;
    QString message_;

    QFrame* Panel_Form = nullptr;
    QLabel* Label2 = nullptr;
    ComLamp* Shape_ComState = nullptr;
    QComboBox* CB_Com = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit_Bau = nullptr;
    QLabel* Label_FileName = nullptr;
    QLineEdit* Edit_FileName = nullptr;
    QLabel* Label_State = nullptr;
    StateField* Edit_Start = nullptr;
    QProgressBar* ProgressBarMain = nullptr;
    QFrame* PanelOK = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SB_Cancel = nullptr;
    QToolButton* SB_Verify = nullptr;
};

} // namespace upgrade
