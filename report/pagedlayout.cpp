#include "report/pagedlayout.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace dorvent {
namespace {

constexpr double kSmallestFace = 6.5;  // pt, still legible on paper

/// Whether a word stays on the line of the word before it: an arrow, as a path "A → B → C" breaks
/// after its arrows, and a unit after its number ("28.8 m/s", "300 ℃").
bool keptWithWordBefore(const QString& before, const QString& word)
{
    if (word.startsWith(QStringLiteral("→"))) return true;
    if (before.isEmpty() || word.isEmpty() || !before.back().isDigit()) return false;
    const QChar first = word.front();
    return (first.isLetter() && first.script() != QChar::Script_Han) || first == QChar(0x2103) || first == '%';
}

/// The words of a text between its blanks, each with those it keeps on its line.
QStringList wordsOf(const QString& text)
{
    QStringList words;
    for (const QString& word : text.split(' ')) {
        if (!words.isEmpty() && keptWithWordBefore(words.last(), word)) {
            words.last() += ' ' + word;
        } else {
            words << word;
        }
    }
    return words;
}

/// How many of a word's characters fit in a width: one at least.
qsizetype fittingCharacters(const QString& word, const QFontMetricsF& metrics, double width)
{
    qsizetype fits = 1, tooMany = word.size() + 1;
    while (tooMany - fits > 1) {
        const qsizetype middle = (fits + tooMany) / 2;
        (metrics.horizontalAdvance(word.left(middle)) <= width ? fits : tooMany) = middle;
    }
    return fits;
}

/// A text as the lines of a width: broken at its blanks where wordsOf allows, and within a word
/// only where it is wider than a line; the lines after the first are narrower by indent. Each
/// word is measured once, so that a long text wraps fast.
QStringList wrappedLines(const QString& text, const QFontMetricsF& metrics, double width, double indent)
{
    QStringList lines;
    QString line;
    double used = 0;
    const double blank = metrics.horizontalAdvance(' ');
    const auto room = [&] { return lines.isEmpty() ? width : width - indent; };
    for (QString word : wordsOf(text)) {
        double wide = metrics.horizontalAdvance(word);
        const double longer = line.isEmpty() ? wide : used + blank + wide;
        if (longer <= room()) {
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
            used = longer;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        while (word.size() > 1 && wide > room()) {  // as much of it as fits on each line
            const qsizetype fits = fittingCharacters(word, metrics, room());
            lines << word.left(fits);
            word = word.mid(fits);
            wide = metrics.horizontalAdvance(word);
        }
        line = word;
        used = wide;
    }
    lines << line;
    return lines;
}

/// Lays text out in lines of the width, as wrapped text is drawn; gives its height.
double layOutLines(QTextLayout& layout, double width)
{
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

/// The width of a number up to its decimal point, and of the point and the decimals.
std::pair<double, double> numberParts(const QFontMetricsF& metrics, const QString& text)
{
    const qsizetype point = text.indexOf('.');
    if (point < 0) return {metrics.horizontalAdvance(text), 0.0};
    return {metrics.horizontalAdvance(text.left(point)), metrics.horizontalAdvance(text.mid(point))};
}

}  // namespace

PagedLayout::PagedLayout(QPaintDevice& device, double headerHeight)
    : device_(device), dpi_(device.logicalDpiY()), width_(device.width()), height_(device.height()),
      top_(headerHeight), y_(headerHeight)
{
    pages_.emplace_back();
}

double PagedLayout::lineHeight(const QFont& font) const { return QFontMetricsF(font, &device_).height(); }

void PagedLayout::newPage()
{
    pages_.emplace_back();
    y_ = top_;
}

void PagedLayout::text(const QRectF& rect, const QString& text, const QFont& font, int flags, const QColor& colour)
{
    pages_.back().push_back({Piece::words, rect, text, font, flags, {}, colour});
}

void PagedLayout::rule(const QPointF& from, const QPointF& to)
{
    pages_.back().push_back({Piece::line, QRectF(from, to)});
}

void PagedLayout::heading(const QString& text, const QFont& font)
{
    if (!heading_.isEmpty()) begin(0);  // a heading with nothing of its own
    heading_ = text;
    headingFont_ = font;
}

void PagedLayout::begin(double firstHeight)
{
    const double line = lineHeight(headingFont_);
    const double headingHeight = heading_.isEmpty() ? 0 : 2 * line;
    if (headingHeight + firstHeight > room() && y_ > top_) newPage();
    if (!heading_.isEmpty()) {
        text(QRectF(0, y_ + 0.6 * line, width_, line), heading_, headingFont_, Qt::AlignLeft | Qt::AlignVCenter);
        y_ += headingHeight;
        heading_.clear();
    }
}

void PagedLayout::paragraph(const QString& content, const QFont& font, Qt::Alignment alignment,
                            const QList<QTextLayout::FormatRange>& formats)
{
    const int flags = Qt::TextWordWrap | static_cast<int>(alignment);
    double height = 0;
    if (formats.isEmpty()) {
        height = QFontMetricsF(font, &device_).boundingRect(QRectF(0, 0, width_, 1e9), flags, content).height();
    } else {
        QTextLayout layout(content, font, &device_);
        layout.setFormats(formats);
        height = layOutLines(layout, width_);
    }
    begin(height);
    text(QRectF(0, y_, width_, height), content, font, flags);
    pages_.back().back().formats = formats;
    y_ += height + 0.4 * lineHeight(font);
}

void PagedLayout::lines(const QStringList& texts, const QFont& font, const QColor& colour)
{
    const QFontMetricsF metrics(font, &device_);
    const double line = 1.25 * metrics.height();
    const double indent = metrics.horizontalAdvance(QStringLiteral("　　"));  // two ideographs
    bool first = true;
    for (const QString& content : texts) {
        const QStringList wrapped = wrappedLines(content, metrics, width_, indent);
        for (qsizetype i = 0; i < wrapped.size(); ++i) {
            if (first) {
                begin(line);
                first = false;
            } else if (room() < line) {
                newPage();
            }
            const double left = i == 0 ? 0 : indent;
            text(QRectF(left, y_, width_ - left, line), wrapped[i], font, Qt::AlignLeft | Qt::AlignVCenter, colour);
            y_ += line;
        }
    }
    y_ += 0.4 * line;
}

void PagedLayout::table(const PageTable& table, const QFont& font)
{
    const std::size_t count = table.columns.size();
    const double pad = millimetres(1.0);
    QFont face = font;
    // Of each column: its width, and the widest of its numbers' parts before and from the point.
    std::vector<double> widths(count), integers(count), fractions(count);
    for (;;) {
        const QFontMetricsF metrics(face, &device_);
        std::vector<double> headers(count, 0.0);
        std::fill(integers.begin(), integers.end(), 0.0);
        std::fill(fractions.begin(), fractions.end(), 0.0);
        for (std::size_t c = 0; c < count; ++c) {
            for (const QString& line : table.columns[c].header) headers[c] = std::max(headers[c], metrics.horizontalAdvance(line));
            for (const QStringList& row : table.rows) {
                if (table.columns[c].number) {
                    const auto [integer, fraction] = numberParts(metrics, row.value(static_cast<qsizetype>(c)));
                    integers[c] = std::max(integers[c], integer);
                    fractions[c] = std::max(fractions[c], fraction);
                } else {
                    integers[c] = std::max(integers[c], metrics.horizontalAdvance(row.value(static_cast<qsizetype>(c))));
                }
            }
            widths[c] = std::max(headers[c], integers[c] + fractions[c]) + 2 * pad;
        }
        // Too wide: the text columns give way first, down to their headers, then the face.
        double excess = std::accumulate(widths.begin(), widths.end(), 0.0) - width_;
        for (std::size_t c = 0; c < count && excess > 0; ++c) {
            if (table.columns[c].number) continue;
            const double least = std::max(headers[c] + 2 * pad, millimetres(12));
            const double cut = std::clamp(widths[c] - least, 0.0, excess);
            widths[c] -= cut;
            excess -= cut;
        }
        if (excess <= 0 || face.pointSizeF() <= kSmallestFace) break;
        face.setPointSizeF(std::max(face.pointSizeF() - 0.5, kSmallestFace));
    }

    // Room to spare goes to every column alike, so that the table takes the whole width.
    const double spare = (width_ - std::accumulate(widths.begin(), widths.end(), 0.0)) / static_cast<double>(count);
    if (spare > 0) {
        for (double& width : widths) width += spare;
    }
    QFont bold = face;
    bold.setBold(true);
    const QFontMetricsF metrics(face, &device_);
    const double line = metrics.height();
    const double rowHeight = line + millimetres(1.2);
    std::size_t headerLines = 1;
    for (const PageTable::Column& column : table.columns) headerLines = std::max<std::size_t>(headerLines, column.header.size());
    const double headerHeight = static_cast<double>(headerLines) * line + millimetres(1.2);
    std::vector<double> lefts(count + 1, 0.0);
    std::partial_sum(widths.begin(), widths.end(), lefts.begin() + 1);

    double top = 0;  // of the table's part on this page
    const auto closePart = [&] {
        for (const double x : lefts) rule({x, top}, {x, y_});
    };
    const auto header = [&] {
        top = y_;
        rule({0, y_}, {lefts.back(), y_});
        for (std::size_t c = 0; c < count; ++c) {
            const QString lines = table.columns[c].header.join('\n');
            text(QRectF(lefts[c], y_, widths[c], headerHeight), lines, face, Qt::AlignCenter);
        }
        y_ += headerHeight;
        rule({0, y_}, {lefts.back(), y_});
    };
    begin(headerHeight + rowHeight);
    header();
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (room() < rowHeight) {
            closePart();
            newPage();
            header();
        }
        const bool boldRow = r + static_cast<std::size_t>(table.boldRows) >= table.rows.size();
        for (std::size_t c = 0; c < count; ++c) {
            const QString cell = table.rows[r].value(static_cast<qsizetype>(c));
            if (cell.isEmpty()) continue;
            const bool isBold = boldRow || (r < table.boldCells.size() && c < table.boldCells[r].size() && table.boldCells[r][c]);
            const QFontMetricsF rowMetrics = isBold ? QFontMetricsF(bold, &device_) : metrics;
            const QRectF box(lefts[c] + pad, y_, widths[c] - 2 * pad, rowHeight);
            if (table.columns[c].number) {
                // Right-aligned, with the decimal point of every number of the column at one place.
                const double point = box.right() - fractions[c];
                const double left = std::max(point - numberParts(rowMetrics, cell).first, box.left());
                text(QRectF(left, y_, box.right() - left + pad, rowHeight), cell, isBold ? bold : face,
                     Qt::AlignLeft | Qt::AlignVCenter);
            } else {
                text(box, rowMetrics.elidedText(cell, Qt::ElideRight, box.width()), isBold ? bold : face,
                     Qt::AlignLeft | Qt::AlignVCenter);
            }
        }
        y_ += rowHeight;
        rule({0, y_}, {lefts.back(), y_});
    }
    closePart();
    y_ += line;
}

void PagedLayout::form(const std::vector<QStringList>& rows, const std::vector<double>& parts, double rowHeight,
                       const QFont& font)
{
    std::vector<double> lefts{0.0};
    for (const double part : parts) lefts.push_back(lefts.back() + part * width_);
    begin(rowHeight * static_cast<double>(rows.size()));
    const double top = y_;
    rule({0, y_}, {lefts.back(), y_});
    for (const QStringList& row : rows) {
        for (std::size_t c = 0; c + 1 < lefts.size(); ++c) {
            const QRectF box(lefts[c] + millimetres(2), y_, lefts[c + 1] - lefts[c] - millimetres(4), rowHeight);
            text(box, row.value(static_cast<qsizetype>(c)), font, Qt::AlignLeft | Qt::AlignVCenter);
        }
        y_ += rowHeight;
        rule({0, y_}, {lefts.back(), y_});
    }
    for (const double x : lefts) rule({x, top}, {x, y_});
    y_ += lineHeight(font);
}

void PagedLayout::picture(double height, std::function<void(QPainter&, const QRectF&)> paint)
{
    begin(std::min(height, height_ - top_ - 2 * lineHeight(headingFont_)));
    const double fitting = std::min(height, room());
    pages_.back().push_back({Piece::picture, QRectF(0, y_, width_, fitting), {}, {}, 0, std::move(paint)});
    y_ += fitting + millimetres(3);
}

void PagedLayout::picture(double height, const std::vector<double>& cuts,
                          const std::function<void(QPainter&, const QRectF&, double, double)>& paint)
{
    // Whole on a fresh page where it fits one, else begun here if a quarter of a page is left.
    const double page = height_ - top_ - 2 * lineHeight(headingFont_);
    begin(height <= page ? height : page / 4);
    for (double top = 0; top < height;) {
        double bottom = std::min(height, top + room());
        if (bottom < height) {
            const auto above = std::upper_bound(cuts.begin(), cuts.end(), bottom);
            if (above != cuts.begin() && *std::prev(above) > top) bottom = *std::prev(above);
        }
        pages_.back().push_back({Piece::picture, QRectF(0, y_, width_, bottom - top), {}, {}, 0,
                                 [paint, top, bottom](QPainter& painter, const QRectF& area) { paint(painter, area, top, bottom); }});
        y_ += bottom - top;
        top = bottom;
        if (top < height) newPage();
    }
    y_ += millimetres(3);
}

void PagedLayout::paint(QPagedPaintDevice& device,
                        const std::function<void(QPainter&, const QRectF&, int page)>& header) const
{
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen thin(Qt::black, dpi_ / 300.0);  // a third of a typographic point
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (i > 0) device.newPage();
        header(painter, QRectF(0, 0, width_, top_), static_cast<int>(i) + 1);
        painter.setPen(thin);
        for (const Piece& piece : pages_[i]) {
            switch (piece.kind) {
            case Piece::words:
                if (painter.font() != piece.font) painter.setFont(piece.font);
                if (painter.pen().color() != piece.colour) painter.setPen(piece.colour);
                if (piece.formats.isEmpty()) {
                    painter.drawText(piece.rect, piece.flags, piece.text);
                } else {
                    QTextLayout layout(piece.text, piece.font, &device);
                    layout.setFormats(piece.formats);
                    layOutLines(layout, piece.rect.width());
                    layout.draw(&painter, piece.rect.topLeft());
                }
                break;
            case Piece::line:
                if (painter.pen() != thin) painter.setPen(thin);
                painter.drawLine(piece.rect.topLeft(), piece.rect.bottomRight());
                break;
            case Piece::picture:
                painter.save();
                piece.paint(painter, piece.rect);
                painter.restore();
                painter.setPen(thin);
                break;
            }
        }
    }
}

}  // namespace dorvent
