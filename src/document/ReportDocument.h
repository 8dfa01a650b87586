#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPicture>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringView>

#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace tarnwick {

// Every position and size in a report document is in twips: 1440 to the inch, 20 to the point.
inline constexpr double twipsPerInch = 1440.0;
inline constexpr double twipsPerPoint = 20.0;

// A length handed to the document: a number of twips, or a text with a unit such as "3.2in".
// Units: in, cm, mm, pt, tw (twips); a bare number is twips. A text that is not a length throws
// std::invalid_argument, so a typo in a report shows up at once instead of as a zero-sized box.
class Measure {
public:
    template <typename Number>
    requires std::is_arithmetic_v<Number> Measure(Number twips) : twips_(double(twips)) {}
    Measure(const char* text);
    Measure(QStringView text);
    Measure(const QString& text) : Measure(QStringView(text)) {}

    double twips() const { return twips_; }

    // The length in twips, or nothing for a text that is not a length.
    static std::optional<double> parse(QStringView text);

private:
    double twips_ = 0;
};

// A horizontal position on a page. Reports measure across from the left margin unless they
// name a page position; every call that takes one says which, so none takes one for the other.
class XPosition {
public:
    static XPosition fromMargin(Measure x) { return XPosition(x.twips(), true); }
    static XPosition onPage(Measure x) { return XPosition(x.twips(), false); }

    // Twips from the paper's left edge, for a page with the given left margin.
    double pageX(double marginLeft) const { return fromMargin_ ? marginLeft + twips_ : twips_; }

private:
    XPosition(double twips, bool fromMargin) : twips_(twips), fromMargin_(fromMargin) {}

    double twips_;
    bool fromMargin_;
};

inline XPosition fromMargin(Measure x) {
    return XPosition::fromMargin(x);
}
inline XPosition pagePosition(Measure x) {
    return XPosition::onPage(x);
}

enum class TextAlign { Left, Centre, Right };

struct ReportFont {
    QString family = QStringLiteral("Tahoma");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor colour = Qt::black;

    // The font sized in twips, the unit the layout and the renderers work in.
    QFont toQFont() const;
    bool operator==(const ReportFont&) const = default;
};

// Where a text block belongs: the body, or the heading or footer repeated on every page.
enum class TextRole { Body, Heading, Footer };

// One stretch of text on one line, free of tabs and line breaks.
struct TextRun {
    QString text;
    QPointF origin; // left end of the baseline
    double width = 0;
};

// A paragraph (or a table cell's text, or a heading or footer line) as given and as laid out.
// Renderers draw the runs; writers that keep text flowing (rich text) use the text and tab stops.
struct TextBlock {
    TextRole role = TextRole::Body;
    QString text; // as given: tabs and line breaks kept
    // The rest of a paragraph begun on an earlier page: text is the whole paragraph, runs are
    // the lines on this page.
    bool continued = false;
    ReportFont font;
    TextAlign align = TextAlign::Left;
    QRectF rect;                  // the area the block occupies on its page
    std::vector<double> tabStops; // from rect.left(); past the last one, the default interval
    double defaultTabInterval = 720;
    std::vector<TextRun> runs;
};

struct PictureItem {
    QRectF rect; // the image is drawn into this box, scaled to it
    QImage image;
};

// How a picture goes into its box: stretched to fill it, or as large as fits with its
// proportions kept, at the box's top-left corner, so pictures line up with the charts and
// plates drawn from the same left edge.
enum class PictureFit { Fill, KeepAspect };

// Vector graphics recorded at a size of their own (a chart laid out at the size it is printed),
// drawn scaled into rect on every device: sharp at any resolution, text kept as text.
struct DrawingItem {
    QRectF rect;
    QPicture picture;
    QSizeF size; // the picture's own coordinates that map onto rect
};

// A chart laid out for the box it is printed in, as vector graphics; drawn as a DrawingItem.
struct ReportChart {
    QPicture picture;
    QSizeF size; // the picture's own coordinates that fill the box
};

struct RectangleItem {
    QRectF rect;
    double penWidth = 10; // twips; 0 draws no outline
    QColor penColour = Qt::black;
    QColor fill; // invalid: not filled
};

