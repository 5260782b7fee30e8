#include "TFormUpgrade.h"

#include "base/Messages.h"
#include "serial/QtSerialPort.h"
#include "settings/PortSetting.h"
#include "ui/InputDialog.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextOption>
#include <QTimer>
#include <QToolButton>

namespace upgrade {

namespace {

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kFieldGrey(0xC0, 0xC0, 0xC0);

QFont ArialPx(int px, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

QLabel* NavyLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, kNavy);
    l->setPalette(p);
    l->adjustSize();
    l->move(x, y);
    return l;
}

// Read-only fields stay readable in every phase: they are never disabled.
QLineEdit* GreyField(QLineEdit* e, const char* name, const QRect& r, int fontPx) {
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFont(ArialPx(fontPx));
    QPalette p = e->palette();
    p.setColor(QPalette::Base, kFieldGrey);
    e->setPalette(p);
    e->setGeometry(r);
    return e;
}

QToolButton* FlatButton(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph,
                        const QRect& r) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setIcon(parent->style()->standardIcon(glyph));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setFont(ArialPx(14, true));
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, kMaroon);
    b->setPalette(p);
    b->setGeometry(r);
    return b;
}

LinkJob::Kind CommandKind(bool readMode) { return readMode ? LinkJob::ReadBack : LinkJob::Write; }

} // namespace

ComLamp::ComLamp(QWidget* parent) : QWidget(parent), color_(TFormUpgrade::kLampClosed) { setFixedSize(11, 11); }

void ComLamp::setColor(const QColor& c) {
    if (c == color_) return;
    color_ = c;
    update();
}

StateField::StateField(QWidget* parent, const QRect& oneLine, int tallHeight)
    : QLineEdit(parent), oneLine_(oneLine), tallHeight_(tallHeight) {
    connect(this, &QLineEdit::textChanged, this, &StateField::Fit);
}

void StateField::Fit() {
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const int room = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this).width() - 4;
    const bool wrap = fontMetrics().horizontalAdvance(text()) > room;
    if (wrap != wrapped_) {
        wrapped_ = wrap;
        setGeometry(wrap ? QRect(oneLine_.topLeft(), QSize(oneLine_.width(), tallHeight_)) : oneLine_);
    }
    setToolTip(wrap ? text() : QString());
    update();
}

void StateField::paintEvent(QPaintEvent* e) {
    if (!wrapped_) return QLineEdit::paintEvent(e);
    QPainter p(this);
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this).adjusted(2, 0, -2, 0);
    QTextOption wrapping(Qt::AlignLeft | Qt::AlignVCenter);
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRectF(r), text(), wrapping);
}

void ComLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(color_);
    p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

TFormUpgrade::TFormUpgrade(Command command, QString path, bool is256K, LinkOptions options, QWidget* parent)
    : QDialog(parent), ReadMode(command == Command::ReadBack), path_(std::move(path)), is256K_(is256K),
      options_(std::move(options)) {
    BuildForm();
    FormCreate();

    const serial::PortListProvider* ports = options_.ports ? options_.ports : &serial::DefaultPortList();
    if (!options_.settingsFile.isEmpty())
        otherPort_ = QString::fromStdString(dbase::ReadOtherPort(options_.settingsFile.toStdString()));
    FillPorts(*ports);
    CB_Com->setCurrentIndex(0);
    PortFactory makePort = options_.makePort;
    if (!makePort) makePort = [ports] { return std::make_unique<serial::QtSerialPort>(ports); };
    std::shared_ptr<dbase::LinkClock> clock = options_.clock;
    if (!clock) clock = std::make_shared<dbase::SteadyLinkClock>();
    runner_ = new LinkRunner(std::move(makePort), std::move(clock), this);

    connect(runner_, &LinkRunner::stateShown, Edit_Start, &QLineEdit::setText);
    connect(runner_, &LinkRunner::fileNameShown, Edit_FileName, &QLineEdit::setText);
    connect(runner_, &LinkRunner::progressShown, this, [this](int value, int maximum) {
        ProgressBarMain->setRange(0, maximum);
        ProgressBarMain->setValue(value);
    });
    connect(runner_, &LinkRunner::lampShown, this,
            [this](bool open) { Shape_ComState->setColor(open ? kLampOpen : kLampClosed); });
    // Only the port choice takes input in the upper panel; the fields stay readable.
    connect(runner_, &LinkRunner::portsEnabled, CB_Com, &QWidget::setEnabled);
    connect(runner_, &LinkRunner::flashBusy, this, [this](bool busy) { flashBusy_ = busy; });
    connect(runner_, &LinkRunner::exchangeEnded, this, &TFormUpgrade::OnExchangeEnded);
    connect(runner_, &LinkRunner::finished, this, &TFormUpgrade::OnFinished);
    connect(CB_Com, &QComboBox::activated, this, &TFormUpgrade::CB_ComSelect);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFormUpgrade::SpeedButton1Click);
    connect(SB_Cancel, &QToolButton::clicked, this, &TFormUpgrade::SB_CancelClick);
    connect(SB_Verify, &QToolButton::clicked, this, &TFormUpgrade::SB_VerifyClick);
}

