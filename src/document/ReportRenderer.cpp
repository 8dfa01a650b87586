#include "document/ReportRenderer.h"

#include "platform/FileAccess.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <type_traits>

namespace tarnwick {

namespace {

QPen penOf(double width, const QColor& colour) {
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void paintText(QPainter& painter, const TextBlock& block) {
    if (block.runs.empty())
        return;
    painter.setFont(block.font.toQFont());
    painter.setPen(block.font.colour);
    for (const TextRun& run : block.runs)
        painter.drawText(run.origin, run.text);
}

void paintTable(QPainter& painter, const TableBlock& table) {
    double y = table.rect.top();
    for (size_t r = 0; r < table.rowHeights.size(); ++r) {
        if (table.rowFills[r].isValid())
            painter.fillRect(QRectF(table.rect.left(), y, table.rect.width(), table.rowHeights[r]),
                             table.rowFills[r]);
        y += table.rowHeights[r];
    }
    for (const TableCell& cell : table.cells)
        paintText(painter, cell.content);
    if (!table.gridColour.isValid() || table.gridWidth <= 0)
        return;
    painter.setPen(penOf(table.gridWidth, table.gridColour));
    painter.setBrush(Qt::NoBrush);
    y = table.rect.top();
    for (double height : table.rowHeights) {
        y += height;
        painter.drawLine(QPointF(table.rect.left(), y), QPointF(table.rect.right(), y));
    }
    double x = table.rect.left();
    for (size_t c = 0; c + 1 < table.columnWidths.size(); ++c) {
        x += table.columnWidths[c];
        painter.drawLine(QPointF(x, table.rect.top()), QPointF(x, table.rect.bottom()));
    }
    painter.drawRect(table.rect);
}

void paintDrawing(QPainter& painter, const DrawingItem& drawing) {
    if (drawing.picture.isNull() || drawing.size.isEmpty() || drawing.rect.isEmpty())
        return;
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    painter.save();
    painter.translate(drawing.rect.topLeft());
    // A picture plays back scaled from its own resolution to the device's; that factor is taken
    // out so only the box decides the size.
    const double dpiX = double(drawing.picture.logicalDpiX()) / device->logicalDpiX();
    const double dpiY = double(drawing.picture.logicalDpiY()) / device->logicalDpiY();
    painter.scale(drawing.rect.width() / drawing.size.width() * dpiX,
                  drawing.rect.height() / drawing.size.height() * dpiY);
    painter.setClipRect(QRectF(0, 0, drawing.size.width() / dpiX, drawing.size.height() / dpiY),
                        Qt::IntersectClip);
    painter.drawPicture(QPointF(0, 0), drawing.picture);
    painter.restore();
}

} // namespace

void paintPageInTwips(QPainter& painter, const ReportPage& page) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PageItem& item : page.items) {
        std::visit(
            [&painter](const auto& it) {
                using T = std::decay_t<decltype(it)>;
                if constexpr (std::is_same_v<T, TextBlock>) {
                    paintText(painter, it);
                } else if constexpr (std::is_same_v<T, TableBlock>) {
                    paintTable(painter, it);
                } else if constexpr (std::is_same_v<T, PictureItem>) {
                    if (!it.image.isNull())
                        painter.drawImage(it.rect, it.image);
                } else if constexpr (std::is_same_v<T, DrawingItem>) {
                    paintDrawing(painter, it);
                } else if constexpr (std::is_same_v<T, RectangleItem>) {
                    painter.setPen(it.penWidth > 0 ? penOf(it.penWidth, it.penColour)
                                                   : QPen(Qt::NoPen));
                    painter.setBrush(it.fill.isValid() ? QBrush(it.fill) : QBrush(Qt::NoBrush));
                    painter.drawRect(it.rect);
                } else if constexpr (std::is_same_v<T, LineItem>) {
                    painter.setPen(penOf(it.penWidth, it.penColour));
                    painter.drawLine(it.line);
                }
            },
            item);
    }
    painter.restore();
}

void paintPage(QPainter& painter, const ReportPage& page, const QRectF& target) {
    if (page.size.isEmpty() || target.isEmpty())
        return;
    const double scale =
        std::min(target.width() / page.size.width(), target.height() / page.size.height());
    const QSizeF shown = page.size * scale;
    const QPointF origin(target.left() + (target.width() - shown.width()) / 2,
                         target.top() + (target.height() - shown.height()) / 2);
    painter.save();
    painter.fillRect(QRectF(origin, shown), Qt::white);
    painter.translate(origin);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(QPointF(0, 0), page.size));
    paintPageInTwips(painter, page);
    painter.restore();
}

QImage renderPageImage(const ReportPage& page, double dotsPerInch) {
    const double scale = twipsToDevice(dotsPerInch);
    const QSize pixels = (page.size * scale).toSize().expandedTo(QSize(1, 1));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const int dotsPerMetre = int(dotsPerInch / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintPageInTwips(painter, page);
    painter.end();
    return image;
}

bool printDocument(const ReportDocument& document, QPagedPaintDevice& device) {
    const auto layoutFor = [](const ReportPage& page) {
        const QPageSize size(page.size / twipsPerInch, QPageSize::Inch, QString(),
                             QPageSize::ExactMatch);
        return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    };
    // The pages the user chose in a print dialog; none chosen means all.
    const QPageRanges chosen = device.pageRanges();
    std::vector<const ReportPage*> pages;
    for (const ReportPage& page : document.pages())
        if (chosen.isEmpty() || chosen.contains(page.number))
            pages.push_back(&page);
    if (pages.empty())
        return false;
    device.setPageLayout(layoutFor(*pages.front()));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            device.setPageLayout(layoutFor(*pages[i]));
            device.newPage();
        }
        painter.save();
        const double scale = twipsToDevice(device.logicalDpiX());
        painter.scale(scale, twipsToDevice(device.logicalDpiY()));
        paintPageInTwips(painter, *pages[i]);
        painter.restore();
    }
    return painter.end();
}

bool writePdf(const ReportDocument& document, QIODevice& output, const QString& title) {
    // The PDF writer ignores what its writes return: it writes into memory, which cannot fail
    // half way, and the whole is then written out with every write checked.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Tarnwick"));
        if (!title.isEmpty())
            writer.setTitle(title);
        writer.setResolution(1200);
        if (!printDocument(document, writer))
            return false;
    }
    return writeAll(output, pdf);
}

} // namespace tarnwick