struct LineItem {
    QLineF line;
    double penWidth = 10;
    QColor penColour = Qt::black;
};

struct TableCell {
    int row = 0; // of the whole table, from 0
    int column = 0;
    QRectF rect;
    TextBlock content;
};

// The rows of one table that fall on one page.
struct TableBlock {
    QRectF rect;
    int firstRow = 0; // the table row this page's part starts with
    std::vector<double> columnWidths;
    std::vector<TextAlign> columnAlignments;
    std::vector<double> rowHeights;
    std::vector<QColor> rowFills; // invalid: not filled
    std::vector<TableCell> cells; // row by row
    QColor gridColour;            // invalid: no grid
    double gridWidth = 10;
};

using PageItem =
    std::variant<TextBlock, TableBlock, PictureItem, DrawingItem, RectangleItem, LineItem>;

struct ReportPage {
    int number = 1;
    QSizeF size;     // twips
    QString heading; // heading and footer as given (footer with its page-number placeholder)
    QString footer;
    std::vector<PageItem> items; // in drawing order
};

// The area an item covers on its page.
QRectF boundsOf(const PageItem& item);
// The area all of a page's items cover; empty for a page with nothing on it.
QRectF contentBounds(const ReportPage& page);

// A table being described; the document lays it out when the table ends. Rows and columns count
// from 0. Each column has a width (twips) and an alignment for its cells.
class ReportTable {
public:
    void setRows(int rows);
    void setColumns(int columns);
    int rows() const { return rows_; }
    int columns() const { return int(columnWidths_.size()); }

    void setColumnWidth(int column, Measure width);
    double columnWidth(int column) const { return columnWidths_.at(size_t(column)); }
    void setColumnAlignment(int column, TextAlign align);
    TextAlign columnAlignment(int column) const { return columnAlignments_.at(size_t(column)); }

    void setCellText(int row, int column, const QString& text);
    QString cellText(int row, int column) const;

    // Where the table starts, measured from the page's left margin.
    void setIndent(Measure indent) { indent_ = indent.twips(); }
    double indent() const { return indent_; }

    void setRowBold(int row, bool bold);
    bool rowBold(int row) const { return rowBold_.at(size_t(row)); }
    void setRowFill(int row, const QColor& fill);
    QColor rowFill(int row) const { return rowFills_.at(size_t(row)); }

    // The lines between and around the cells; an invalid colour draws none.
    void setGrid(const QColor& colour, double width = 10) {
        gridColour_ = colour;
        gridWidth_ = width;
    }
    QColor gridColour() const { return gridColour_; }
    double gridWidth() const { return gridWidth_; }

    void setCellPadding(double horizontal, double vertical) {
        paddingX_ = horizontal;
        paddingY_ = vertical;
    }
    double horizontalPadding() const { return paddingX_; }
    double verticalPadding() const { return paddingY_; }

private:
    void checkCell(int row, int column) const;

    int rows_ = 0;
    std::vector<double> columnWidths_;
    std::vector<TextAlign> columnAlignments_;
    std::vector<QString> cells_; // row by row
    std::vector<bool> rowBold_;
    std::vector<QColor> rowFills_;
    double indent_ = 0;
    QColor gridColour_ = QColor(0x80, 0x80, 0x80);
    double gridWidth_ = 10;
    double paddingX_ = 80;
    double paddingY_ = 20;
};

enum class PaperSize {
    Letter,     // 8.5 x 11 in
    UserDefined // whatever setPageSize gave
};

// A printable document: pages of laid-out items built by commands that work like a print
// engine's: a current position, paragraphs with tab stops, pictures in boxes, rectangles, tables,
// a heading and a three-part footer on every page, and a new page whenever flowing content
// (paragraph lines, table rows) would run past the bottom margin. Drawing (screen, printer, PDF,
// image) is left to the renderers, which walk pages().
//
// Positions are twips from the paper's top-left corner: vertical ones always, horizontal ones
// given as an XPosition, from the margin or from the paper's edge. Page set-up changes apply from
// the next page on; the page being filled keeps its size.
class ReportDocument {
public:
    ReportDocument();

