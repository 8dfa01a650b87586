#include "document/ReportDocument.h"

#include <QFontMetricsF>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace tarnwick {

namespace {

constexpr double letterWidth = 12240;
constexpr double letterHeight = 15840;
// A line that starts this close to the top margin is at the top already: breaking the page
// would only repeat the overflow on the next one.
constexpr double atTopTolerance = 0.5;

// A line of laid-out text, positions relative to the block's left edge and the line's top.
struct Line {
    std::vector<TextRun> runs;
};

QStringList linesOf(const QString& text) {
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    return normal.split(u'\n');
}

double trimmedAdvance(const QFontMetricsF& metrics, const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return metrics.horizontalAdvance(text.left(end));
}

double nextTabStop(double position, const std::vector<double>& stops, double interval) {
    for (double stop : stops)
        if (stop > position + atTopTolerance)
            return stop;
    const double last = stops.empty() ? 0.0 : std::max(0.0, stops.back());
    const double from = std::max(position, last);
    return (std::floor((from + atTopTolerance) / interval) + 1) * interval;
}

// Splits a piece of text into words, each with the blanks that follow it; blanks at the start
// are a word of their own, since they are part of what is shown (" 6.1").
QStringList wordsOf(const QString& piece) {
    QStringList words;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < piece.size() && piece[i] == u' ')
        ++i;
    if (i > 0) {
        words << piece.left(i);
        start = i;
    }
    while (start < piece.size()) {
        qsizetype end = start;
        while (end < piece.size() && piece[end] != u' ')
            ++end;
        while (end < piece.size() && piece[end] == u' ')
            ++end;
        words << piece.mid(start, end - start);
        start = end;
    }
    return words;
}

// Breaks text into lines: "\r", "\n" and "\r\n" end a line, a tab moves to the next tab stop,
// and words wrap when the line would run past width (width <= 0: no wrapping).
std::vector<Line> breakLines(const QString& text, const QFontMetricsF& metrics, double width,
                             TextAlign align, const std::vector<double>& tabStops,
                             double tabInterval) {
    const bool wraps = width > 0;
    std::vector<Line> lines;
    for (const QString& hardLine : linesOf(text)) {
        Line line;
        double pos = 0;
        const QStringList pieces = hardLine.split(u'\t');
        for (qsizetype p = 0; p < pieces.size(); ++p) {
            if (p > 0)
                pos = nextTabStop(pos, tabStops, tabInterval);
            double runStart = pos;
            QString runText;
            auto flushRun = [&] {
                if (runText.isEmpty())
                    return;
                const double advance = metrics.horizontalAdvance(runText);
                line.runs.push_back({runText, QPointF(runStart, 0), advance});
                pos = runStart + advance;
                runText.clear();
            };
            for (const QString& word : wordsOf(pieces[p])) {
                const bool lineHasContent = !runText.isEmpty() || !line.runs.empty() || pos > 0;
                if (wraps && lineHasContent &&
                    runStart + trimmedAdvance(metrics, runText + word) > width) {
                    flushRun();
                    lines.push_back(std::move(line));
                    line = Line();
                    pos = 0;
                    runStart = 0;
                    // A wrapped line does not start with the blanks that ended the last one.
                    if (word.trimmed().isEmpty())
                        continue;
                }
                runText += word;
            }
            flushRun();
        }
        lines.push_back(std::move(line));
    }

    if (wraps && align != TextAlign::Left) {
        for (Line& line : lines) {
            double right = 0;
            for (const TextRun& run : line.runs)
                right = std::max(right, run.origin.x() + trimmedAdvance(metrics, run.text));
            const double shift = align == TextAlign::Centre ? (width - right) / 2 : width - right;
            for (TextRun& run : line.runs)
                run.origin.rx() += shift;
        }
    }
    return lines;
}

