#pragma once

#include <optional>
#include <QString>

namespace tarnwick {

// Reads text fields the way the old runtime's sequential "Input #" did, so files written by the
// suite's other tools (and edited by hand) read the same:
// - a field ends at a comma or at the end of a line;
// - blanks (spaces, tabs) before a field are skipped;
// - a field that starts with a double quote runs to the next double quote and may hold commas;
//   the quotes are not part of the value and anything after the closing quote up to the next
//   comma or line end is dropped;
// - blank lines between records are skipped, but a comma at the end of a line leaves an empty
//   field rather than reaching into the next line.
// Fields are read in sequence, not per line: a line with three fields shifts every later pair.
class CommaDelimitedInput {
public:
    explicit CommaDelimitedInput(QString text) : text_(std::move(text)) {}

    // The next field; nullopt when nothing but blanks and line ends is left.
    std::optional<QString> readField();

private:
    void skipBlanks();
    void consumeDelimiter();

    QString text_;
    qsizetype pos_ = 0;
    bool atRecordStart_ = true; // the last field ended a line
};

} // namespace tarnwick
