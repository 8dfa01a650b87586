#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QStackedWidget;
class QTabBar;
class QVBoxLayout;

namespace tarnwick {

// One photo pane: a caption strip that selects the pane when clicked, and the tabs "Image",
// "Data", "Graph" and "View". Choosing "View" does not switch: it asks for the full-size viewer.
class PhotoPane : public QWidget {
    Q_OBJECT
public:
    enum Tab { ImageTab = 0, DataTab = 1, GraphTab = 2, ViewTab = 3 };
    // Which tabs the pane offers: all of them when comparing two photos; while browsing the left
    // pane shows the picture and the right one the data of the same photo.
    enum Role { ShowsEverything, ShowsPicture, ShowsData };

    PhotoPane(int slot, QWidget* parent = nullptr);

    // The caption strip's text colour while its pane takes the next photo.
    static constexpr QRgb currentPaneText = qRgb(255, 255, 128);

    int slot() const { return slot_; }
    QLabel* header() const { return header_; }
    QWidget* captionStrip() const { return strip_; }
    QColor captionColour() const;
    bool hasCaptionIcon() const;
    QTabBar* tabs() const { return tabs_; }

    // Puts the widget that shows a tab's content in place of its placeholder.
    void setPage(Tab tab, QWidget* page);
    QWidget* page(Tab tab) const;
    void showTab(Tab tab);
    Tab currentTab() const;

    void setBrowseRole(Role role);
    void setCaption(const QString& caption);
    // The pane that receives the next photo is marked in its caption strip.
    void setSelected(bool selected);
    void setStripColours(const QColor& background, const QColor& text);

Q_SIGNALS:
    void headerClicked(int slot);
    void viewRequested(int slot);
    void tabClicked(int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTabChanged(int index);

    int slot_;
    QWidget* strip_;
    QLabel* icon_;
    QLabel* header_;
    QTabBar* tabs_;
    QStackedWidget* pages_;
    int shownTab_ = ImageTab;
};

} // namespace tarnwick
