#pragma once

#include <QString>
#include <stdexcept>

namespace tarnwick {

// A failure of the catalogue engine, with a message a user can read.
class DatabaseError : public std::runtime_error {
public:
    enum class Kind {
        Missing,
        Unreadable,
        ReadOnly,
        Corrupt,
        NotACatalogue,
        Locked,
        Statement,
        Stopped,      // a read stopped on the user's request
        Unreachable,  // a catalogue server that does not answer, or a connection lost
        LoginRefused, // a catalogue server that does not let the user in
    };

    DatabaseError(const QString& message, Kind kind)
        : std::runtime_error(message.toStdString()), message_(message), kind_(kind) {}

    const QString& message() const { return message_; }
    Kind kind() const { return kind_; }

private:
    QString message_;
    Kind kind_;
};

} // namespace tarnwick
