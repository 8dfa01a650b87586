#pragma once

#include "DemoContent.h"

#include <QDir>
#include <QSqlQuery>
#include <QString>

#include <optional>

class QSqlError;

namespace tarnwick::demo {

// Writes the catalogue under a temporary name; only install() puts it in place. Destroying the
// writer before that deletes the temporary file.
class CatalogueWriter {
public:
    explicit CatalogueWriter(const QDir& root);
    ~CatalogueWriter();
    CatalogueWriter(const CatalogueWriter&) = delete;
    CatalogueWriter& operator=(const CatalogueWriter&) = delete;

    void addPhoto(const Photo& photo);
    void install(const QString& finalPath);

private:
    [[noreturn]] void fail(const QString& what, const QSqlError& error) const;
    void exec(const QString& sql);
    void close();

    QString path_;
    QString connection_;
    std::optional<QSqlQuery> photoInsert_;
    int nextId_ = 1;
    bool installed_ = false;
};

} // namespace tarnwick::demo
