#include "TFormFace.h"

#include "ui/FormSetup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TFormFace::TFormFace(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FormFace"));
    ui::ApplyFormScaling(this);
    ui::MarkAsOverlay(this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    Label1 = new QLabel(QStringLiteral("File is being opened now. Please wait......"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(ui::ArialPx(21));
    Label1->setAlignment(Qt::AlignCenter);
    QPalette lp = Label1->palette();
    lp.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(lp);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
}

void TFormFace::ShowWith(const QString& text) {
    Label1->setText(text);
    setWindowOpacity(kAlpha / 255.0);
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
    show();
    raise();
    repaint();
    // The form must be on screen before the work blocks the event loop; user
    // input stays queued so nothing else starts meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

WaitingForm::WaitingForm(QWidget* parent, const QString& text) : face_(new TFormFace(parent)) { face_->ShowWith(text); }

WaitingForm::~WaitingForm() { close(); }

void WaitingForm::close() {
    if (!face_) return;
    face_->hide();
    delete face_;
    face_ = nullptr;
}
