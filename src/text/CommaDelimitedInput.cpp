#include "text/CommaDelimitedInput.h"

namespace tarnwick {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

} // namespace

void CommaDelimitedInput::skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
}

void CommaDelimitedInput::consumeDelimiter() {
    if (pos_ >= text_.size()) {
        atRecordStart_ = true;
        return;
    }
    if (text_[pos_] == u',') {
        ++pos_;
        atRecordStart_ = false;
        return;
    }
    // CR, LF or CR LF
    if (text_[pos_] == u'\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
    atRecordStart_ = true;
}

std::optional<QString> CommaDelimitedInput::readField() {
    skipBlanks();
    if (atRecordStart_) {
        while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineBreak(text_[pos_])))
            ++pos_;
    }
    if (pos_ >= text_.size())
        return std::nullopt;

    QString value;
    if (text_[pos_] == u'"') {
        const qsizetype close = text_.indexOf(u'"', pos_ + 1);
        const qsizetype end = close < 0 ? text_.size() : close;
        value = text_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? text_.size() : close + 1;
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineBreak(text_[pos_]))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineBreak(text_[pos_]))
            ++pos_;
        value = text_.mid(start, pos_ - start);
    }
    consumeDelimiter();
    return value;
}

} // namespace tarnwick
