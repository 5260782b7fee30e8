// The TV and radio lists on paper: the columns of an exported list, one row
// per program, a header with the file's name and the date on every page and
// the page number at the foot. The layout is made for one page size and
// resolution; pages are then painted one by one, on a printer or an image.
#pragma once

#include "model/Model.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

class ListPrint {
public:
    // `fileName` and `date` are the texts of the page header.
    ListPrint(const dbase::Database& db, QString fileName, QString date);

    // Lays the lists out in `page` (device pixels of `device`, which gives
    // the font its resolution); returns the number of pages.
    int Layout(QPaintDevice& device, const QRectF& page);
    int PageCount() const { return static_cast<int>(pages_.size()); }

    // The texts of page `page`'s header and foot: the file's name and the
    // date; "Page 2 of 5".
    QString HeaderLeft() const { return fileName_; }
    QString HeaderRight() const { return date_; }
    QString FooterText(int page) const;
    // The texts of every line of page `page`, cells separated by tabs.
    QStringList LineTexts(int page) const;

    // Paints page `page` (0-based) of the layout.
    void PaintPage(QPainter& painter, int page) const;

    // Lays the lists out on `device`'s pages (a QPrinter or a QPdfWriter) and
    // prints them all; returns the number of pages, 0 when nothing could be
    // painted on the device.
    int Print(QPagedPaintDevice& device);

private:
    enum class LineKind { Title, Header, Row };
    struct Line {
        LineKind kind;
        int index; // title: 0 TV, 1 radio; row: the row's index in rows_
        bool continued = false;
    };

    void Measure(QPaintDevice& device, double width);

    QString fileName_, date_;
    QStringList header_;
    std::vector<QStringList> rows_;
    int tvRows_ = 0;
    QFont font_;
    QRectF page_;
    double lineHeight_ = 0;
    std::vector<double> widths_;
    std::vector<std::vector<Line>> pages_;
};
