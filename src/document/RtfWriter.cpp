#include "document/RtfWriter.h"

#include "document/ReportDocument.h"
#include "document/ReportRenderer.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <type_traits>
#include <variant>

namespace tarnwick {

namespace {

// Pictures and charts go into the file at this resolution at most: enough for print, and the
// file stays a size a mail program takes.
constexpr double pictureDotsPerInch = 200;
// Shape line widths are in EMU, 635 to the twip.
constexpr qint64 emuPerTwip = 635;
constexpr double tolerance = 0.5;
// The paragraph that must follow a table, and the one that holds a page's shapes when no text
// comes first.
constexpr double closingParagraphHeight = 20;

int twips(double value) {
    return int(std::lround(value));
}

QByteArray number(qint64 value) {
    return QByteArray::number(value);
}

// Text of one paragraph or cell, escaped: tabs as tab characters, line breaks as line breaks,
// everything beyond ASCII as Unicode with "?" for readers that know no Unicode.
QByteArray escaped(QStringView text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            out += "\\\\";
            break;
        case u'{':
            out += "\\{";
            break;
        case u'}':
            out += "\\}";
            break;
        case u'\t':
            out += "\\tab ";
            break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += "\\line ";
            break;
        case u'\n':
            out += "\\line ";
            break;
        default:
            if (c >= 0x20 && c < 0x7f)
                out += char(c);
            else if (c >= 0x80)
                out += "\\u" + number(qint16(c)) + '?';
            break;
        }
    }
    return out;
}

// The fonts and colours the document uses, numbered for the file's tables.
class Tables {
public:
    int font(const QString& family) {
        const auto found = std::find(fonts_.begin(), fonts_.end(), family);
        if (found != fonts_.end())
            return int(found - fonts_.begin());
        fonts_.push_back(family);
        return int(fonts_.size()) - 1;
    }
    // Index 0 is the reader's automatic colour.
    int colour(const QColor& colour) {
        const QRgb rgb = colour.rgb() & 0xffffff;
        const auto found = std::find(colours_.begin(), colours_.end(), rgb);
        if (found != colours_.end())
            return int(found - colours_.begin()) + 1;
        colours_.push_back(rgb);
        return int(colours_.size());
    }

    QByteArray fontTable() const {
        QByteArray out = "{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            const bool fixed = QFontInfo(QFont(fonts_[i])).fixedPitch();
            out += "{\\f" + number(qint64(i)) + (fixed ? "\\fmodern" : "\\fswiss") +
                   "\\fcharset0 " + escaped(fonts_[i]) + ";}";
        }
        return out + "}\n";
    }
    QByteArray colourTable() const {
        QByteArray out = "{\\colortbl;";
        for (QRgb rgb : colours_)
            out += "\\red" + number(qRed(rgb)) + "\\green" + number(qGreen(rgb)) + "\\blue" +
                   number(qBlue(rgb)) + ';';
        return out + "}\n";
    }

private:
    std::vector<QString> fonts_;
    std::vector<QRgb> colours_;
};

double lineHeightOf(const ReportFont& font) {
    return QFontMetricsF(font.toQFont()).lineSpacing();
}

QByteArray alignment(TextAlign align) {
    switch (align) {
    case TextAlign::Centre:
        return "\\qc";
    case TextAlign::Right:
        return "\\qr";
    case TextAlign::Left:
        break;
    }
    return "\\ql";
}

QByteArray characterFormat(Tables& tables, const ReportFont& font) {
    QByteArray out =
        "\\f" + number(tables.font(font.family)) + "\\fs" + number(std::lround(font.pointSize * 2));
    if (font.bold)
        out += "\\b";
    if (font.italic)
        out += "\\i";
    if (font.underline)
        out += "\\ul";
    if (font.colour.isValid() && font.colour != QColor(Qt::black))
        out += "\\cf" + number(tables.colour(font.colour));
    return out + ' ';
}

