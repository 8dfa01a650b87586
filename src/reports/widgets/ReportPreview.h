#pragma once

#include "platform/AppPaths.h"
#include "reports/ReportFiles.h"

#include <functional>
#include <memory>
#include <QHash>
#include <QPixmap>
#include <QScrollArea>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace tarnwick {

class Dialogs;

// The pages of a report one under the other, each drawn as a sheet of paper with a shadow on a
// grey desk, at a scale the preview sets.
class ReportPagesView : public QWidget {
    Q_OBJECT
public:
    explicit ReportPagesView(QWidget* parent = nullptr);

    void setReport(std::shared_ptr<const ComposedReport> report);
    // Pixels to the twip.
    void setScale(double scale);
    double scale() const { return scale_; }
    // Where each page lies in the view.
    QRect pageRect(int index) const;
    int pageCount() const;

    static constexpr int gap = 16; // around and between the sheets
    static constexpr int shadow = 5;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap pageImage(int index, const QSize& size);

    std::shared_ptr<const ComposedReport> report_;
    double scale_ = 96.0 / 1440.0;
    QHash<int, QPixmap> cache_;
};

// The report preview inside the main frame (sfrmViewRpt): the report's pages as paper, zoomed
// to the width, the whole page or true size, with page navigation, and the commands to print,
// save and close it.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    enum class Zoom { FitWidth, FitPage, ActualSize, Custom };

    ReportPreview(Dialogs& dialogs, AppPaths paths, QWidget* parent = nullptr);

    // Shows a report in place of the one held, at its first page.
    void setReport(std::shared_ptr<const ComposedReport> report);
    const std::shared_ptr<const ComposedReport>& report() const { return report_; }
    // The printer the print dialog opens on; empty: the default one.
    void setPrinter(std::function<QString()> printer) { printer_ = std::move(printer); }

    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    // Zooms in (steps > 0) or out from the scale shown.
    void zoomBy(int steps);
    double scale() const;

    // Pages count from 0.
    void showPage(int index);
    int currentPage() const;
    int pageCount() const;

    void saveCommand();
    void printCommand();
    void cancelCommand();

    ReportPagesView* pagesView() const { return pages_; }
    QScrollArea* scrollArea() const { return scroll_; }

Q_SIGNALS:
    // Cancel: the window is to close and the report go with it.
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyZoom();
    void showPosition();

    Dialogs& dialogs_;
    AppPaths paths_;
    std::function<QString()> printer_;
    std::shared_ptr<const ComposedReport> report_;
    Zoom zoom_ = Zoom::FitWidth;
    double customScale_ = 96.0 / 1440.0;
    ReportPagesView* pages_;
    QScrollArea* scroll_;
    QComboBox* zoomChoice_;
    QLabel* position_;
    QToolButton* first_;
    QToolButton* previous_;
    QToolButton* next_;
    QToolButton* last_;
};

} // namespace tarnwick
