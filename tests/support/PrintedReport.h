#pragma once

#include "reports/ReportComposition.h"
#include "reports/ReportFiles.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tarnwick::test {

// The text pdftotext reads from a PDF, pages apart by form feeds; empty when it could not.
inline QString pdfText(const QString& pdf) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QString();
    QProcess extract;
    extract.start(pdftotext, {pdf, QStringLiteral("-")});
    if (!extract.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(extract.readAllStandardOutput());
}

// Checks that a report made into a PDF elsewhere (a word processor, a printer) holds what was
// composed: as many pages, each with the heading, its rule, the notice and its number, and
// every piece of every body paragraph and table cell, as text.
inline void expectPrintedAsComposed(const QString& text, const ComposedReport& report) {
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    EXPECT_EQ(pages.size(), report.document.pageCount()) << text.toStdString();
    for (qsizetype p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(report.title));
        EXPECT_TRUE(pages[p].contains(QString(90, u'_')));
        EXPECT_TRUE(pages[p].contains(reportNoticeLine()));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Page: %1").arg(p + 1)));
    }
    const QRegularExpression space(QStringLiteral("\\s+"));
    QString flat = text;
    flat.replace(space, QStringLiteral(" "));
    const auto find = [&](QString expected) {
        expected.replace(space, QStringLiteral(" "));
        expected = expected.trimmed().left(60);
        if (!expected.isEmpty()) {
            EXPECT_TRUE(flat.contains(expected)) << expected.toStdString();
        }
    };
    for (const ReportPage& page : report.document.pages())
        for (const PageItem& item : page.items) {
            if (const auto* block = std::get_if<TextBlock>(&item);
                block && block->role == TextRole::Body)
                for (const TextRun& run : block->runs)
                    find(run.text);
            if (const auto* table = std::get_if<TableBlock>(&item))
                for (const TableCell& cell : table->cells)
                    find(cell.content.text);
        }
}

} // namespace tarnwick::test