// Explicit stops where the layout put them: the block's own, then its default interval up to
// the block's right edge, so a reader whose default stops count from elsewhere lines up too.
// Positions are from offset (the paragraph's indent from the margin, or 0 in a cell).
QByteArray tabStops(const TextBlock& block, double offset) {
    std::vector<double> stops;
    for (double stop : block.tabStops)
        if (stop > 0)
            stops.push_back(stop);
    if (block.text.contains(u'\t')) {
        const double interval = block.defaultTabInterval > 0 ? block.defaultTabInterval : 720;
        const double last = stops.empty() ? 0 : stops.back();
        for (double stop = (std::floor(last / interval) + 1) * interval;
             stop < block.rect.width() - tolerance; stop += interval)
            stops.push_back(stop);
    }
    std::sort(stops.begin(), stops.end());
    QByteArray out;
    for (double stop : stops)
        out += "\\tx" + number(twips(offset + stop));
    return out;
}

// A paragraph at exactly the layout's line height, so it takes the room it took on the page.
QByteArray paragraphFormat(const TextBlock& block, double indent, double spaceBefore) {
    return "\\pard\\plain\\nowidctlpar" + alignment(block.align) + "\\li" + number(twips(indent)) +
           "\\ri0\\sb" + number(twips(std::max(0.0, spaceBefore))) + "\\sa0\\sl-" +
           number(twips(lineHeightOf(block.font))) + "\\slmult0" + tabStops(block, indent);
}

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // The quickest compression: every report writes its rich text, and the smallest file would
    // cost it more time than it saves room.
    image.save(&buffer, "PNG", 80);
    return png;
}