// Lays out a whole block at (left, top) with no page breaks: table cells, heading and footer.
TextBlock layoutBlock(const QString& text, const ReportFont& font, const QRectF& area,
                      TextAlign align, const std::vector<double>& tabStops, double tabInterval) {
    const QFontMetricsF metrics(font.toQFont());
    TextBlock block;
    block.text = text;
    block.font = font;
    block.align = align;
    block.tabStops = tabStops;
    block.defaultTabInterval = tabInterval;
    const std::vector<Line> lines =
        breakLines(text, metrics, area.width(), align, tabStops, tabInterval);
    double y = area.top();
    for (const Line& line : lines) {
        for (const TextRun& run : line.runs)
            block.runs.push_back(
                {run.text, QPointF(area.left() + run.origin.x(), y + metrics.ascent()), run.width});
        y += metrics.lineSpacing();
    }
    block.rect = QRectF(area.left(), area.top(), area.width(), y - area.top());
    return block;
}

QString substitutePageNumber(QString text, int page) {
    return text.replace(QStringLiteral("%d"), QString::number(page));
}

} // namespace

// ---- Pages

QRectF boundsOf(const PageItem& item) {
    return std::visit(
        [](const auto& it) -> QRectF {
            using T = std::decay_t<decltype(it)>;
            if constexpr (std::is_same_v<T, LineItem>) {
                const double half = it.penWidth / 2;
                return QRectF(it.line.p1(), it.line.p2())
                    .normalized()
                    .adjusted(-half, -half, half, half);
            } else if constexpr (std::is_same_v<T, RectangleItem>) {
                const double half = it.penWidth / 2;
                return it.rect.adjusted(-half, -half, half, half);
            } else if constexpr (std::is_same_v<T, TableBlock>) {
                const double half = it.gridColour.isValid() ? it.gridWidth / 2 : 0;
                return it.rect.adjusted(-half, -half, half, half);
            } else {
                return it.rect;
            }
        },
        item);
}

QRectF contentBounds(const ReportPage& page) {
    QRectF bounds;
    for (const PageItem& item : page.items)
        bounds = bounds.isNull() ? boundsOf(item) : bounds.united(boundsOf(item));
    return bounds;
}

// ---- Measure

Measure::Measure(const char* text) : Measure(QString::fromUtf8(text)) {}

Measure::Measure(QStringView text) {
    const std::optional<double> twips = parse(text);
    if (!twips)
        throw std::invalid_argument("not a length: " + text.toString().toStdString());
    twips_ = *twips;
}

std::optional<double> Measure::parse(QStringView text) {
    struct Unit {
        const char16_t* name;
        double twips;
    };
    static constexpr Unit units[] = {{u"in", twipsPerInch},
                                     {u"cm", twipsPerInch / 2.54},
                                     {u"mm", twipsPerInch / 25.4},
                                     {u"pt", twipsPerPoint},
                                     {u"tw", 1.0}};
    QStringView number = text.trimmed();
    double factor = 1.0;
    for (const Unit& unit : units) {
        if (number.endsWith(QStringView(unit.name), Qt::CaseInsensitive)) {
            number = number.chopped(2).trimmed();
            factor = unit.twips;
            break;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value * factor;
}

// ---- ReportFont

QFont ReportFont::toQFont() const {
    QFont qfont(family);
    // Sized in twips so one set of metrics serves every device; renderers scale the painter.
    qfont.setPixelSize(std::max(1, int(std::lround(pointSize * twipsPerPoint))));
    qfont.setBold(bold);
    qfont.setItalic(italic);
    qfont.setUnderline(underline);
    // Layout measures once for all devices, so glyph advances must not depend on a device's
    // hinting.
    qfont.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: text copied or searched in an exported file reads as it was written.
    qfont.setStyleStrategy(QFont::PreferNoShaping);
    return qfont;
}

// ---- ReportTable

void ReportTable::setRows(int rows) {
    rows = std::max(0, rows);
    const size_t columnCount = columnWidths_.size();
    std::vector<QString> cells(size_t(rows) * columnCount);
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (size_t c = 0; c < columnCount; ++c)
            cells[size_t(r) * columnCount + c] = cells_[size_t(r) * columnCount + c];
    cells_ = std::move(cells);
    rowBold_.resize(size_t(rows), false);
    rowFills_.resize(size_t(rows));
    rows_ = rows;
}

void ReportTable::setColumns(int columns) {
    columns = std::max(0, columns);
    const size_t oldCount = columnWidths_.size();
    std::vector<QString> cells(size_t(rows_) * size_t(columns));
    for (int r = 0; r < rows_; ++r)
        for (size_t c = 0; c < std::min(oldCount, size_t(columns)); ++c)
            cells[size_t(r) * size_t(columns) + c] = cells_[size_t(r) * oldCount + c];
    cells_ = std::move(cells);
    columnWidths_.resize(size_t(columns), twipsPerInch);
    columnAlignments_.resize(size_t(columns), TextAlign::Left);
}

void ReportTable::checkCell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns())
        throw std::out_of_range("table cell outside the table");
}