TFormUpgrade::~TFormUpgrade() { runner_->Shutdown(); }

void TFormUpgrade::BuildForm() {
    setObjectName(QStringLiteral("FormUpgrade"));
    setWindowTitle(QStringLiteral("Communication Settings  (Upgrade Data)"));
    // No close box: Cancel closes the dialog.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(415, 180);
    setFont(ArialPx(14));

    Panel_Form = new QFrame(this);
    Panel_Form->setObjectName(QStringLiteral("Panel_Form"));
    Panel_Form->setFrameShape(QFrame::StyledPanel);
    Panel_Form->setGeometry(0, 0, 415, 152);

    Label2 = NavyLabel(Panel_Form, "Label2", QStringLiteral("Settings  COM:"), 12, 14);
    Shape_ComState = new ComLamp(Panel_Form);
    Shape_ComState->setObjectName(QStringLiteral("Shape_ComState"));
    Shape_ComState->move(112, 17);
    CB_Com = new QComboBox(Panel_Form);
    CB_Com->setObjectName(QStringLiteral("CB_Com"));
    CB_Com->setMaxVisibleItems(10);
    CB_Com->setGeometry(128, 10, 116, 24);
    Label7 = NavyLabel(Panel_Form, "Label7", QStringLiteral("Baudrates:"), 250, 14);
    // Wide enough for the whole "115200[bps]".
    Edit_Bau = GreyField(new QLineEdit(Panel_Form), "Edit_Bau", QRect(322, 10, 84, 24), 14);
    Edit_Bau->setText(QStringLiteral("115200[bps]"));

    Label_FileName = NavyLabel(Panel_Form, "Label_FileName", QStringLiteral("File Name:"), 12, 50);
    Edit_FileName = GreyField(new QLineEdit(Panel_Form), "Edit_FileName", QRect(100, 46, 306, 24), 12);
    Label_State = NavyLabel(Panel_Form, "Label_State", QStringLiteral("Nonce State:"), 12, 86);
    // A long text (a port's fault) wraps onto a second line, above the progress bar.
    const QRect stateLine(100, 82, 306, 24);
    Edit_Start = new StateField(Panel_Form, stateLine, 38);
    GreyField(Edit_Start, "Edit_Start", stateLine, 12);

    ProgressBarMain = new QProgressBar(Panel_Form);
    ProgressBarMain->setObjectName(QStringLiteral("ProgressBarMain"));
    ProgressBarMain->setTextVisible(false);
    ProgressBarMain->setGeometry(13, 124, 388, 10);

    PanelOK = new QFrame(this);
    PanelOK->setObjectName(QStringLiteral("PanelOK"));
    PanelOK->setGeometry(0, 152, 415, 28);
    SpeedButton1 = FlatButton(PanelOK, "SpeedButton1", QStringLiteral("Restart"), QStyle::SP_BrowserReload,
                              QRect(100, 2, 100, 24));
    SB_Cancel = FlatButton(PanelOK, "SB_Cancel", QStringLiteral("Cancel"), QStyle::SP_DialogCancelButton,
                           QRect(215, 2, 100, 24));
    // Offered once a write has succeeded; beside the others, so that none of
    // them moves under the pointer when it appears.
    SB_Verify =
        FlatButton(PanelOK, "SB_Verify", QStringLiteral("Verify"), QStyle::SP_DialogApplyButton, QRect(322, 2, 88, 24));
    SB_Verify->hide();
}