QByteArray hexLines(const QByteArray& data) {
    const QByteArray hex = data.toHex();
    QByteArray out;
    out.reserve(hex.size() + hex.size() / 128 + 1);
    for (qsizetype i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + '\n';
    return out;
}

// The picture of a box at the file's resolution: an image scaled down when it holds more, a
// drawing rendered.
QImage pictureForBox(const PageItem& item) {
    const QRectF rect = boundsOf(item);
    const QSize most = (rect.size() * (pictureDotsPerInch / twipsPerInch)).toSize();
    if (const auto* picture = std::get_if<PictureItem>(&item)) {
        if (picture->image.width() > most.width() || picture->image.height() > most.height())
            return picture->image.scaled(most.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio,
                                         Qt::SmoothTransformation);
        return picture->image;
    }
    const auto& drawing = std::get<DrawingItem>(item);
    QImage image(most.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = int(pictureDotsPerInch / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    ReportPage page;
    page.size = rect.size();
    DrawingItem placed = drawing;
    placed.rect.moveTopLeft(QPointF(0, 0));
    page.items.push_back(placed);
    QPainter painter(&image);
    painter.scale(double(image.width()) / rect.width(), double(image.height()) / rect.height());
    paintPageInTwips(painter, page);
    painter.end();
    return image;
}

QByteArray property(const char* name, const QByteArray& value) {
    return QByteArray("{\\sp{\\sn ") + name + "}{\\sv " + value + "}}";
}

qint64 shapeColour(const QColor& colour) {
    // Shape colours are written blue, green, red from the high byte down.
    return qint64(colour.red()) | (qint64(colour.green()) << 8) | (qint64(colour.blue()) << 16);
}

// One table as the writer sees it: every row, whichever page it fell on.
struct FullTable {
    QRectF firstRect; // of its first part
    int firstPage = 0;
    std::vector<double> columnWidths;
    std::vector<TextAlign> columnAlignments;
    std::vector<double> rowHeights;
    std::vector<QColor> rowFills;
    std::vector<const TableCell*> cells; // row by row
    QColor gridColour;
    double gridWidth = 10;
    double paddingY = 0;
    double left() const { return firstRect.left(); }
    double width() const { return firstRect.width(); }
    int rows() const { return int(rowHeights.size()); }
    int columns() const { return int(columnWidths.size()); }
};

class Writer {
public:
    Writer(const ReportDocument& document, const QString& title)
        : document_(document), title_(title) {}

    QByteArray write();

private:
    void collectTables();
    QByteArray headerAndFooter(const ReportPage& page);
    QByteArray headingLines(const QString& text, const ReportFont& font, bool footer);
    QByteArray page(size_t index, bool breakBefore);
    QByteArray paragraph(const TextBlock& block, double spaceBefore);
    QByteArray tableRows(const std::vector<const FullTable*>& group);
    // The opening of a page-anchored shape over rect, numbered after the ones before it.
    QByteArray shapeStart(const QRectF& rect);
    QByteArray shape(const PageItem& item);
    QByteArray textShape(const TextBlock& block);

    double bodyTop() const { return document_.marginTop(); }
    double marginLeft() const { return document_.marginLeft(); }

    const ReportDocument& document_;
    QString title_;
    Tables tables_;
    int shapeCount_ = 0;
    std::vector<FullTable> fullTables_;
    // Which full table each table part on each page belongs to, and whether it is its first part.
    std::map<const TableBlock*, std::pair<size_t, bool>> parts_;
};

void Writer::collectTables() {
    std::vector<size_t> open; // tables whose rows may go on past the page
    for (size_t p = 0; p < document_.pages().size(); ++p) {
        std::vector<size_t> stillOpen;
        for (const PageItem& item : document_.pages()[p].items) {
            const auto* part = std::get_if<TableBlock>(&item);
            if (!part)
                continue;
            std::optional<size_t> owner;
            if (part->firstRow > 0) {
                for (size_t t : open)
                    if (fullTables_[t].rows() == part->firstRow &&
                        fullTables_[t].columnWidths == part->columnWidths) {
                        owner = t;
                        break;
                    }
            }
            if (!owner) {
                FullTable table;
                table.firstRect = part->rect;
                table.firstPage = int(p);
                table.columnWidths = part->columnWidths;
                table.columnAlignments = part->columnAlignments;
                table.gridColour = part->gridColour;
                table.gridWidth = part->gridWidth;
                if (!part->cells.empty()) {
                    const TableCell& cell = part->cells.front();
                    table.paddingY = cell.content.rect.top() - cell.rect.top();
                }
                fullTables_.push_back(std::move(table));
                owner = fullTables_.size() - 1;
                parts_[part] = {*owner, true};
            } else {
                parts_[part] = {*owner, false};
            }
            FullTable& table = fullTables_[*owner];
            table.rowHeights.insert(table.rowHeights.end(), part->rowHeights.begin(),
                                    part->rowHeights.end());
            table.rowFills.insert(table.rowFills.end(), part->rowFills.begin(),
                                  part->rowFills.end());
            for (const TableCell& cell : part->cells)
                table.cells.push_back(&cell);
            stillOpen.push_back(*owner);
        }
        open = stillOpen;
    }
}

QByteArray Writer::headingLines(const QString& text, const ReportFont& font, bool footer) {
    const double width =
        document_.pageSize().width() - document_.marginLeft() - document_.marginRight();
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    QByteArray out;
    for (const QString& line : normal.split(u'\n')) {
        const QStringList parts = line.split(u'|');
        const QString left = parts.value(0);
        const QString centre = parts.value(1);
        const QString right = parts.value(2);
        out += "\\pard\\plain\\nowidctlpar\\ql\\li0\\ri0\\sb0\\sa0\\sl-" +
               number(twips(lineHeightOf(font))) + "\\slmult0";
        if (!centre.isEmpty())
            out += "\\tqc\\tx" + number(twips(width / 2));
        if (!right.isEmpty())
            out += "\\tqr\\tx" + number(twips(width));
        out += characterFormat(tables_, font);
        auto piece = [&](const QString& part) {
            if (!footer)
                return escaped(part);
            // The page number is the reader's own field, right on every page.
            QByteArray pieceOut;
            const QStringList around = part.split(QStringLiteral("%d"));
            for (qsizetype i = 0; i < around.size(); ++i) {
                if (i > 0)
                    pieceOut += "{\\field{\\*\\fldinst { PAGE }}{\\fldrslt {1}}}";
                pieceOut += escaped(around[i]);
            }
            return pieceOut;
        };
        out += piece(left);
        if (!centre.isEmpty())
            out += "\\tab " + piece(centre);
        if (!right.isEmpty())
            out += "\\tab " + piece(right);
        out += "\\par\n";
    }
    return out;
}

QByteArray Writer::headerAndFooter(const ReportPage& page) {
    ReportFont headingFont = document_.headingFont();
    ReportFont footerFont = document_.headingFont();
    double headingTop = document_.marginTop() / 2;
    double footerBottom = page.size.height() - document_.marginBottom() / 2;
    bool sawHeading = false;
    bool sawFooter = false;
    for (const PageItem& item : page.items) {
        const auto* block = std::get_if<TextBlock>(&item);
        if (!block)
            continue;
        if (block->role == TextRole::Heading) {
            headingTop = sawHeading ? std::min(headingTop, block->rect.top()) : block->rect.top();
            headingFont = block->font;
            sawHeading = true;
        } else if (block->role == TextRole::Footer) {
            footerBottom =
                sawFooter ? std::max(footerBottom, block->rect.bottom()) : block->rect.bottom();
            footerFont = block->font;
            sawFooter = true;
        }
    }
    QByteArray out = "\\headery" + number(twips(headingTop)) + "\\footery" +
                     number(twips(page.size.height() - footerBottom)) + '\n';
    if (!page.heading.isEmpty())
        out += "{\\header " + headingLines(page.heading, headingFont, false) + "}\n";
    if (!page.footer.isEmpty())
        out += "{\\footer " + headingLines(page.footer, footerFont, true) + "}\n";
    return out;
}

QByteArray Writer::paragraph(const TextBlock& block, double spaceBefore) {
    return paragraphFormat(block, block.rect.left() - marginLeft(), spaceBefore) +
           characterFormat(tables_, block.font) + escaped(block.text) + "\\par\n";
}

QByteArray Writer::tableRows(const std::vector<const FullTable*>& group) {
    // Gaps between tables side by side, and rows a shorter table does not have.
    const QByteArray emptyCell = "\\pard\\plain\\intbl\\sl-20\\slmult0\\fs2 \\cell\n";
    int rows = 0;
    for (const FullTable* table : group)
        rows = std::max(rows, table->rows());
    const double left = group.front()->left();
    QByteArray out;
    for (int r = 0; r < rows; ++r) {
        double height = 0;
        for (const FullTable* table : group)
            if (r < table->rows())
                height = std::max(height, table->rowHeights[size_t(r)]);
        const FullTable& first = *group.front();
        // Readers disagree on whether \\trleft is the cells' border or their text when cells have
        // padding at the sides; with none, all put the border there. The text keeps its
        // distance from the border through the paragraphs' own indents.
        out += "\\trowd\\trgaph0\\trleft" + number(twips(left - marginLeft())) + "\\trrh-" +
               number(twips(height)) + "\\trpaddl0\\trpaddr0\\trpaddt" +
               number(twips(first.paddingY)) + "\\trpaddb" + number(twips(first.paddingY)) +
               "\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3\n";
        QByteArray contents;
        double x = left;
        for (const FullTable* table : group) {
            if (table->left() > x + tolerance) {
                // The gap between tables side by side: a cell with no borders.
                out += "\\clvertalt\\cellx" + number(twips(table->left() - marginLeft())) + '\n';
                contents += emptyCell;
            }
            double cellLeft = table->left();
            for (int c = 0; c < table->columns(); ++c) {
                const double cellRight = cellLeft + table->columnWidths[size_t(c)];
                const bool present = r < table->rows();
                if (present) {
                    const QColor fill = table->rowFills[size_t(r)];
                    if (fill.isValid())
                        out += "\\clcbpat" + number(tables_.colour(fill));
                    if (table->gridColour.isValid() && table->gridWidth > 0) {
                        const QByteArray border = "\\brdrs\\brdrw" +
                                                  number(twips(table->gridWidth)) + "\\brdrcf" +
                                                  number(tables_.colour(table->gridColour));
                        for (const char* side :
                             {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"})
                            out += side + border;
                    }
                }
                out += "\\clvertalt\\cellx" + number(twips(cellRight - marginLeft())) + '\n';
                if (present) {
                    const TextBlock& text =
                        table->cells[size_t(r) * size_t(table->columns()) + size_t(c)]->content;
                    const double inset = text.rect.left() - cellLeft;
                    contents += "\\pard\\plain\\intbl\\nowidctlpar" + alignment(text.align) +
                                "\\li" + number(twips(inset)) + "\\ri" +
                                number(twips(cellRight - text.rect.right())) + "\\sl-" +
                                number(twips(lineHeightOf(text.font))) + "\\slmult0" +
                                tabStops(text, inset) + characterFormat(tables_, text.font) +
                                escaped(text.text) + "\\cell\n";
                } else {
                    contents += emptyCell;
                }
                cellLeft = cellRight;
            }
            x = cellLeft;
        }
        out += contents + "\\row\n";
    }
    // A table ends with a paragraph of its own, as short as readers allow.
    out += "\\pard\\plain\\sl-" + number(twips(closingParagraphHeight)) + "\\slmult0\\fs2\\par\n";
    return out;
}

QByteArray Writer::shapeStart(const QRectF& rect) {
    ++shapeCount_;
    return "{\\shp{\\*\\shpinst\\shpleft" + number(twips(rect.left())) + "\\shptop" +
           number(twips(rect.top())) + "\\shpright" + number(twips(rect.right())) + "\\shpbottom" +
           number(twips(rect.bottom())) +
           "\\shpfhdr0\\shpbxpage\\shpbxignore\\shpbypage\\shpbyignore\\shpwr3\\shpwrk0"
           "\\shpfblwtxt0\\shpz" +
           number(shapeCount_) + "\\shplid" + number(1024 + shapeCount_) + '\n';
}

QByteArray Writer::shape(const PageItem& item) {
    const QRectF rect = boundsOf(item);
    QByteArray out = shapeStart(rect);
    std::visit(
        [&](const auto& it) {
            using T = std::decay_t<decltype(it)>;
            if constexpr (std::is_same_v<T, PictureItem> || std::is_same_v<T, DrawingItem>) {
                const QImage image = pictureForBox(item);
                out +=
                    property("shapeType", "75") + property("fLine", "0") + property("fFilled", "0");
                out += "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picw" + number(image.width()) +
                       "\\pich" + number(image.height()) + "\\picwgoal" +
                       number(twips(rect.width())) + "\\pichgoal" + number(twips(rect.height())) +
                       '\n' + hexLines(pngOf(image)) + "}}}";
            } else if constexpr (std::is_same_v<T, RectangleItem>) {
                out += property("shapeType", "1");
                out += property("fFilled", it.fill.isValid() ? "1" : "0");
                if (it.fill.isValid())
                    out += property("fillColor", number(shapeColour(it.fill)));
                out += property("fLine", it.penWidth > 0 ? "1" : "0");
                out += property("lineColor", number(shapeColour(it.penColour)));
                out += property("lineWidth", number(qint64(twips(it.penWidth)) * emuPerTwip));
            } else if constexpr (std::is_same_v<T, LineItem>) {
                out += property("shapeType", "20");
                out += property("fFlipH", it.line.x2() < it.line.x1() ? "1" : "0");
                out += property("fFlipV", it.line.y2() < it.line.y1() ? "1" : "0");
                out += property("lineColor", number(shapeColour(it.penColour)));
                out += property("lineWidth", number(qint64(twips(it.penWidth)) * emuPerTwip));
            }
        },
        item);
    return out + "}}\n";
}

QByteArray Writer::textShape(const TextBlock& block) {
    QByteArray out = shapeStart(block.rect);
    out += property("shapeType", "202") + property("fFilled", "0") + property("fLine", "0") +
           property("dxTextLeft", "0") + property("dxTextRight", "0") + property("dyTextTop", "0") +
           property("dyTextBottom", "0") + property("fFitShapeToText", "0") +
           property("WrapText", "2") + '\n';
    out += "{\\shptxt " + paragraphFormat(block, 0, 0) + characterFormat(tables_, block.font) +
           escaped(block.text) + "\\par}";
    return out + "}}\n";
}

QByteArray Writer::page(size_t index, bool breakBefore) {
    const ReportPage& page = document_.pages()[index];
    // What keeps to the flow: paragraphs and tables that start no higher than where the flow
    // has got to, top to bottom. The rest (and everything with a place of its own) is a shape.
    struct Flow {
        double top;
        double bottom;
        double left;
        const TextBlock* text = nullptr;
        std::vector<const FullTable*> tables;
        bool continuation = false; // already written with the page it started on
    };
    std::vector<Flow> candidates;
    std::vector<const PageItem*> placed;
    std::map<double, std::vector<const FullTable*>> tablesByTop;
    for (const PageItem& item : page.items) {
        if (const auto* block = std::get_if<TextBlock>(&item)) {
            if (block->role == TextRole::Body)
                candidates.push_back({block->rect.top(),
                                      block->rect.bottom(),
                                      block->rect.left(),
                                      block,
                                      {},
                                      block->continued});
        } else if (const auto* part = std::get_if<TableBlock>(&item)) {
            const auto& [owner, first] = parts_.at(part);
            if (!first) {
                candidates.push_back(
                    {part->rect.top(), part->rect.bottom(), part->rect.left(), nullptr, {}, true});
                continue;
            }
            // Tables whose tops meet go side by side in one.
            double key = part->rect.top();
            for (const auto& [top, group] : tablesByTop)
                if (std::abs(top - key) <= tolerance)
                    key = top;
            tablesByTop[key].push_back(&fullTables_[owner]);
        } else {
            placed.push_back(&item);
        }
    }
    for (auto& [top, group] : tablesByTop) {
        std::sort(group.begin(), group.end(),
                  [](const FullTable* a, const FullTable* b) { return a->left() < b->left(); });
        double bottom = top;
        for (const FullTable* table : group) {
            double height = 0;
            for (double h : table->rowHeights)
                height += h;
            bottom = std::max(bottom, top + height);
        }
        candidates.push_back({top, bottom, group.front()->left(), nullptr, group, false});
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Flow& a, const Flow& b) {
        return a.top < b.top - tolerance ||
               (std::abs(a.top - b.top) <= tolerance && a.left < b.left);
    });

    std::vector<const Flow*> flow;
    std::vector<const TextBlock*> textShapes;
    double reached = bodyTop();
    for (const Flow& candidate : candidates) {
        if (candidate.top >= reached - tolerance || candidate.continuation ||
            !candidate.tables.empty()) {
            flow.push_back(&candidate);
            reached = std::max(reached, candidate.bottom);
        } else {
            textShapes.push_back(candidate.text);
        }
    }

    QByteArray shapes;
    for (const PageItem* item : placed)
        shapes += shape(*item);
    for (const TextBlock* block : textShapes)
        shapes += textShape(*block);

    // Readers move the text that follows a paragraph holding shapes when that paragraph also
    // breaks the page or has room above it: the page break and the shapes get short paragraphs
    // of their own, the break first.
    const QByteArray shortParagraph = "\\pard\\plain\\nowidctlpar\\sb0\\sa0\\sl-" +
                                      number(twips(closingParagraphHeight)) + "\\slmult0";
    QByteArray out;
    double y = bodyTop();
    // A page that goes on with what the last page began needs no break: the reader carries it
    // over itself.
    const bool carriedOver = !flow.empty() && flow.front()->continuation;
    if (breakBefore && !carriedOver) {
        out += shortParagraph + "\\pagebb\\fs2 \\par\n";
        y += closingParagraphHeight;
    }
    bool anchored = shapes.isEmpty();
    const auto anchorShapes = [&] {
        if (anchored)
            return;
        out += shortParagraph + "\\fs2 " + shapes + "\\par\n";
        y += closingParagraphHeight;
        anchored = true;
    };
    for (const Flow* item : flow) {
        if (item->continuation) {
            y = std::max(y, item->bottom);
            continue;
        }
        anchorShapes();
        const double gap = item->top - y;
        const double height = item->bottom - item->top;
        if (item->text) {
            out += paragraph(*item->text, gap);
            y = std::max(item->top, y) + height;
        } else {
            double top = std::max(item->top, y);
            if (gap > tolerance) {
                // Tables take no room above them: an empty paragraph of the gap's height does.
                const double room = std::max(closingParagraphHeight, gap);
                out += "\\pard\\plain\\nowidctlpar\\sb0\\sa0\\sl-" + number(twips(room)) +
                       "\\slmult0\\fs2 \\par\n";
                top = y + room;
            }
            out += tableRows(item->tables);
            y = top + height + closingParagraphHeight;
        }
    }
    anchorShapes();
    if (out.isEmpty() && !carriedOver)
        out += shortParagraph + "\\fs2 \\par\n"; // an empty page still is one
    return out;
}

QByteArray Writer::write() {
    collectTables();
    const std::vector<ReportPage>& pages = document_.pages();
    QByteArray body;
    QString heading;
    QString footer;
    for (size_t p = 0; p < pages.size(); ++p) {
        const ReportPage& page = pages[p];
        const bool newSection = p == 0 || page.heading != heading || page.footer != footer ||
                                page.size != pages[p - 1].size;
        if (newSection) {
            if (p > 0)
                body += "\\sect";
            body += "\\sectd\\sbkpage\\pgwsxn" + number(twips(page.size.width())) + "\\pghsxn" +
                    number(twips(page.size.height())) + "\\marglsxn" +
                    number(twips(document_.marginLeft())) + "\\margrsxn" +
                    number(twips(document_.marginRight())) + "\\margtsxn" +
                    number(twips(document_.marginTop())) + "\\margbsxn" +
                    number(twips(document_.marginBottom()));
            body += headerAndFooter(page);
            heading = page.heading;
            footer = page.footer;
        }
        // A new section starts its own page.
        body += this->page(p, p > 0 && !newSection);
    }

    const QSizeF paper = pages.empty() ? document_.pageSize() : pages.front().size;
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\\deftab720\n";
    const QByteArray colours = tables_.colourTable();
    out += tables_.fontTable() + colours;
    out += "{\\*\\generator Tarnwick;}\n";
    const QDateTime now = QDateTime::currentDateTime();
    out += "{\\info{\\title " + escaped(title_) + "}{\\creatim\\yr" + number(now.date().year()) +
           "\\mo" + number(now.date().month()) + "\\dy" + number(now.date().day()) + "\\hr" +
           number(now.time().hour()) + "\\min" + number(now.time().minute()) + "}}\n";
    out += "\\paperw" + number(twips(paper.width())) + "\\paperh" + number(twips(paper.height())) +
           "\\margl" + number(twips(document_.marginLeft())) + "\\margr" +
           number(twips(document_.marginRight())) + "\\margt" +
           number(twips(document_.marginTop())) + "\\margb" +
           number(twips(document_.marginBottom())) + "\\viewkind1\n";
    out += body;
    out += "}\n";
    return out;
}

} // namespace

QByteArray writeRtf(const ReportDocument& document, const QString& title) {
    return Writer(document, title).write();
}

} // namespace tarnwick
