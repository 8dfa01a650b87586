#include "catalogue/AccessFile.h"
#include "catalogue/DatabaseError.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include <optional>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

QString testFile(const QString& name) {
    return QDir(QString::fromUtf8(TARNWICK_ACCESS_TESTDATA)).filePath(name);
}

#define SKIP_WITHOUT_ACCESS_FILES()                                                                \
    if (!QDir(QString::fromUtf8(TARNWICK_ACCESS_TESTDATA)).exists(u"nwind.mdb"_s))                 \
    GTEST_SKIP() << "the Access test files are not beside the sources: " TARNWICK_ACCESS_TESTDATA

std::optional<AccessTable> tableNamed(const AccessFile& file, const QString& name) {
    for (const AccessTable& table : file.tables())
        if (table.name == name)
            return table;
    return std::nullopt;
}

// The first row whose first column holds key.
std::optional<QVariantList> rowWithKey(const AccessFile& file, const QString& table,
                                       const QVariant& key) {
    std::optional<QVariantList> found;
    qint64 rows = 0;
    file.readRows(table, [&](const QVariantList& row) {
        ++rows;
        if (!found && row.value(0) == key)
            found = row;
    });
    return found;
}

qint64 rowCount(const AccessFile& file, const QString& table) {
    qint64 rows = 0;
    file.readRows(table, [&](const QVariantList&) { ++rows; });
    return rows;
}

} // namespace

// Literals read once with mdb-export and mdb-schema from files Access wrote.
TEST(AccessFile, ReadsTablesColumnsAndValuesOfEveryFormat) {
    SKIP_WITHOUT_ACCESS_FILES();
    const auto nwind = AccessFile::open(testFile(u"nwind.mdb"_s));
    EXPECT_EQ(nwind->format(), AccessFormat::Jet3);
    QStringList names;
    for (const AccessTable& table : nwind->tables())
        names << table.name;
    names.sort();
    EXPECT_EQ(names, (QStringList{u"Categories"_s, u"Customers"_s, u"Employees"_s,
                                  u"Order Details"_s, u"Orders"_s, u"Products"_s, u"Shippers"_s,
                                  u"Suppliers"_s, u"Umsätze"_s}));
    EXPECT_EQ(nwind->storedQueries().size(), 22); // as mdb-queries lists them
    EXPECT_TRUE(nwind->storedQueries().contains(u"Alphabetical List of Products"_s));
    // Stored queries written back as the statements they were saved from.
    EXPECT_EQ(nwind->storedQuerySql(u"Products Above Average Price"_s),
              u"SELECT Products.ProductName, Products.UnitPrice FROM [Products] WHERE "
              "(((Products.UnitPrice)>(SELECT AVG([UnitPrice]) From Products))) ORDER BY "
              "Products.UnitPrice DESC"_s);
    EXPECT_TRUE(nwind->storedQuerySql(u"Orders Qry"_s)
                    .endsWith(u"Customers.Country FROM [Customers] INNER JOIN [Orders] ON "
                              "Customers.CustomerID = Orders.CustomerID"_s))
        << nwind->storedQuerySql(u"Orders Qry"_s).toStdString();
    EXPECT_EQ(nwind->storedQuerySql(u"Customers"_s), QString());
    const auto details = tableNamed(*nwind, u"Order Details"_s);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->rows, 2155);
    ASSERT_EQ(details->columns.size(), 5u);
    EXPECT_EQ(details->columns[2].name, u"UnitPrice"_s);
    EXPECT_EQ(details->columns[2].type, u"Currency"_s);
    EXPECT_EQ(details->columns[4].type, u"Single"_s);
    EXPECT_EQ(rowCount(*nwind, u"Order Details"_s), 2155);
    EXPECT_EQ(rowCount(*nwind, u"Umsätze"_s), 830);

    // Jet 3 stores text in the file's code page: accents survive, Null stays apart from "".
    const auto customer = rowWithKey(*nwind, u"Customers"_s, u"ANATR"_s);
    ASSERT_TRUE(customer);
    EXPECT_EQ(customer->value(4).toString(), u"Avda. de la Constitución 2222"_s);
    EXPECT_EQ(customer->value(5).toString(), u"México D.F."_s);
    EXPECT_FALSE(customer->value(6).isValid()); // Region is Null
    const auto product = rowWithKey(*nwind, u"Products"_s, qint64(5));
    ASSERT_TRUE(product);
    EXPECT_EQ(product->value(1).toString(), u"Chef Anton's Gumbo Mix"_s);
    EXPECT_DOUBLE_EQ(product->value(5).toDouble(), 21.35);
    EXPECT_EQ(product->value(9), QVariant(qint64(-1))); // Discontinued: Yes
    const auto chai = rowWithKey(*nwind, u"Products"_s, qint64(1));
    ASSERT_TRUE(chai);
    EXPECT_EQ(chai->value(9), QVariant(qint64(0)));
    std::optional<double> discount;
    nwind->readRows(u"Order Details"_s, [&](const QVariantList& row) {
        if (!discount && row.value(0).toLongLong() == 10250 && row.value(1).toLongLong() == 51)
            discount = row.value(4).toDouble();
    });
    EXPECT_EQ(discount, 0.15);
    const auto employee = rowWithKey(*nwind, u"Employees"_s, qint64(1));
    ASSERT_TRUE(employee);
    EXPECT_EQ(employee->value(5).toString(), u"1948-12-08 00:00:00"_s);
    EXPECT_EQ(employee->value(7).toString(), u"507 - 20th Ave. E.\r\nApt. 2A"_s);

    const auto dates = AccessFile::open(testFile(u"DateTestDatabase.mdb"_s));
    EXPECT_EQ(dates->format(), AccessFormat::Jet4);
    const std::vector<AccessTable> dateTables = dates->tables();
    ASSERT_EQ(dateTables.size(), 1u);
    const AccessTable& dateTest = dateTables.front();
    EXPECT_EQ(dateTest.name, u"DateTest"_s);
    EXPECT_EQ(dateTest.rows, 6);
    QStringList types;
    for (const AccessColumn& column : dateTest.columns)
        types << column.name + u':' + column.type;
    EXPECT_EQ(types, (QStringList{u"IDCol:Long Integer"_s, u"DateTimeCol:DateTime"_s,
                                  u"DateCol:DateTime"_s, u"TimeCol:DateTime"_s,
                                  u"LongTextCol:Memo"_s, u"ShortTextCol:Text"_s}));
    const auto first = rowWithKey(*dates, u"DateTest"_s, qint64(1));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->value(1).toString(), u"2021-12-02 00:00:00"_s);
    EXPECT_EQ(first->value(4).toString(), u"Hello"_s);
    const auto sixth = rowWithKey(*dates, u"DateTest"_s, qint64(6));
    ASSERT_TRUE(sixth);
    EXPECT_EQ(sixth->value(4).toString(), u"New line\r\nin field"_s);

    const auto assets = AccessFile::open(testFile(u"ASampleDatabase.accdb"_s));
    EXPECT_EQ(assets->format(), AccessFormat::Access2007);
    const std::vector<AccessTable> assetTables = assets->tables();
    ASSERT_EQ(assetTables.size(), 1u);
    EXPECT_EQ(assetTables.front().name, u"Asset Items"_s);
    EXPECT_EQ(assetTables.front().rows, 65);
    EXPECT_EQ(rowCount(*assets, u"Asset Items"_s), 65);
    const auto asset = rowWithKey(*assets, u"Asset Items"_s, u"30050"_s);
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->value(2).toString(), u"GEO Rocket"_s);
    EXPECT_EQ(asset->value(7).toString(), u"1997-09-02 00:00:00"_s);
    EXPECT_DOUBLE_EQ(asset->value(8).toDouble(), 1995.5);
    EXPECT_FALSE(asset->value(12).isValid()); // Comments is Null
}

