#include "ListPrint.h"

#include "base/Csv.h"
#include "editing/Lists.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The font sizes tried, largest first, until every column fits the width.
constexpr double kLargestPoints = 9, kSmallestPoints = 5;

} // namespace

ListPrint::ListPrint(const dbase::Database& db, QString fileName, QString date)
    : fileName_(std::move(fileName)), date_(std::move(date)) {
    // The printed columns are the exported list's, texts and all.
    std::vector<dbase::CsvRecord> records;
    (void)dbase::ReadCsv(dbase::ExportListCsv(db), records);
    for (size_t r = 0; r < records.size(); ++r) {
        QStringList cells;
        for (const std::string& f : records[r].fields) cells << QString::fromStdString(f);
        if (r == 0) {
            header_ = cells;
            continue;
        }
        if (cells.value(0) == QLatin1String("tv")) ++tvRows_;
        rows_.push_back(cells);
    }
    font_ = QFont(QStringLiteral("Arial"));
}

void ListPrint::Measure(QPaintDevice& device, double width) {
    for (double points = kLargestPoints; points >= kSmallestPoints; points -= 0.5) {
        font_.setPointSizeF(points);
        QFont bold = font_;
        bold.setBold(true);
        const QFontMetricsF fm(font_, &device), fmBold(bold, &device);
        const double pad = fm.horizontalAdvance(QStringLiteral("  "));
        widths_.assign(static_cast<size_t>(header_.size()), 0);
        for (int c = 0; c < header_.size(); ++c) widths_[static_cast<size_t>(c)] = fmBold.horizontalAdvance(header_[c]);
        for (const QStringList& row : rows_)
            for (int c = 0; c < row.size() && c < header_.size(); ++c)
                widths_[static_cast<size_t>(c)] =
                    std::max(widths_[static_cast<size_t>(c)], fm.horizontalAdvance(row[c]));
        double total = 0;
        for (double& w : widths_) total += (w += pad);
        lineHeight_ = fm.height() * 1.3;
        if (total <= width) return;
        if (points - 0.5 < kSmallestPoints) {
            // Still too wide: every column gives up the same share.
            for (double& w : widths_) w *= width / total;
            return;
        }
    }
}

int ListPrint::Layout(QPaintDevice& device, const QRectF& page) {
    page_ = page;
    Measure(device, page.width());
    pages_.clear();
    // Two lines for the page header, two for the foot.
    const int perPage = std::max(4, static_cast<int>(std::floor(page.height() / lineHeight_)) - 4);
    std::vector<Line> current;
    auto newPage = [&] {
        pages_.push_back(std::move(current));
        current.clear();
    };
    for (int section = 0; section < 2; ++section) {
        const int first = section == 0 ? 0 : tvRows_;
        const int last = section == 0 ? tvRows_ : static_cast<int>(rows_.size());
        // A title, its column header and at least one row stay together.
        const int needed = 2 + (last > first ? 1 : 0) + (current.empty() ? 0 : 1);
        if (!current.empty() && static_cast<int>(current.size()) + needed > perPage) newPage();
        if (!current.empty()) current.push_back({LineKind::Title, -1}); // a blank line between the lists
        current.push_back({LineKind::Title, section});
        current.push_back({LineKind::Header, section});
        for (int r = first; r < last; ++r) {
            if (static_cast<int>(current.size()) >= perPage) {
                newPage();
                current.push_back({LineKind::Title, section, true});
                current.push_back({LineKind::Header, section});
            }
            current.push_back({LineKind::Row, r});
        }
    }
    newPage();
    return PageCount();
}

QString ListPrint::FooterText(int page) const { return QStringLiteral("Page %1 of %2").arg(page + 1).arg(PageCount()); }

namespace {

QString TitleText(int section, int rows, bool continued) {
    if (section < 0) return {};
    QString title = section == 0 ? QStringLiteral("TV programs") : QStringLiteral("Radio programs");
    if (continued) return title + QStringLiteral(" (continued)");
    return title + QStringLiteral(" (%1)").arg(rows);
}

} // namespace

QStringList ListPrint::LineTexts(int page) const {
    QStringList lines;
    if (page < 0 || page >= PageCount()) return lines;
    for (const Line& line : pages_[static_cast<size_t>(page)]) {
        switch (line.kind) {
        case LineKind::Title:
            lines << TitleText(line.index, line.index == 0 ? tvRows_ : static_cast<int>(rows_.size()) - tvRows_,
                               line.continued);
            break;
        case LineKind::Header: lines << header_.join(QLatin1Char('\t')); break;
        case LineKind::Row: lines << rows_[static_cast<size_t>(line.index)].join(QLatin1Char('\t')); break;
        }
    }
    return lines;
}

void ListPrint::PaintPage(QPainter& painter, int page) const {
    if (page < 0 || page >= PageCount()) return;
    QFont bold = font_;
    bold.setBold(true);
    QFont titleFont = bold;
    titleFont.setPointSizeF(font_.pointSizeF() * 1.2);
    const QRectF& r = page_;
    const double h = lineHeight_;
    const QPen rule(Qt::black, std::max(1.0, h / 20));
    painter.save();
    painter.setPen(Qt::black);

    // Page header: the file on the left, the date on the right, a rule below.
    painter.setFont(titleFont);
    const QRectF head(r.left(), r.top(), r.width(), h);
    painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, fileName_);
    painter.setFont(font_);
    painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter, date_);
    painter.setPen(rule);
    painter.drawLine(QPointF(r.left(), r.top() + h * 1.2), QPointF(r.right(), r.top() + h * 1.2));

    double y = r.top() + 2 * h;
    const QFontMetricsF fm(font_, painter.device());
    const QFontMetricsF boldMetrics(bold, painter.device());
    const double space = fm.horizontalAdvance(QStringLiteral(" "));
    for (const Line& line : pages_[static_cast<size_t>(page)]) {
        if (line.kind == LineKind::Title) {
            painter.setFont(bold);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(r.left(), y, r.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                             TitleText(line.index, line.index == 0 ? tvRows_ : static_cast<int>(rows_.size()) - tvRows_,
                                       line.continued));
        } else {
            const bool header = line.kind == LineKind::Header;
            const QStringList& cells = header ? header_ : rows_[static_cast<size_t>(line.index)];
            painter.setFont(header ? bold : font_);
            const QFontMetricsF& metrics = header ? boldMetrics : fm;
            painter.setPen(Qt::black);
            double x = r.left();
            for (int c = 0; c < header_.size(); ++c) {
                const double w = widths_[static_cast<size_t>(c)];
                // A column keeps a gap to the next one, however narrow it became.
                const double gap = std::min(w / 4, space);
                const QString text = metrics.elidedText(cells.value(c), Qt::ElideRight, w - gap);
                painter.drawText(QRectF(x, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, text);
                x += w;
            }
            if (header) {
                painter.setPen(QPen(Qt::gray, rule.widthF() / 2));
                painter.drawLine(QPointF(r.left(), y + h), QPointF(r.right(), y + h));
            }
        }
        y += h;
    }

    painter.setFont(font_);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(r.left(), r.bottom() - h, r.width(), h), Qt::AlignHCenter | Qt::AlignVCenter,
                     FooterText(page));
    painter.restore();
}

int ListPrint::Print(QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    // The painter's origin is the corner of the page's printable area.
    Layout(device, QRectF(0, 0, device.width(), device.height()));
    for (int p = 0; p < PageCount(); ++p) {
        if (p > 0) device.newPage();
        PaintPage(painter, p);
    }
    painter.end();
    return PageCount();
}
