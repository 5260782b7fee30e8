#include "TFormUpgrade.h"

#include "dbase/Messages.h"
#include "serial/QtSerialPort.h"

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

QLineEdit* GreyField(QWidget* parent, const char* name, const QRect& r, int fontPx) {
    auto* e = new QLineEdit(parent);
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

} // namespace

ComLamp::ComLamp(QWidget* parent) : QWidget(parent), color_(TFormUpgrade::kLampClosed) {
    setFixedSize(11, 11);
}

void ComLamp::setColor(const QColor& c) {
    if (c == color_) return;
    color_ = c;
    update();
}

void ComLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(color_);
    p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

TFormUpgrade::TFormUpgrade(bool readMode, const QString& path, bool is256K, LinkOptions options,
                           QWidget* parent)
    : QDialog(parent), ReadMode(readMode), path_(path), is256K_(is256K), options_(std::move(options)) {
    BuildForm();
    FormCreate();

    const serial::PortListProvider* ports = options_.ports ? options_.ports : &serial::DefaultPortList();
    CB_Com->addItems(serial::PortRows(*ports));
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
    connect(runner_, &LinkRunner::portsEnabled, Panel_Form, &QWidget::setEnabled);
    connect(runner_, &LinkRunner::exchangeEnded, this, &TFormUpgrade::OnExchangeEnded);
    connect(runner_, &LinkRunner::finished, this, &TFormUpgrade::OnFinished);
    connect(CB_Com, &QComboBox::activated, this, &TFormUpgrade::CB_ComSelect);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFormUpgrade::SpeedButton1Click);
    connect(SB_Cancel, &QToolButton::clicked, this, &TFormUpgrade::SB_CancelClick);
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
    CB_Com->setGeometry(128, 10, 130, 24);
    Label7 = NavyLabel(Panel_Form, "Label7", QStringLiteral("Baudrates:"), 266, 14);
    Edit_Bau = GreyField(Panel_Form, "Edit_Bau", QRect(338, 10, 68, 24), 14);
    Edit_Bau->setText(QStringLiteral("115200[bps]"));

    Label_FileName = NavyLabel(Panel_Form, "Label_FileName", QStringLiteral("File Name:"), 12, 50);
    Edit_FileName = GreyField(Panel_Form, "Edit_FileName", QRect(100, 46, 306, 24), 12);
    Label_State = NavyLabel(Panel_Form, "Label_State", QStringLiteral("Nonce State:"), 12, 86);
    Edit_Start = GreyField(Panel_Form, "Edit_Start", QRect(100, 82, 306, 24), 12);

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
}

LinkResult TFormUpgrade::ReadBack(QWidget* parent, const QString& path, bool is256K, LinkOptions options) {
    TFormUpgrade dialog(true, path, is256K, std::move(options), parent);
    dialog.setWindowTitle(QString());
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.StartCommand(); });
    dialog.exec();
    return dialog.Result();
}

LinkResult TFormUpgrade::Write(QWidget* parent, const QString& path, bool is256K, LinkOptions options) {
    if (dbase::Status s = dbase::CheckImageFile(path.toStdString(), is256K); !s)
        return {Outcome::Refused, QString::fromStdString(s.message())};
    TFormUpgrade dialog(false, path, is256K, std::move(options), parent);
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
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

quint64 TFormUpgrade::Run(bool closeFirst, bool closeOnFailure, int pauseMs) {
    LinkJob job;
    job.readBack = ReadMode;
    job.path = path_;
    job.is256K = is256K_;
    job.port = CB_Com->currentIndex() + 1; // no selection gives 0, which keeps the last port
    job.closeFirst = closeFirst;
    job.closeOnFailure = closeOnFailure;
    job.pauseMs = pauseMs;
    succeeded_ = false;
    latestId_ = runner_->Start(job);
    return latestId_;
}

void TFormUpgrade::StartCommand() { commandId_ = Run(false, false, kCommandPauseMs); }

void TFormUpgrade::CB_ComSelect(int) {
    Shape_ComState->setColor(kLampClosed);
    Run(true, true, 0);
}

void TFormUpgrade::SpeedButton1Click() {
    ProgressBarMain->setValue(0);
    Shape_ComState->setColor(kLampClosed);
    Run(true, false, 0);
}

void TFormUpgrade::SB_CancelClick() {
    // Clearing LinkActive ends the running exchange at its next poll; the
    // port closes once it has.
    runner_->SetActive(false);
    runner_->ClosePort();
    Shape_ComState->setColor(kLampClosed);
    hide();
    Finish(succeeded_ ? Outcome::Success : Outcome::Cancelled);
}

void TFormUpgrade::OnExchangeEnded(quint64 id, bool ok, bool superseded, const QString& error) {
    if (superseded || id != latestId_ || finished_) return;
    succeeded_ = ok;
    message_ = error;
    if (id == commandId_) return; // the command decides after its pause
    if (ok && ReadMode) {
        // A read-back started from the dialog: the file is there to be opened.
        Edit_Start->setText(QString::fromLatin1(dbase::msg::OpeningReceived));
        Finish(Outcome::Success);
    } else if (!ok) {
        Panel_Form->setEnabled(true);
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
    // The window system's close acts as Cancel.
    if (!finished_) SB_CancelClick();
    e->accept();
}

void TFormUpgrade::reject() {
    if (!finished_) SB_CancelClick();
}

} // namespace upgrade