    // Page set-up.
    void setPaperSize(PaperSize paper);
    void setPageSize(Measure width, Measure height);
    QSizeF pageSize() const { return pageSize_; }
    void setMargins(Measure left, Measure top, Measure right, Measure bottom);
    double marginLeft() const { return margins_.left(); }
    double marginTop() const { return margins_.top(); }
    double marginRight() const { return margins_.right(); }
    double marginBottom() const { return margins_.bottom(); }
    // The area inside the margins.
    QRectF bodyRect() const;

    // Text settings for what is printed next.
    void setFont(const ReportFont& font) { font_ = font; }
    const ReportFont& font() const { return font_; }
    void setTextAlignment(TextAlign align) { textAlign_ = align; }
    // Tab stops from the start of the paragraph; past the last, every defaultTabInterval.
    void setTabStops(std::vector<double> stops) { tabStops_ = std::move(stops); }
    void setDefaultTabInterval(double twips) { defaultTab_ = twips > 0 ? twips : 720; }

    // Heading and footer: each line of the text ("\r" or "\n" starts a new one) has up to three
    // parts separated by "|": left, centre and right. In the footer "%d" is the page number. A
    // line wider than the body wraps, and the lines after it move down.
    // They are laid out on a page when it is finished, so a heading set right after the document
    // starts is on the first page too.
    void setHeading(const QString& text) { heading_ = text; }
    const QString& heading() const { return heading_; }
    void setFooter(const QString& text) { footer_ = text; }
    const QString& footer() const { return footer_; }
    void setHeadingFont(const ReportFont& font) { headingFont_ = font; }
    const ReportFont& headingFont() const { return headingFont_; }

    // Document. Starting discards what the document held and opens page 1 with the current
    // position at the top-left of the body. Any drawing command opens the document if needed.
    void startDocument();
    void endDocument();
    void clear();
    bool isOpen() const { return open_; }
    void newPage();

    // Current position, from the paper's top-left corner; a paragraph starts here.
    double currentX() const { return x_; }
    double currentY() const { return y_; }
    void setCurrentX(XPosition x) { x_ = x.pageX(margins_.left()); }
    void setCurrentY(Measure y) { y_ = y.twips(); }

    // Prints a paragraph at the current position, wrapping at the right margin. Afterwards the
    // current position is at the left margin below the paragraph.
    void printParagraph(const QString& text);

    // Drawing at given positions; these never move the current position or break the page.
    // A picture returns the area it covers.
    QRectF drawPicture(const QImage& image, XPosition x, Measure y, Measure width, Measure height,
                       PictureFit fit = PictureFit::Fill);
    // A drawing whose own coordinates span size, scaled to fill the box.
    void drawDrawing(const QPicture& picture, const QSizeF& size, XPosition x, Measure y,
                     Measure width, Measure height);
    void drawRectangle(XPosition x1, Measure y1, XPosition x2, Measure y2);
    void drawLine(XPosition x1, Measure y1, XPosition x2, Measure y2);
    void setPen(double widthTwips, const QColor& colour) {
        penWidth_ = widthTwips;
        penColour_ = colour;
    }

    // Tables: describe the table between start and end; end lays it out at the current y,
    // breaking the page between rows, and moves the current position below it.
    ReportTable& startTable();
    ReportTable& table();
    void endTable();
    // Start, describe and end in one.
    void addTable(const ReportTable& table);

    const std::vector<ReportPage>& pages() const { return pages_; }
    int pageCount() const { return int(pages_.size()); }

private:
    void ensureOpen();
    ReportPage& page() { return pages_.back(); }
    void beginPage();
    void finishPage();
    double bodyBottom() const { return pageSize_.height() - margins_.bottom(); }
    void placeHeadingAndFooter(ReportPage& page) const;

    QSizeF pageSize_;
    QMarginsF margins_;
    ReportFont font_;
    ReportFont headingFont_;
    TextAlign textAlign_ = TextAlign::Left;
    std::vector<double> tabStops_;
    double defaultTab_ = 720;
    QString heading_;
    QString footer_;
    double penWidth_ = 10;
    QColor penColour_ = Qt::black;

    bool open_ = false;
    bool pageFinished_ = false;
    double x_ = 0;
    double y_ = 0;
    std::optional<ReportTable> table_;
    std::vector<ReportPage> pages_;
};

} // namespace tarnwick
