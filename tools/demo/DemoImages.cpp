#include "DemoImages.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace Qt::StringLiterals;

namespace tarnwick::demo {
namespace {

QString formatNumber(double value) {
    return QString::number(value, 'g', 6);
}

std::uint32_t imageSeed(const Photo& photo) {
    return 0x51C0FFEEu ^ (static_cast<std::uint32_t>(photo.bookIndex) << 20) ^
           static_cast<std::uint32_t>(photo.sequence);
}

// Lighter or darker by up to percent, keeping the hue.
QColor vary(Rng& rng, const QColor& base, int percent) {
    const int factor = 100 + rng.integer(-percent, percent);
    return factor >= 100 ? base.lighter(factor) : base.darker(10000 / factor);
}

// Distant things take on the colour of the air.
QColor hazed(const QColor& color, double scale) {
    const double amount = std::clamp((0.8 - scale) * 0.7, 0.0, 0.5);
    const QColor air(168, 190, 206);
    const auto mix = [&](int near, int far) {
        return static_cast<int>(std::lround(near + (far - near) * amount));
    };
    return QColor(mix(color.red(), air.red()), mix(color.green(), air.green()),
                  mix(color.blue(), air.blue()), color.alpha());
}

double siteValue(const Photo& photo, SiteField field, double fallback) {
    const std::optional<double>& value = photo.site[field];
    return value && *value >= 0 ? *value : fallback;
}

// Something standing on the ground, drawn back to front.
struct Scenery {
    double y; // ground contact, in pixels
    int kind;
    double scale;
    std::uint32_t seed;
};

enum SceneryKind { Tree, Shrub, Tuft, Log, Stick };

constexpr int photoWidth = 900;
constexpr int photoHeight = 600;

void paintTree(QPainter& painter, Cover cover, double x, double y, double scale, Rng& rng) {
    const bool squat =
        cover == Cover::Juniper || cover == Cover::Shrubland || cover == Cover::Grassland;
    const double height = scale * (squat ? rng.uniform(110, 200) : rng.uniform(260, 480));
    const double trunkWidth = std::max(1.5, height * rng.uniform(0.025, 0.04));
    // Broad crowns hide the top of the bole.
    const double bole = squat ? 0.3 : (cover == Cover::Hardwood ? 0.8 : 1.0);
    QColor bark = cover == Cover::Pine       ? QColor(150, 92, 55)
                  : cover == Cover::Hardwood ? QColor(110, 104, 96)
                                             : QColor(92, 68, 50);
    if (cover == Cover::Hardwood && rng.chance(0.4))
        bark = QColor(214, 212, 200); // aspen and birch
    painter.setPen(Qt::NoPen);
    QLinearGradient trunk(x - trunkWidth / 2, 0, x + trunkWidth / 2, 0);
    trunk.setColorAt(0, hazed(bark.lighter(115), scale));
    trunk.setColorAt(1, hazed(bark.darker(140), scale));
    painter.setBrush(trunk);
    painter.drawRect(QRectF(x - trunkWidth / 2, y - height * bole, trunkWidth, height * bole));

    switch (cover) {
    case Cover::Pine: {
        // Open crown of tufted branches in the upper part of the bole.
        const QColor needles = vary(rng, QColor(58, 96, 50), 10);
        const int clumps = 10 + rng.integer(0, 6);
        for (int i = 0; i < clumps; ++i) {
            const double t = rng.uniform(0, 0.5);
            const double cy = y - height * (1 - t);
            const double cx = x + rng.uniform(-1, 1) * height * 0.13 * (0.3 + t);
            const double r = height * rng.uniform(0.05, 0.085);
            painter.setBrush(hazed(vary(rng, needles, 12), scale));
            painter.drawEllipse(QPointF(cx, cy), r * 1.3, r);
        }
        break;
    }
    case Cover::Fir:
    case Cover::Spruce: {
        // Stacked tiers narrowing to a spire, lit from the left.
        const double crownBase = y - height * (cover == Cover::Spruce ? 0.12 : 0.3);
        const double crownTop = y - height * 1.04;
        const double widthAtBase = height * (cover == Cover::Spruce ? 0.13 : 0.24);
        const int tiers = 6 + rng.integer(0, 3);
        const QColor foliage =
            vary(rng, cover == Cover::Spruce ? QColor(36, 60, 40) : QColor(40, 76, 46), 10);
        for (int i = 0; i < tiers; ++i) {
            const double t0 = double(i) / tiers;
            const double bottom = crownBase + (crownTop - crownBase) * t0;
            const double top = bottom + (crownTop - crownBase) * 0.4;
            const double half = widthAtBase * (1 - t0 * 0.85) / 2;
            const double droop = half * 0.12;
            QPolygonF tier;
            tier << QPointF(x - half, bottom) << QPointF(x, bottom - droop)
                 << QPointF(x + half, bottom) << QPointF(x, top);
            const QColor shade = vary(rng, foliage, 5);
            QLinearGradient light(x - half, 0, x + half, 0);
            light.setColorAt(0, hazed(shade.lighter(130), scale));
            light.setColorAt(1, hazed(shade.darker(125), scale));
            painter.setBrush(light);
            painter.drawPolygon(tier);
        }
        break;
    }
    case Cover::Hardwood: {
        const QColor leaves = rng.chance(0.3) ? QColor(176, 146, 60) : QColor(86, 126, 58);
        const double crownY = y - height * 0.72;
        const int clumps = 12 + rng.integer(0, 6);
        for (int i = 0; i < clumps; ++i) {
            const double cx = x + rng.uniform(-1, 1) * height * 0.17;
            const double cy = crownY + rng.uniform(-1, 1) * height * 0.18;
            const double r = height * rng.uniform(0.07, 0.11);
            painter.setBrush(hazed(vary(rng, leaves, 15), scale));
            painter.drawEllipse(QPointF(cx, cy), r, r * 0.85);
        }
        break;
    }
    case Cover::Juniper:
    case Cover::Shrubland:
    case Cover::Grassland: {
        // Squat, rounded and blue-green.
        const QColor foliage = vary(rng, QColor(72, 100, 82), 8);
        const int clumps = 9 + rng.integer(0, 5);
        for (int i = 0; i < clumps; ++i) {
            const double t = rng.uniform();
            const double cx = x + rng.uniform(-1, 1) * height * (0.32 - 0.22 * t);
            const double cy = y - height * (0.25 + 0.6 * t);
            const double r = height * rng.uniform(0.14, 0.22);
            painter.setBrush(hazed(vary(rng, foliage, 12), scale));
            painter.drawEllipse(QPointF(cx, cy), r, r * 0.9);
        }
        break;
    }
    }
}

void paintShrub(QPainter& painter, Cover cover, double x, double y, double scale, Rng& rng) {
    const QColor base =
        cover == Cover::Shrubland ? QColor(132, 142, 116) : QColor(74, 108, 60); // sage or brush
    const double size = scale * rng.uniform(22, 60);
    painter.setPen(Qt::NoPen);
    const int clumps = 6 + rng.integer(0, 4);
    for (int i = 0; i < clumps; ++i) {
        painter.setBrush(hazed(vary(rng, base, 14), scale));
        painter.drawEllipse(QPointF(x + rng.uniform(-1, 1) * size, y - rng.uniform(0.2, 1) * size),
                            size * rng.uniform(0.4, 0.7), size * rng.uniform(0.35, 0.6));
    }
}

void paintTuft(QPainter& painter, double x, double y, double scale, Rng& rng) {
    const QColor base = rng.chance(0.5) ? QColor(180, 170, 100) : QColor(126, 148, 72);
    const double height = scale * rng.uniform(14, 34);
    painter.setPen(QPen(hazed(vary(rng, base, 12), scale), std::max(0.8, scale * 1.6)));
    const int blades = 6 + rng.integer(0, 5);
    for (int i = 0; i < blades; ++i) {
        const double lean = rng.uniform(-0.6, 0.6);
        painter.drawLine(QPointF(x + lean * 3, y), QPointF(x + lean * height, y - height));
    }
}

void paintLog(QPainter& painter, double x, double y, double scale, double sizeClass, Rng& rng) {
    const double length = scale * rng.uniform(90, 300);
    const double diameter = scale * (6 + sizeClass * rng.uniform(5, 9));
    const double angle = rng.uniform(-28, 28);
    painter.save();
    painter.translate(x, y);
    painter.rotate(angle);
    const QColor wood = hazed(vary(rng, QColor(98, 78, 60), 15), scale);
    QLinearGradient shading(0, -diameter, 0, 0);
    shading.setColorAt(0, wood.lighter(135));
    shading.setColorAt(0.4, wood);
    shading.setColorAt(1, wood.darker(170));
    painter.setPen(QPen(wood.darker(190), std::max(0.6, scale)));
    painter.setBrush(shading);
    painter.drawRoundedRect(QRectF(-length / 2, -diameter, length, diameter), diameter * 0.3,
                            diameter * 0.3);
    // Furrowed bark.
    painter.setPen(QPen(wood.darker(150), std::max(0.5, scale * 0.8)));
    const int furrows = 2 + static_cast<int>(diameter / 8);
    for (int i = 0; i < furrows; ++i) {
        const double fy = -diameter * rng.uniform(0.15, 0.85);
        const double start = rng.uniform(-0.45, 0.1) * length;
        painter.drawLine(QPointF(start, fy), QPointF(start + length * rng.uniform(0.2, 0.45), fy));
    }
    // Sawn or broken end showing the rings.
    painter.setBrush(hazed(QColor(198, 170, 124), scale));
    const QPointF end(length / 2, -diameter / 2);
    painter.drawEllipse(end, diameter * 0.28, diameter / 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(hazed(QColor(150, 118, 80), scale), std::max(0.5, scale * 0.6)));
    painter.drawEllipse(end, diameter * 0.14, diameter / 4);
    painter.restore();
}

void paintStick(QPainter& painter, double x, double y, double scale, Rng& rng) {
    const double length = scale * rng.uniform(18, 70);
    const double angle = rng.uniform(0, 3.14159);
    painter.setPen(QPen(hazed(vary(rng, QColor(112, 94, 74), 20), scale),
                        std::max(0.7, scale * rng.uniform(1.2, 3.2)), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, y),
                     QPointF(x + std::cos(angle) * length, y - std::sin(angle) * length * 0.35));
}

QImage paintPhoto(const Photo& photo) {
    const Cover cover = vegTypes[static_cast<std::size_t>(photo.vegType)].cover;
    Rng rng(imageSeed(photo));
    QImage image(photoWidth, photoHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = photoWidth;
    const double h = photoHeight;
    const double horizon = h * rng.uniform(0.34, 0.44);

    // Sky and a few clouds.
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, vary(rng, QColor(72, 124, 186), 8));
    sky.setColorAt(1, QColor(204, 220, 232));
    painter.fillRect(QRectF(0, 0, w, horizon + 2), sky);
    painter.setPen(Qt::NoPen);
    const int clouds = rng.integer(1, 4);
    for (int c = 0; c < clouds; ++c) {
        const QPointF centre(rng.uniform(0, w), rng.uniform(20, horizon * 0.6));
        for (int i = 0; i < 7; ++i) {
            painter.setBrush(QColor(255, 255, 255, 110));
            painter.drawEllipse(centre + QPointF(rng.uniform(-70, 70), rng.uniform(-10, 10)),
                                rng.uniform(25, 60), rng.uniform(10, 22));
        }
    }

    // Two ridgelines fading into the distance.
    for (int layer = 0; layer < 2; ++layer) {
        QPolygonF ridge;
        ridge << QPointF(0, horizon + 4);
        double y = horizon - rng.uniform(20, 70) / (layer + 1);
        for (double x = 0; x <= w + 30; x += 30) {
            y = std::clamp(y + rng.uniform(-12, 12), horizon - 90.0 / (layer + 1), horizon - 6);
            ridge << QPointF(x, y);
        }
        ridge << QPointF(w, horizon + 4);
        painter.setBrush(layer == 0 ? QColor(140, 160, 178) : QColor(108, 132, 128));
        painter.drawPolygon(ridge);
    }

    // Ground: forest floor, sagebrush flat or grassland; deep duff darkens it.
    const double duff = siteValue(photo, Duff, 1.0);
    QColor ground = cover == Cover::Grassland   ? QColor(166, 158, 100)
                    : cover == Cover::Shrubland ? QColor(168, 150, 114)
                                                : QColor(124, 100, 72);
    ground = ground.darker(100 + static_cast<int>(duff * 7));
    QLinearGradient soil(0, horizon, 0, h);
    soil.setColorAt(0, hazed(ground, 0.1));
    soil.setColorAt(0.3, ground.lighter(108));
    soil.setColorAt(1, ground.darker(125));
    painter.setBrush(soil);
    painter.drawRect(QRectF(0, horizon, w, h - horizon));
    // Litter or grass texture, coarser towards the camera.
    const bool grassy = cover == Cover::Grassland;
    for (int i = 0; i < (grassy ? 2200 : 1400); ++i) {
        const double t = rng.uniform();
        const QPointF at(rng.uniform(0, w), horizon + (h - horizon) * t);
        const double size = 1.5 + 9 * t;
        const QColor colour = grassy && rng.chance(0.6) ? vary(rng, QColor(186, 174, 104), 18)
                                                        : vary(rng, ground, 28);
        painter.setPen(QPen(hazed(colour, t + 0.2), 0.6 + 1.4 * t));
        const double angle = grassy ? rng.uniform(1.2, 1.95) : rng.uniform(0, 3.14159);
        painter.drawLine(at, at + QPointF(std::cos(angle) * size, -std::sin(angle) * size * 0.5));
    }
    painter.setPen(Qt::NoPen);

    // Everything on the ground, in numbers that follow the photo's data.
    const double canopy = siteValue(photo, Canopy, 30) / 100.0;
    const double trees = siteValue(photo, Trees, 150);
    const double herb = siteValue(photo, Herb, 0.3);
    const double woody = siteValue(photo, Woody, 1.0);
    double big = 0;
    for (std::size_t i = 3; i < photo.tons.size(); ++i)
        big += photo.tons[i];

    std::vector<Scenery> scenery;
    const auto place = [&](int kind, int count, double nearest) {
        for (int i = 0; i < count; ++i) {
            const double depth = std::pow(rng.uniform(), 0.8) * nearest;
            scenery.push_back({horizon + (h - horizon) * depth * 1.08, kind, 0.18 + 1.0 * depth,
                               static_cast<std::uint32_t>(rng.integer(0, 1 << 30))});
        }
    };
    place(Tree, std::min(45, static_cast<int>(std::round(trees / 45 + canopy * 22))), 1.0);
    place(Shrub, std::min(80, static_cast<int>(std::round(woody * 6))), 1.0);
    place(Tuft, std::min(260, static_cast<int>(std::round(herb * 70))), 1.0);
    place(Log, std::min(40, static_cast<int>(std::round(big / 2.2))), 0.95);
    place(Stick, std::min(160, static_cast<int>(std::round(photo.upTo3 * 14))), 1.0);
    std::ranges::sort(scenery, {}, &Scenery::y);

    for (const Scenery& item : scenery) {
        Rng local(item.seed);
        const double x = local.uniform(-20, w + 20);
        switch (item.kind) {
        case Tree:
            paintTree(painter, cover, x, item.y, item.scale, local);
            break;
        case Shrub:
            paintShrub(painter, cover, x, item.y, item.scale, local);
            break;
        case Tuft:
            paintTuft(painter, x, item.y, item.scale, local);
            break;
        case Log:
            paintLog(painter, x, item.y, item.scale, local.uniform(0.5, 3.5), local);
            break;
        case Stick:
            paintStick(painter, x, item.y, item.scale, local);
            break;
        }
    }

    // A closed canopy hangs into the top of the frame: branches of trees behind the camera.
    if (canopy > 0.45) {
        const int branches = 2 + static_cast<int>((canopy - 0.45) * 12);
        for (int b = 0; b < branches; ++b) {
            const bool fromLeft = rng.chance(0.5);
            const QPointF base(fromLeft ? -10 : w + 10, rng.uniform(-20, 60));
            const QPointF tip(fromLeft ? rng.uniform(120, w * 0.6) : w - rng.uniform(120, w * 0.6),
                              rng.uniform(10, 60 + canopy * 90));
            painter.setPen(
                QPen(QColor(60, 45, 34), rng.uniform(4, 9), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(base, tip);
            painter.setPen(Qt::NoPen);
            for (int i = 0; i < 24; ++i) {
                const double t = rng.uniform(0.15, 1.0);
                const QPointF at = base + (tip - base) * t;
                painter.setBrush(vary(rng, QColor(40, 72, 42), 18));
                painter.drawEllipse(at + QPointF(rng.uniform(-25, 25), rng.uniform(-8, 22)),
                                    rng.uniform(14, 32), rng.uniform(8, 16));
            }
        }
    }

    // The plot board in the foreground carries the photo's label.
    const QRectF board(34, h - 118, 150, 62);
    painter.setPen(QPen(QColor(70, 60, 50), 1));
    painter.setBrush(QColor(110, 90, 60));
    painter.drawRect(QRectF(board.center().x() - 4, board.bottom(), 8, 50));
    painter.setBrush(QColor(246, 244, 236));
    painter.drawRect(board);
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(board, Qt::AlignCenter, photo.label.value_or(u"?"_s));

    // Lens falloff.
    QRadialGradient vignette(QPointF(w / 2, h / 2), w * 0.65);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 80));
    painter.setPen(Qt::NoPen);
    painter.setBrush(vignette);
    painter.drawRect(QRectF(0, 0, w, h));
    painter.end();
    return image;
}

QString describeSite(const std::optional<double>& value, int decimals) {
    if (!value)
        return u"\u2014"_s; // blank in the catalogue
    if (*value < 0)
        return u"not measured"_s;
    return QString::number(*value, 'f', decimals);
}

QString describeCode(const std::optional<QString>& code) {
    return code.value_or(u"\u2014"_s);
}

struct TableRow {
    QString name;
    QString value;
    bool emphasis = false;
};

double paintTable(QPainter& painter, double top, const QString& title,
                  const std::vector<TableRow>& rows) {
    constexpr double left = 70;
    constexpr double width = 710;
    constexpr double rowHeight = 30;
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(44, 86, 60));
    painter.drawRect(QRectF(left, top, width, rowHeight + 4));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(left + 12, top, width - 24, rowHeight + 4), Qt::AlignVCenter, title);

