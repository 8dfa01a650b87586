#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace tarnwick {

// Shows one picture scaled into the widget, or a centred caption when there is none. Pictures
// are decoded on a worker thread so that a large photo does not hold up the window; a newer
// request supersedes one still decoding, whose picture is then never shown.
class PhotoImageView : public QWidget {
    Q_OBJECT
public:
    // Pane: scaled to the widget, aspect ratio kept. ActualSize: one picture pixel to one screen
    // pixel; the widget then asks for the picture's size, so a scroll area around it scrolls.
    // Only ActualSize decodes a picture at its full size; switching fits decodes the shown
    // picture again at the size the new fit needs, showing the old one until then.
    enum class Fit { Pane, ActualSize };

    explicit PhotoImageView(QWidget* parent = nullptr);

    // Decodes the file and shows it; "Retrieving Image..." until then, the can't-load caption
    // if it cannot be decoded.
    void showImage(const QString& path);
    // Clears the picture and says that one is on its way.
    void showRetrieving();
    // Clears the picture and shows the text instead.
    void showCaption(const QString& text);
    void clear() { showCaption(QString()); }

    void setFit(Fit fit);
    Fit fit() const { return fit_; }
    // In the Pane fit, pictures larger than this are reduced while decoding. By default the
    // limit is the screen's size, which keeps a scaled picture sharp; an invalid size decodes at
    // full resolution.
    void setDecodeLimit(const QSize& limit);

    QString caption() const { return caption_; }
    // The file shown or being decoded; empty when a caption is shown.
    QString imagePath() const { return path_; }
    bool isDecoding() const { return decoding_; }
    bool hasImage() const { return !image_.isNull(); }
    // The decoded picture's size, which may be smaller than the file's.
    QSize imageSize() const { return image_.size(); }
    // Where the picture is drawn, in widget coordinates.
    QRect imageRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void clicked();
    void imageShown(const QString& path);
    void imageFailed(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void decode(bool keepPicture);
    void setImage(const QImage& image);
    void setDecoding(bool decoding);
    QSize effectiveDecodeLimit() const;
    bool decodedAsTheFitNeeds() const;

    Fit fit_ = Fit::Pane;
    bool explicitLimit_ = false;
    QSize decodeLimit_;
    QString path_;
    QString caption_;
    QImage image_;
    QSize originalSize_; // of the file shown, upright; image_ may be smaller
    // The picture scaled to the size it was last drawn at; rebuilt only when that size changes.
    QPixmap scaled_;
    quint64 request_ = 0;
    bool decoding_ = false;
};

} // namespace tarnwick
