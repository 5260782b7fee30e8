#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

// Resources of a static library are registered by hand.
static void InitImages() { Q_INIT_RESOURCE(images); }

namespace pictures {

namespace {

QPixmap Blank(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

void DrawFolder(QPainter& p, bool hot) {
    const QColor back = hot ? QColor(255, 214, 92) : QColor(222, 170, 40);
    const QColor front = hot ? QColor(255, 232, 140) : QColor(244, 200, 76);
    p.setPen(QPen(QColor(130, 90, 10), 1));
    p.setBrush(back);
    QPainterPath tab;
    tab.moveTo(2, 4);
    tab.lineTo(8, 4);
    tab.lineTo(10, 6);
    tab.lineTo(17, 6);
    tab.lineTo(17, 16);
    tab.lineTo(2, 16);
    tab.closeSubpath();
    p.drawPath(tab);
    p.setBrush(front);
    QPainterPath lid;
    lid.moveTo(4, 9);
    lid.lineTo(19, 9);
    lid.lineTo(17, 16);
    lid.lineTo(2, 16);
    lid.closeSubpath();
    p.drawPath(lid);
}

void DrawHelp(QPainter& p, bool hot) {
    p.setPen(QPen(QColor(20, 50, 120), 1));
    p.setBrush(hot ? QColor(70, 140, 255) : QColor(40, 100, 210));
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(14);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 17, 17), Qt::AlignCenter, QStringLiteral("?"));
}

void DrawExit(QPainter& p, bool hot) {
    // A door frame with an arrow leaving through it.
    p.setPen(QPen(QColor(90, 30, 20), 1));
    p.setBrush(hot ? QColor(200, 120, 90) : QColor(160, 90, 60));
    p.drawRect(QRectF(2.5, 2.5, 9, 15));
    p.setBrush(QColor(60, 30, 20));
    p.drawEllipse(QRectF(8, 9.5, 2, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(hot ? QColor(255, 60, 40) : QColor(210, 30, 20));
    QPainterPath arrow;
    arrow.moveTo(10, 8);
    arrow.lineTo(14, 8);
    arrow.lineTo(14, 5);
    arrow.lineTo(19, 10);
    arrow.lineTo(14, 15);
    arrow.lineTo(14, 12);
    arrow.lineTo(10, 12);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

// Sixteen well separated hues for the favourite groups.
QColor GroupColour(int g) { return QColor::fromHsv((g * 360 / 16 + (g % 2) * 180) % 360, 170, 215); }

void DrawReceiver(QPainter& p, bool hot) {
    // A set-top box with a small dish above it.
    p.setPen(QPen(QColor(30, 40, 60), 1));
    p.setBrush(hot ? QColor(90, 110, 150) : QColor(60, 75, 110));
    p.drawRoundedRect(QRectF(1.5, 11.5, 17, 6.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 220, 90));
    p.drawEllipse(QRectF(14, 13.8, 2.2, 2.2));
    p.setPen(QPen(QColor(120, 120, 130), 1.2));
    p.setBrush(hot ? QColor(235, 235, 240) : QColor(205, 205, 215));
    p.drawChord(QRectF(3, 0.5, 11, 11), 200 * 16, 180 * 16);
    p.drawLine(QPointF(8.5, 7), QPointF(12.5, 3));
}

void DrawEdit(QPainter& p, bool hot) {
    // An arrow bending back to the left: the step taken back.
    p.setPen(QPen(hot ? QColor(40, 150, 70) : QColor(30, 115, 55), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath bend;
    bend.moveTo(6, 8);
    bend.lineTo(12, 8);
    bend.cubicTo(19, 8, 19, 17, 12, 17);
    bend.lineTo(8, 17);
    p.drawPath(bend);
    p.setPen(Qt::NoPen);
    p.setBrush(hot ? QColor(40, 150, 70) : QColor(30, 115, 55));
    QPainterPath head;
    head.moveTo(1.5, 8);
    head.lineTo(7.5, 3);
    head.lineTo(7.5, 13);
    head.closeSubpath();
    p.drawPath(head);
}

} // namespace

QPixmap Toolbar(ToolbarImage image, bool hot) {
    QPixmap pm = Blank(20, 20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case FileImage: DrawFolder(p, hot); break;
    case HelpImage: DrawHelp(p, hot); break;
    case ExitImage: DrawExit(p, hot); break;
    case ReceiverImage: DrawReceiver(p, hot); break;
    case EditImage: DrawEdit(p, hot); break;
    }
    return pm;
}

QIcon ToolbarIcon(ToolbarImage image) {
    QIcon icon;
    icon.addPixmap(Toolbar(image, false), QIcon::Normal);
    icon.addPixmap(Toolbar(image, true), QIcon::Active);
    return icon;
}

QIcon MarkButton(int button) {
    QPixmap pm = Blank(18, 18);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (button >= 0 && button < 16) {
        // A small heart in the group's colour with the group number on it.
        const QColor c = GroupColour(button);
        p.setPen(QPen(c.darker(160), 1));
        p.setBrush(c);
        QPainterPath heart;
        heart.moveTo(9, 16.5);
        heart.cubicTo(1, 10, 0.5, 5, 3.5, 2.5);
        heart.cubicTo(6, 0.8, 8.5, 2.5, 9, 4.5);
        heart.cubicTo(9.5, 2.5, 12, 0.8, 14.5, 2.5);
        heart.cubicTo(17.5, 5, 17, 10, 9, 16.5);
        p.drawPath(heart);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(button < 9 ? 9 : 8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 2, 18, 12), Qt::AlignCenter, QString::number(button + 1));
    } else if (button == 16) {
        // Skip: two triangles and a bar.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 40, 140));
        QPolygonF a({{2, 4}, {8, 9}, {2, 14}});
        QPolygonF b({{8, 4}, {14, 9}, {8, 14}});
        p.drawPolygon(a);
        p.drawPolygon(b);
        p.drawRect(QRectF(14, 4, 2.5, 10));
    } else {
        // Lock: a padlock.
        p.setPen(QPen(QColor(40, 90, 100), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 2, 8, 10), 0, 180 * 16);
        p.drawLine(QPointF(5, 7), QPointF(5, 9));
        p.drawLine(QPointF(13, 7), QPointF(13, 9));
        p.setPen(QPen(QColor(40, 90, 100), 1));
        p.setBrush(QColor(60, 160, 170));
        p.drawRoundedRect(QRectF(3, 8.5, 12, 8), 1.5, 1.5);
        p.setBrush(QColor(20, 50, 60));
        p.drawEllipse(QRectF(8, 11, 2, 2));
    }
    return QIcon(pm);
}

QPixmap Background() {
    InitImages();
    return QPixmap(QStringLiteral(":/images/background.jpg"), "JPG");
}

} // namespace pictures

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), QColor(221, 221, 221));
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), picture_);
}
