#pragma once

#include <array>
#include <functional>
#include <QObject>
#include <QString>

namespace tarnwick {

enum class StatusKind { Info = 0, Error = 1, Clear = 2, Count = 3 };

enum class StatusIcon { None, InfoOK, Error };

// The contents of the six-panel status line. statusMessage is its only writer for messages and
// counts; the mode panel is written by the mode switch and the photo display. A widget mirrors it.
class StatusLine : public QObject {
    Q_OBJECT
public:
    static constexpr int panelCount = 6;
    // Panels by position, counted from 1 as the user sees them.
    enum Panel { MessageFlag = 1, Message = 2, QueryResults = 4, Photo = 5 };

    explicit StatusLine(std::function<void()> beep = {}, QObject* parent = nullptr);

    // kind is the integer a caller passes; values outside 0..3 change nothing.
    void statusMessage(int kind, const QString& text);
    void statusMessage(StatusKind kind, const QString& text) { statusMessage(int(kind), text); }
    void setPhotoPanel(const QString& text);

    QString panelText(int panel) const { return texts_[size_t(panel - 1)]; }
    StatusIcon icon() const { return icon_; }

Q_SIGNALS:
    void changed();

private:
    void setPanel(int panel, const QString& text) { texts_[size_t(panel - 1)] = text; }

    std::function<void()> beep_;
    std::array<QString, panelCount> texts_;
    StatusIcon icon_ = StatusIcon::None;
};

} // namespace tarnwick