void ReportTable::setColumnWidth(int column, Measure width) {
    columnWidths_.at(size_t(column)) = std::max(0.0, width.twips());
}

void ReportTable::setColumnAlignment(int column, TextAlign align) {
    columnAlignments_.at(size_t(column)) = align;
}

void ReportTable::setCellText(int row, int column, const QString& text) {
    checkCell(row, column);
    cells_[size_t(row) * columnWidths_.size() + size_t(column)] = text;
}

QString ReportTable::cellText(int row, int column) const {
    checkCell(row, column);
    return cells_[size_t(row) * columnWidths_.size() + size_t(column)];
}

void ReportTable::setRowBold(int row, bool bold) {
    rowBold_.at(size_t(row)) = bold;
}

void ReportTable::setRowFill(int row, const QColor& fill) {
    rowFills_.at(size_t(row)) = fill;
}

// ---- ReportDocument

ReportDocument::ReportDocument() {
    setPaperSize(PaperSize::Letter);
    margins_ = QMarginsF(1440, 1440, 1440, 1440);
}

void ReportDocument::setPaperSize(PaperSize paper) {
    if (paper == PaperSize::Letter)
        pageSize_ = QSizeF(letterWidth, letterHeight);
}

void ReportDocument::setPageSize(Measure width, Measure height) {
    pageSize_ = QSizeF(std::max(0.0, width.twips()), std::max(0.0, height.twips()));
}

void ReportDocument::setMargins(Measure left, Measure top, Measure right, Measure bottom) {
    margins_ = QMarginsF(left.twips(), top.twips(), right.twips(), bottom.twips());
}

QRectF ReportDocument::bodyRect() const {
    return QRectF(QPointF(0, 0), pageSize_).marginsRemoved(margins_);
}

void ReportDocument::startDocument() {
    clear();
    open_ = true;
    beginPage();
}

void ReportDocument::endDocument() {
    if (!open_)
        return;
    if (table_)
        endTable();
    finishPage();
    open_ = false;
}

void ReportDocument::clear() {
    pages_.clear();
    table_.reset();
    open_ = false;
    pageFinished_ = false;
    x_ = margins_.left();
    y_ = margins_.top();
}

void ReportDocument::ensureOpen() {
    if (!open_)
        throw std::logic_error("the report document is not open");
}

void ReportDocument::newPage() {
    ensureOpen();
    finishPage();
    beginPage();
}

void ReportDocument::beginPage() {
    ReportPage next;
    next.number = int(pages_.size()) + 1;
    next.size = pageSize_;
    pages_.push_back(std::move(next));
    pageFinished_ = false;
    x_ = margins_.left();
    y_ = margins_.top();
}

void ReportDocument::finishPage() {
    if (pages_.empty() || pageFinished_)
        return;
    placeHeadingAndFooter(page());
    pageFinished_ = true;
}

