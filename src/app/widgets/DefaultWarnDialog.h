#pragma once

#include <optional>
#include <QDialog>

namespace tarnwick {

enum class PhotoDirChoice;
class HighlightButton;

// The warning that the photo directory cannot be read. Each button leaves its answer and
// closes the dialog; closing it any other way leaves none.
class DefaultWarnDialog : public QDialog {
    Q_OBJECT
public:
    explicit DefaultWarnDialog(const QString& message, QWidget* parent = nullptr);

    std::optional<PhotoDirChoice> choice() const { return choice_; }

    HighlightButton* retryButton() const { return retry_; }
    HighlightButton* manageButton() const { return manage_; }
    HighlightButton* searchLocalButton() const { return searchLocal_; }

private:
    HighlightButton* addChoice(const QString& text, const QString& name, PhotoDirChoice choice);

    std::optional<PhotoDirChoice> choice_;
    HighlightButton* retry_;
    HighlightButton* manage_;
    HighlightButton* searchLocal_;
};

} // namespace tarnwick