void TFormUpgrade::FillPorts(const serial::PortListProvider& ports) {
    rows_ = serial::RowDevices(ports);
    for (int n = 1; n <= serial::kPortRows; ++n) CB_Com->addItem(serial::RowText(n, rows_[n - 1]));
    if (!otherPort_.isEmpty()) CB_Com->addItem(otherPort_);
    CB_Com->addItem(kOtherPortItem);
    // The list opens wide enough for its longest row.
    int widest = 0;
    for (int i = 0; i < CB_Com->count(); ++i)
        widest = std::max(widest, CB_Com->fontMetrics().horizontalAdvance(CB_Com->itemText(i)));
    CB_Com->view()->setMinimumWidth(widest + 24);
}

int TFormUpgrade::OtherPortRow() const { return CB_Com->count() - 1; }

QString TFormUpgrade::DeviceOfRow(int row) const {
    if (row >= 0 && row < rows_.size()) return rows_[row].path;
    if (row == serial::kPortRows && !IsOtherPortRow(row)) return otherPort_;
    return {};
}

LinkResult TFormUpgrade::ReadBack(QWidget* parent, const QString& path, bool is256K, LinkOptions options) {
    TFormUpgrade dialog(Command::ReadBack, path, is256K, std::move(options), parent);
    dialog.setWindowTitle(QString());
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.StartCommand(); });
    dialog.exec();
    return dialog.Result();
}

LinkResult TFormUpgrade::Write(QWidget* parent, const QString& path, bool is256K, LinkOptions options) {
    if (dbase::Status s = dbase::CheckImageFile(path.toStdString(), is256K); !s)
        return {Outcome::Refused, QString::fromStdString(s.message())};
    TFormUpgrade dialog(Command::Write, path, is256K, std::move(options), parent);
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.StartCommand(); });
    dialog.exec();
    return dialog.Result();
}

void TFormUpgrade::FormCreate() { ProgressBarMain->setValue(0); }

void TFormUpgrade::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