TEST(AccessFile, RefusesFilesThatAreNoAccessDatabaseOrCutShort) {
    SKIP_WITHOUT_ACCESS_FILES();
    QTemporaryDir dir;
    const auto refusal = [](const QString& path) -> std::optional<DatabaseError> {
        try {
            AccessFile::open(path);
        } catch (const DatabaseError& error) {
            return error;
        }
        return std::nullopt;
    };
    const QString random = dir.filePath(u"random.mdb"_s);
    {
        QFile file(random);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(8192, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
        file.write(bytes);
    }
    const auto notAccess = refusal(random);
    ASSERT_TRUE(notAccess);
    EXPECT_TRUE(notAccess->message().contains(random + u" is not an Access database"_s))
        << notAccess->message().toStdString();

    // What Access writes when it encrypts a database with a password: a compound document.
    const QString encrypted = dir.filePath(u"locked.accdb"_s);
    {
        QFile file(encrypted);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(4096, '\0');
        bytes.replace(0, 8, QByteArray::fromHex("d0cf11e0a1b11ae1"));
        file.write(bytes);
    }
    const auto locked = refusal(encrypted);
    ASSERT_TRUE(locked);
    EXPECT_TRUE(locked->message().contains(encrypted + u" is an Access database protected by a "
                                                       "password"_s))
        << locked->message().toStdString();

    QFile source(testFile(u"DateTestDatabase.mdb"_s));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString cut = dir.filePath(u"cut.mdb"_s);
    {
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(source.read(source.size() / 2 + 100));
    }
    const auto truncated = refusal(cut);
    ASSERT_TRUE(truncated);
    EXPECT_TRUE(truncated->message().contains(cut + u" (Jet 4) is damaged"_s))
        << truncated->message().toStdString();
    EXPECT_EQ(truncated->kind(), DatabaseError::Kind::Corrupt);

    const auto missing = refusal(dir.filePath(u"none.mdb"_s));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind(), DatabaseError::Kind::Missing);
}
