#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTextLayout>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace dorvent {

/// A table for PagedLayout: a header of one or more lines per column, rows of texts, numbers
/// aligned on their decimal point, text columns on the left.
struct PageTable {
    struct Column {
        QStringList header;  ///< its lines: the name, then the unit
        bool number = true;  ///< aligned on the decimal point, else on the left
    };
    std::vector<Column> columns;
    std::vector<QStringList> rows;
    int boldRows = 0;  ///< the last rows in bold (the totals)
    std::vector<std::vector<bool>> boldCells{};  ///< cells in bold, by row and column; none where empty
};

/// A document laid out once on pages of one size, then painted page by page on any paged device
/// (PDF, printer, preview): headings kept with what follows them, tables split between their
/// rows with the header repeated, pictures kept whole or cut where they allow. Sizes are in the
/// device's pixels.
class PagedLayout {
public:
    /// Pages of the device's paintable size, less room at the top for a running header.
    PagedLayout(QPaintDevice& device, double headerHeight);

    double millimetres(double mm) const { return mm * dpi_ / 25.4; }
    double width() const { return width_; }

    /// A heading that never stands alone at the foot of a page.
    void heading(const QString& text, const QFont& font);
    /// Text wrapped to the width, kept on one page; the parts of it that formats name in faces of
    /// their own (a formula).
    void paragraph(const QString& text, const QFont& font, Qt::Alignment alignment = Qt::AlignLeft,
                   const QList<QTextLayout::FormatRange>& formats = {});
    /// Lines of text, each begun on a line of its own and wrapped to the width at its blanks (a
    /// path "A → B → C" after its arrows, never between a number and its unit), the lines it
    /// wraps onto indented; split between pages where they must be.
    void lines(const QStringList& texts, const QFont& font, const QColor& colour = Qt::black);
    /// A table whose columns fit the width: a text column is cut (with "…") before the face gets
    /// smaller, and the face never smaller than 6.5 pt.
    void table(const PageTable& table, const QFont& font);
    /// A form of fixed rows (height in pixels) and columns (widths as parts of the width).
    void form(const std::vector<QStringList>& rows, const std::vector<double>& parts, double rowHeight,
              const QFont& font);
    /// A picture as high as asked, or as the rest of a fresh page allows, painted when the page is.
    void picture(double height, std::function<void(QPainter&, const QRectF&)> paint);
    /// A picture as high as asked, over as many pages as it needs: cut at the lowest of the cuts
    /// (heights from its top, in order) that leaves the part on its page, or where the page ends
    /// when no cut does. paint draws the part from top to bottom of the picture's height into area.
    void picture(double height, const std::vector<double>& cuts,
                 const std::function<void(QPainter&, const QRectF& area, double top, double bottom)>& paint);
    void space(double height) { y_ += height; }

    int pageCount() const { return static_cast<int>(pages_.size()); }
    /// Paints every page, the running header first (page numbers from 1), a new page between them.
    void paint(QPagedPaintDevice& device, const std::function<void(QPainter&, const QRectF&, int page)>& header) const;

private:
    struct Piece {
        enum Kind { words, line, picture } kind;
        QRectF rect;
        QString text{};
        QFont font{};
        int flags = 0;
        std::function<void(QPainter&, const QRectF&)> paint{};
        QColor colour{Qt::black};
        QList<QTextLayout::FormatRange> formats{};
    };
    double room() const { return height_ - y_; }
    void newPage();
    /// Starts a block of the given first height: on this page, with a waiting heading, or on the next.
    void begin(double firstHeight);
    void text(const QRectF& rect, const QString& text, const QFont& font, int flags, const QColor& colour = Qt::black);
    void rule(const QPointF& from, const QPointF& to);
    double lineHeight(const QFont& font) const;

    QPaintDevice& device_;
    double dpi_;
    double width_;
    double height_;
    double top_;
    double y_;
    std::vector<std::vector<Piece>> pages_;
    QString heading_;  // waiting for the block it belongs to
    QFont headingFont_;
};

}  // namespace dorvent