void TFormUpgrade::FormShow() {
    runner_->SetActive(true);
    Panel_Form->setEnabled(true);
    CB_Com->setEnabled(true);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

quint64 TFormUpgrade::Run(LinkJob::Kind kind, ExchangeOptions options) {
    const int row = CB_Com->currentIndex();
    chosenRow_ = row;
    const QString device = DeviceOfRow(row);
    if (device.isEmpty()) {
        // Nothing to open on this row: say so at once rather than trying to
        // connect for ever. Whatever ran on the port before is given up.
        runner_->Stop();
        runner_->ClosePort();
        latestId_ = 0;
        Shape_ComState->setColor(kLampClosed);
        CB_Com->setEnabled(true);
        SB_Verify->hide();
        Edit_Start->setText(QStringLiteral("There is no serial port on %1.").arg(serial::RowLabel(row + 1)));
        return 0;
    }
    LinkJob job;
    job.kind = kind;
    job.path = path_;
    job.is256K = is256K_;
    job.port = row + 1;
    job.device = device;
    job.options = options;
    if (kind == LinkJob::Verify) {
        SB_Verify->setEnabled(false);
    } else {
        succeeded_ = false;
        SB_Verify->hide();
    }
    latestId_ = runner_->Start(job);
    if (kind == LinkJob::Verify) verifyId_ = latestId_;
    return latestId_;
}

void TFormUpgrade::StartCommand() { commandId_ = Run(CommandKind(ReadMode), {.pauseMs = kCommandPauseMs}); }

void TFormUpgrade::CB_ComSelect(int row) {
    if (IsOtherPortRow(row) && !AskOtherPort()) {
        CB_Com->setCurrentIndex(chosenRow_);
        return;
    }
    Shape_ComState->setColor(kLampClosed);
    Run(CommandKind(ReadMode), {.closeFirst = true, .closeOnFailure = true});
}

bool TFormUpgrade::AskOtherPort() {
    const QString path = ui::InputDialog::getText(this, QStringLiteral("Other port"),
                                                  QStringLiteral("Device path of the receiver's serial port:"),
                                                  otherPort_.isEmpty() ? QStringLiteral("/dev/") : otherPort_);
    if (path.isEmpty()) return false;
    if (!dbase::IsDevicePath(path.toStdString())) {
        Edit_Start->setText(QStringLiteral("%1 is not a device path.").arg(path));
        return false;
    }
    RememberOtherPort(path);
    return true;
}

void TFormUpgrade::RememberOtherPort(const QString& device) {
    const int row = serial::kPortRows;
    if (otherPort_.isEmpty())
        CB_Com->insertItem(row, device);
    else
        CB_Com->setItemText(row, device);
    otherPort_ = device;
    CB_Com->setCurrentIndex(row);
    // A settings file that can not be written only costs the remembering.
    if (!options_.settingsFile.isEmpty())
        (void)dbase::WriteOtherPort(options_.settingsFile.toStdString(), device.toStdString());
}

bool TFormUpgrade::MayStop() {
    return !flashBusy_ || ui::MessageBox::confirm(this, QString::fromLatin1(kStopFlashQuestion)) == ui::MessageBox::Yes;
}

void TFormUpgrade::SpeedButton1Click() {
    if (!MayStop()) return;
    ProgressBarMain->setValue(0);
    Shape_ComState->setColor(kLampClosed);
    Run(CommandKind(ReadMode), {.closeFirst = true});
}

void TFormUpgrade::SB_VerifyClick() {
    ProgressBarMain->setValue(0);
    Shape_ComState->setColor(kLampClosed);
    Run(LinkJob::Verify, {.closeFirst = true});
}

void TFormUpgrade::SB_CancelClick() {
    if (!MayStop()) return;
    // Clearing LinkActive ends the running exchange at its next poll; the
    // port closes once it has.
    runner_->SetActive(false);
    runner_->ClosePort();
    Shape_ComState->setColor(kLampClosed);
    hide();
    Finish(succeeded_ ? Outcome::Success : Outcome::Cancelled);
}

void TFormUpgrade::OnExchangeEnded(quint64 id, bool ok, bool superseded, const QString& error) {
    if (superseded || finished_ || id != latestId_) return;
    if (id == verifyId_) {
        SB_Verify->setEnabled(true);
        return;
    }
    succeeded_ = ok;
    message_ = error;
    if (ok && !ReadMode) {
        SB_Verify->setEnabled(true);
        SB_Verify->show();
    }
    if (id == commandId_) return; // the command decides after its pause
    if (ok && ReadMode) {
        // A read-back started from the dialog: the file is there to be opened.
        Edit_Start->setText(QString::fromLatin1(dbase::msg::OpeningReceived));
        Finish(Outcome::Success);
    } else if (!ok) {
        CB_Com->setEnabled(true);
    }
}

void TFormUpgrade::OnFinished(quint64 id) {
    // Once the dialog has started another exchange, the command's own has
    // been superseded and ends quietly.
    if (id != commandId_ || id != latestId_ || finished_) return;
    if (!succeeded_) {
        Finish(Outcome::Failed);
    } else if (ReadMode) {
        Edit_Start->setText(QString::fromLatin1(dbase::msg::OpeningReceived));
        Finish(Outcome::Success);
    }
    // A successful write keeps the dialog, showing "Update Success!", until Cancel.
}

void TFormUpgrade::Finish(Outcome outcome) {
    if (finished_) return;
    finished_ = true;
    outcome_ = outcome;
    done(outcome == Outcome::Success ? QDialog::Accepted : QDialog::Rejected);
}

void TFormUpgrade::closeEvent(QCloseEvent* e) {
    // The window system's close acts as Cancel, and asks the same question.
    if (!finished_) SB_CancelClick();
    if (!finished_) {
        e->ignore();
        return;
    }
    e->accept();
}

void TFormUpgrade::reject() {
    // Esc: as Cancel, except while the receiver's flash is being written.
    if (!finished_ && !flashBusy_) SB_CancelClick();
}

} // namespace upgrade
