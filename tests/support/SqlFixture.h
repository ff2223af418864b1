#pragma once

#include "catalogue/SiteDatabase.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>

// Small helpers for tests that look at or prepare table contents directly.
namespace SqlFixture {

inline void exec(SiteDatabase& database, const QString& statement)
{
    QSqlQuery query(database.connection());
    if (!query.exec(statement))
        SiteDatabase::fail(query);
}

// The first column of every row of a select, as text joined by ",".
inline QString column(SiteDatabase& database, const QString& statement)
{
    QSqlQuery query(database.connection());
    if (!query.exec(statement))
        SiteDatabase::fail(query);
    QStringList values;
    while (query.next())
        values << (query.value(0).isNull() ? QStringLiteral("null") : query.value(0).toString());
    return values.join(QLatin1Char(','));
}

} // namespace SqlFixture