void ReportDocument::placeHeadingAndFooter(ReportPage& target) const {
    target.heading = heading_;
    target.footer = footer_;
    const QFontMetricsF metrics(headingFont_.toQFont());
    const double lineHeight = metrics.lineSpacing();
    const double left = margins_.left();
    const double width = target.size.width() - margins_.left() - margins_.right();

    // Lays the lines out from a top of 0: a line that wraps (a long title) pushes the lines after
    // it (the rule) down. The blocks and the height they take.
    auto layOutLines = [&](const QString& text, TextRole role) {
        std::vector<TextBlock> blocks;
        double y = 0;
        for (const QString& line : linesOf(text)) {
            const QStringList parts = line.split(u'|');
            static constexpr TextAlign aligns[] = {TextAlign::Left, TextAlign::Centre,
                                                   TextAlign::Right};
            double lineBottom = y + lineHeight;
            for (qsizetype i = 0; i < std::min<qsizetype>(parts.size(), 3); ++i) {
                if (parts[i].isEmpty())
                    continue;
                QString shown = parts[i];
                if (role == TextRole::Footer)
                    shown = substitutePageNumber(shown, target.number);
                TextBlock block = layoutBlock(shown, headingFont_, QRectF(left, y, width, 0),
                                              aligns[i], {}, defaultTab_);
                block.role = role;
                lineBottom = std::max(lineBottom, block.rect.bottom());
                blocks.push_back(std::move(block));
            }
            y = lineBottom;
        }
        return std::pair{std::move(blocks), y};
    };
    auto placeAt = [&target](std::vector<TextBlock> blocks, double top) {
        for (TextBlock& block : blocks) {
            block.rect.translate(0, top);
            for (TextRun& run : block.runs)
                run.origin.ry() += top;
            target.items.push_back(std::move(block));
        }
    };

    // The heading sits in the top margin, ending above the body; the footer in the bottom
    // margin, half-way down it or lower if it has many lines.
    if (!heading_.isEmpty()) {
        auto [blocks, height] = layOutLines(heading_, TextRole::Heading);
        placeAt(std::move(blocks),
                std::max(0.0, std::min(margins_.top() / 2, margins_.top() - height)));
    }
    if (!footer_.isEmpty()) {
        auto [blocks, height] = layOutLines(footer_, TextRole::Footer);
        const double pageHeight = target.size.height();
        const double bottom =
            std::min(pageHeight, std::max(pageHeight - margins_.bottom() / 2,
                                          pageHeight - margins_.bottom() + height));
        placeAt(std::move(blocks), bottom - height);
    }
}

void ReportDocument::printParagraph(const QString& text) {
    ensureOpen();
    const QFontMetricsF metrics(font_.toQFont());
    const double lineHeight = metrics.lineSpacing();
    const double left = x_;
    const double width = std::max(0.0, pageSize_.width() - margins_.right() - left);
    const std::vector<Line> lines =
        breakLines(text, metrics, width, textAlign_, tabStops_, defaultTab_);

    auto newBlock = [&](bool continued) {
        TextBlock block;
        block.text = text;
        block.continued = continued;
        block.font = font_;
        block.align = textAlign_;
        block.tabStops = tabStops_;
        block.defaultTabInterval = defaultTab_;
        block.rect = QRectF(left, y_, width, 0);
        return block;
    };
    TextBlock block = newBlock(false);
    bool blockHasLines = false;
    for (const Line& line : lines) {
        if (y_ + lineHeight > bodyBottom() && y_ > margins_.top() + atTopTolerance) {
            if (blockHasLines)
                page().items.push_back(std::move(block));
            newPage();
            block = newBlock(blockHasLines);
            blockHasLines = false;
        }
        for (const TextRun& run : line.runs)
            block.runs.push_back(
                {run.text, QPointF(left + run.origin.x(), y_ + metrics.ascent()), run.width});
        y_ += lineHeight;
        block.rect.setBottom(y_);
        blockHasLines = true;
    }
    page().items.push_back(std::move(block));
    x_ = margins_.left();
}

QRectF ReportDocument::drawPicture(const QImage& image, XPosition x, Measure y, Measure width,
                                   Measure height, PictureFit fit) {
    ensureOpen();
    const QRectF box =
        QRectF(x.pageX(margins_.left()), y.twips(), width.twips(), height.twips()).normalized();
    QRectF area = box;
    if (fit == PictureFit::KeepAspect && !image.isNull() && !box.isEmpty())
        area.setSize(QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio));
    page().items.push_back(PictureItem{area, image});
    return area;
}

