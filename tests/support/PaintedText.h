#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>
#include <QWidget>

namespace tarnwick::test {

// A paint device that keeps the text drawn on it, run by run, so a test can check what a widget
// or a page really paints rather than counting pixels.
class TextRecordingDevice : public QPaintDevice {
public:
    TextRecordingDevice(QSize size, int dpi) : size_(size), dpi_(dpi), engine_(this) {}

    QPaintEngine* paintEngine() const override { return &engine_; }
    const QStringList& texts() const { return engine_.texts; }

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
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
        Type type() const override { return User; }
        QStringList texts;
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
