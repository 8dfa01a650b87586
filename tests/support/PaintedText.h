#pragma once

#include <algorithm>
#include <cmath>
#include <QColor>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>
#include <QTransform>
#include <QWidget>
#include <vector>

namespace tarnwick::test {

// A run of text as painted: its colour and the colour of the last area filled beneath its start
// (invalid when nothing was filled there).
struct PaintedRun {
    QString text;
    QColor colour;
    QColor background;
};

// A paint device that keeps the text drawn on it, run by run, so a test can check what a widget
// or a page really paints rather than counting pixels.
class TextRecordingDevice : public QPaintDevice {
public:
    TextRecordingDevice(QSize size, int dpi) : size_(size), dpi_(dpi), engine_(this) {}

    QPaintEngine* paintEngine() const override { return &engine_; }
    const QStringList& texts() const { return engine_.texts; }
    const std::vector<PaintedRun>& runs() const { return engine_.runs; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 1 << 24;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(TextRecordingDevice*) : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& changed) override {
            if (changed.state() & DirtyTransform)
                transform_ = changed.transform();
            if (changed.state() & DirtyPen)
                pen_ = changed.pen().color();
            if (changed.state() & DirtyBrush)
                brush_ = changed.brush();
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF* rects, int count) override {
            if (brush_.style() != Qt::SolidPattern)
                return;
            for (int i = 0; i < count; ++i)
                fills_.push_back({transform_.mapRect(rects[i]), brush_.color()});
        }
        void drawRects(const QRect* rects, int count) override {
            for (int i = 0; i < count; ++i) {
                const QRectF rect(rects[i]);
                drawRects(&rect, 1);
            }
        }
        void drawTextItem(const QPointF& at, const QTextItem& item) override {
            texts << item.text();
            // A point just inside the run's first glyph, above its baseline.
            const QPointF inside = transform_.map(at + QPointF(1, -item.ascent() / 2));
            QColor background;
            for (auto fill = fills_.rbegin(); fill != fills_.rend() && !background.isValid();
                 ++fill)
                if (fill->first.contains(inside))
                    background = fill->second;
            runs.push_back({item.text(), pen_, background});
        }
        Type type() const override { return User; }
        QStringList texts;
        std::vector<PaintedRun> runs;

    private:
        QTransform transform_;
        QColor pen_;
        QBrush brush_;
        std::vector<std::pair<QRectF, QColor>> fills_;
    };

    QSize size_;
    int dpi_;
    mutable Engine engine_;
};

// The runs of text a widget paints.
inline QStringList paintedTexts(QWidget& widget) {
    TextRecordingDevice device(widget.size(), widget.logicalDpiX());
    widget.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    return device.texts();
}

} // namespace tarnwick::test

namespace tarnwick::test {

// The runs of text a widget paints, with their colours.
inline std::vector<PaintedRun> paintedRuns(QWidget& widget) {
    TextRecordingDevice device(widget.size(), widget.logicalDpiX());
    widget.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    return device.runs();
}

// WCAG's contrast ratio of two colours, from 1 to 21.
inline double wcagContrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& colour) {
        const auto channel = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
               0.0722 * channel(rgb.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace tarnwick::test