void ReportDocument::drawDrawing(const QPicture& picture, const QSizeF& size, XPosition x,
                                 Measure y, Measure width, Measure height) {
    ensureOpen();
    page().items.push_back(DrawingItem{
        QRectF(x.pageX(margins_.left()), y.twips(), width.twips(), height.twips()).normalized(),
        picture, size});
}

void ReportDocument::drawRectangle(XPosition x1, Measure y1, XPosition x2, Measure y2) {
    ensureOpen();
    const double left = margins_.left();
    page().items.push_back(RectangleItem{
        QRectF(QPointF(x1.pageX(left), y1.twips()), QPointF(x2.pageX(left), y2.twips()))
            .normalized(),
        penWidth_, penColour_, QColor()}); // never filled
}

void ReportDocument::drawLine(XPosition x1, Measure y1, XPosition x2, Measure y2) {
    ensureOpen();
    const double left = margins_.left();
    page().items.push_back(LineItem{QLineF(x1.pageX(left), y1.twips(), x2.pageX(left), y2.twips()),
                                    penWidth_, penColour_});
}

ReportTable& ReportDocument::startTable() {
    ensureOpen();
    table_.emplace();
    return *table_;
}

ReportTable& ReportDocument::table() {
    if (!table_)
        throw std::logic_error("no table has been started");
    return *table_;
}

void ReportDocument::addTable(const ReportTable& table) {
    startTable() = table;
    endTable();
}

void ReportDocument::endTable() {
    ensureOpen();
    if (!table_)
        return;
    const ReportTable table = std::move(*table_);
    table_.reset();
    if (table.rows() == 0 || table.columns() == 0)
        return;

    const double left = margins_.left() + table.indent();
    std::vector<double> columnLefts;
    double tableWidth = 0;
    for (int c = 0; c < table.columns(); ++c) {
        columnLefts.push_back(left + tableWidth);
        tableWidth += table.columnWidth(c);
    }
    const double padX = table.horizontalPadding();
    const double padY = table.verticalPadding();

    auto newBlock = [&](int firstRow) {
        TableBlock block;
        block.rect = QRectF(left, y_, tableWidth, 0);
        block.firstRow = firstRow;
        for (int c = 0; c < table.columns(); ++c) {
            block.columnWidths.push_back(table.columnWidth(c));
            block.columnAlignments.push_back(table.columnAlignment(c));
        }
        block.gridColour = table.gridColour();
        block.gridWidth = table.gridWidth();
        return block;
    };

    TableBlock block = newBlock(0);
    for (int r = 0; r < table.rows(); ++r) {
        ReportFont rowFont = font_;
        rowFont.bold = rowFont.bold || table.rowBold(r);
        std::vector<TextBlock> contents;
        double rowHeight = 0;
        for (int c = 0; c < table.columns(); ++c) {
            const double textWidth = std::max(1.0, table.columnWidth(c) - 2 * padX);
            TextBlock content =
                layoutBlock(table.cellText(r, c), rowFont, QRectF(0, 0, textWidth, 0),
                            table.columnAlignment(c), {}, defaultTab_);
            rowHeight = std::max(rowHeight, content.rect.height() + 2 * padY);
            contents.push_back(std::move(content));
        }
        if (y_ + rowHeight > bodyBottom() && y_ > margins_.top() + atTopTolerance) {
            if (!block.rowHeights.empty())
                page().items.push_back(std::move(block));
            newPage();
            block = newBlock(r);
        }
        for (int c = 0; c < table.columns(); ++c) {
            TextBlock& content = contents[size_t(c)];
            const QPointF shift(columnLefts[size_t(c)] + padX, y_ + padY);
            content.rect.translate(shift);
            for (TextRun& run : content.runs)
                run.origin += shift;
            block.cells.push_back(
                {r, c, QRectF(columnLefts[size_t(c)], y_, table.columnWidth(c), rowHeight),
                 std::move(content)});
        }
        block.rowHeights.push_back(rowHeight);
        block.rowFills.push_back(table.rowFill(r));
        y_ += rowHeight;
        block.rect.setBottom(y_);
    }
    page().items.push_back(std::move(block));
    x_ = margins_.left();
}

} // namespace tarnwick