    double y = top + rowHeight + 4;
    font.setPixelSize(16);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QRectF rowRect(left, y, width, rowHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(i % 2 ? QColor(255, 255, 255) : QColor(238, 243, 238));
        painter.drawRect(rowRect);
        font.setBold(rows[i].emphasis);
        painter.setFont(font);
        painter.setPen(QColor(25, 25, 25));
        painter.drawText(rowRect.adjusted(12, 0, -230, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         rows[i].name);
        painter.drawText(rowRect.adjusted(width - 220, 0, -16, 0),
                         Qt::AlignVCenter | Qt::AlignRight, rows[i].value);
        y += rowHeight;
    }
    painter.setPen(QPen(QColor(150, 165, 150), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(left, top, width, y - top));
    painter.drawLine(QPointF(left + width - 230, top + rowHeight + 4),
                     QPointF(left + width - 230, y));
    return y;
}

QImage paintDataSheet(const Photo& photo) {
    const Book& book = books[static_cast<std::size_t>(photo.bookIndex)];
    const VegType& veg = vegTypes[static_cast<std::size_t>(photo.vegType)];
    QImage image(850, 1100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(QRectF(70, 40, 710, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     u"%1  \u00B7  Photo series data sheet"_s.arg(book.label));
    painter.setPen(QPen(QColor(44, 86, 60), 3));
    painter.drawLine(QPointF(70, 66), QPointF(780, 66));

    QFont serif(u"DejaVu Serif"_s);
    serif.setStyleHint(QFont::Serif);
    serif.setPixelSize(19);
    painter.setFont(serif);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(QRectF(70, 78, 710, 70), Qt::AlignLeft | Qt::TextWordWrap,
                     book.description.toString());

    font.setPixelSize(36);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(QRectF(70, 150, 710, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Photo %1"_s.arg(photo.label.value_or(u"(unlabelled)"_s)));
    font.setPixelSize(18);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(QRectF(70, 200, 710, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Site: %1"_s.arg(photo.group));

    // Size classes as the book defines them.
    std::vector<double> limits{0};
    for (std::size_t i = 0; i < 6; ++i)
        if (i < 3 || book.breaks[i] > 0)
            limits.push_back(book.breaks[i]);
    std::vector<TableRow> loading;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const QString range =
            i + 1 < limits.size()
                ? u"%1 to %2 in."_s.arg(formatNumber(limits[i]), formatNumber(limits[i + 1]))
                : u"over %1 in."_s.arg(formatNumber(limits[i]));
        loading.push_back({range, QString::number(photo.tons[i], 'f', 2)});
    }
    loading.push_back({u"0 to 3 in."_s, QString::number(photo.upTo3, 'f', 2), true});
    loading.push_back({u"Total"_s, QString::number(photo.total, 'f', 2), true});
    double y = paintTable(painter, 250, u"Downed woody fuel (tons per acre)"_s, loading);

    y = paintTable(
        painter, y + 26, u"Fuelbed and stand"_s,
        {
            {u"Average duff depth (in.)"_s, describeSite(photo.site[Duff], 1)},
            {u"Average fuelbed depth (in.)"_s, describeSite(photo.site[FuelbedDepth], 1)},
            {u"Herbaceous (tons per acre)"_s, describeSite(photo.site[Herb], 2)},
            {u"Shrub (tons per acre)"_s, describeSite(photo.site[Woody], 2)},
            {u"Canopy closure (%)"_s, describeSite(photo.site[Canopy], 0)},
            {u"Trees per acre"_s, describeSite(photo.site[Trees], 0)},
        });

    y = paintTable(painter, y + 26, u"Classification"_s,
                   {
                       {u"Vegetation type"_s,
                        photo.veg ? u"%1 (%2)"_s.arg(*photo.veg, veg.site) : u"\u2014"_s},
                       {u"Activity"_s, describeCode(photo.activity)},
                       {u"Fire behavior fuel model (2005)"_s, describeCode(photo.behave2005)},
                       {u"Fire behavior fuel model (1982)"_s, describeCode(photo.behave1982)},
                       {u"Fire danger rating fuel model"_s, describeCode(photo.danger)},
                   });

    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(120, 120, 120));
    painter.drawText(QRectF(70, 1040, 710, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Demonstration data generated by Tarnwick \u2014 not for field use"_s);
    painter.drawText(QRectF(70, 1040, 710, 24), Qt::AlignRight | Qt::AlignVCenter, photo.dataPic);
    painter.end();
    return image;
}

void saveJpeg(const QImage& image, const QString& path) {
    if (!image.save(path, "JPG", 88))
        throw std::runtime_error(
            u"Cannot write the image %1"_s.arg(QDir::toNativeSeparators(path)).toStdString());
}

} // namespace

// QPainter on a QImage is safe outside the GUI thread.
void writeImages(const QDir& root, const std::vector<Photo>& photos) {
    std::atomic<std::size_t> next{0};
    std::mutex errorMutex;
    std::exception_ptr firstError;
    const auto work = [&] {
        for (std::size_t i = next++; i < photos.size(); i = next++) {
            try {
                const Photo& photo = photos[i];
                const QString folder = u"PhotoImages/%1/"_s.arg(
                    books[static_cast<std::size_t>(photo.bookIndex)].label);
                saveJpeg(paintPhoto(photo), root.filePath(folder + photo.photoPic));
                saveJpeg(paintDataSheet(photo), root.filePath(folder + photo.dataPic));
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!firstError)
                    firstError = std::current_exception();
                next = photos.size();
            }
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::jthread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    workers.clear(); // joins
    if (firstError)
        std::rethrow_exception(firstError);
}

} // namespace tarnwick::demo
