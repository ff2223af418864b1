#include "catalogue/SiteDatabase.h"

#include "app/CommandError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QHash>
#include <QStringList>

#include <cstring>

int metricIndex(const char* field)
{
    for (int i = 0; i < MetricCount; ++i) {
        if (std::strcmp(MetricFields[i], field) == 0)
            return i;
    }
    return -1;
}

namespace {

const QString AddtimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

QStringList requiredFields(const QString& table)
{
    if (table.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("pr_id"), QStringLiteral("pr_name"), QStringLiteral("pr_parent"),
                QStringLiteral("pr_url")};
    QStringList fields{QStringLiteral("autoid"), QStringLiteral("pr_id"), QStringLiteral("addtime")};
    for (const char* field : MetricFields)
        fields << QString::fromLatin1(field);
    return fields;
}

// Reads addtime values as the program writes them ("yyyy-MM-ddTHH:mm:ss.zzz", local time).
// Working out the local time offset is the slow part of reading a long history, so it is
// done once per date (and per row only on a date when the offset changes).
class AddtimeReader
{
public:
    QDateTime read(const QVariant& value)
    {
        const QString text = value.toString();
        const QStringView v(text);
        if (v.size() < 19 || v[4] != QLatin1Char('-') || v[7] != QLatin1Char('-') || v[13] != QLatin1Char(':')
            || v[16] != QLatin1Char(':'))
            return value.toDateTime();
        const QDate date(v.mid(0, 4).toInt(), v.mid(5, 2).toInt(), v.mid(8, 2).toInt());
        const int ms = v.size() >= 23 && v[19] == QLatin1Char('.') ? v.mid(20, 3).toInt() : 0;
        const QTime time(v.mid(11, 2).toInt(), v.mid(14, 2).toInt(), v.mid(17, 2).toInt(), ms);
        if (!date.isValid() || !time.isValid())
            return value.toDateTime();
        auto it = m_offsets.constFind(date.toJulianDay());
        if (it == m_offsets.constEnd()) {
            const int start = QDateTime(date, QTime(0, 0)).offsetFromUtc();
            const int end = QDateTime(date, QTime(23, 59, 59)).offsetFromUtc();
            it = m_offsets.insert(date.toJulianDay(), start == end ? std::optional<int>(start) : std::nullopt);
        }
        if (!it->has_value())
            return QDateTime(date, time);
        return QDateTime(date, time, Qt::OffsetFromUTC, **it);
    }

private:
    QHash<qint64, std::optional<int>> m_offsets;
};

} // namespace

SiteDatabase::SiteDatabase(const QString& connectionName)
    : m_connectionName(connectionName)
{
}

SiteDatabase::~SiteDatabase()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QSqlDatabase SiteDatabase::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool SiteDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && connection().isOpen();
}

void SiteDatabase::requireOpen() const
{
    if (!isOpen())
        throw CommandError(QStringLiteral("Database file '%1' does not exist").arg(QDir::toNativeSeparators(m_path)));
}

[[noreturn]] void SiteDatabase::fail(const QSqlQuery& query)
{
    throw CommandError(query.lastError().text());
}

void SiteDatabase::prepare(QSqlQuery& query, const QString& statement)
{
    if (!query.prepare(statement))
        fail(query);
}

void SiteDatabase::exec(QSqlQuery& query)
{
    if (!query.exec())
        fail(query);
}

void SiteDatabase::open(const QString& filePath)
{
    m_path = filePath;
    const bool existed = QFileInfo::exists(filePath);
    const QString missing = QStringLiteral("Database file '%1' does not exist").arg(QDir::toNativeSeparators(filePath));
    if (!existed && !QFileInfo(filePath).absoluteDir().exists())
        throw CommandError(missing);

    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(filePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            // Also the first read of the file: a file that is no database fails here.
            QSqlQuery wal(db);
            if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
                error = wal.lastError().text();
        }
    }
    if (error.isEmpty() && !existed) {
        try {
            createSchema();
        } catch (const CommandError& e) {
            error = e.message();
        }
    }
    if (error.isEmpty())
        return;

    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
    if (existed)
        throw CommandError(error);
    // Only a file this call made is removed.
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(filePath + QLatin1String(suffix));
    throw CommandError(missing);
}

void SiteDatabase::createSchema()
{
    QString metrics;
    for (const char* field : MetricFields)
        metrics += QStringLiteral(", %1 INTEGER").arg(QLatin1String(field));
    const QStringList statements{
        QStringLiteral("CREATE TABLE master (pr_id INTEGER PRIMARY KEY NOT NULL, pr_name VARCHAR(%1),"
                       " pr_parent INTEGER, pr_url VARCHAR(1024))")
            .arg(NameLength),
        // Without AUTOINCREMENT a new row is numbered one above the largest present,
        // which is what the query's prediction of its autoid relies on.
        QStringLiteral("CREATE TABLE details (autoid INTEGER PRIMARY KEY, pr_id INTEGER,"
                       " addtime DATETIME%1)")
            .arg(metrics),
        QStringLiteral("CREATE INDEX details_site ON details (pr_id, addtime)"),
        QStringLiteral("INSERT INTO master (pr_id, pr_name, pr_parent, pr_url) VALUES (1, '我的网站', 1, NULL)"),
    };
    transaction(false, [&] {
        for (const QString& statement : statements) {
            QSqlQuery query(connection());
            if (!query.exec(statement))
                fail(query);
        }
    });
}

QString SiteDatabase::journalMode() const
{
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("PRAGMA journal_mode")) || !query.next())
        return {};
    return query.value(0).toString();
}

void SiteDatabase::openTable(const QString& table)
{
    requireOpen();
    QSqlQuery query(connection());
    prepare(query, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND lower(name)=lower(:p1)"));
    query.bindValue(QStringLiteral(":p1"), table);
    exec(query);
    if (!query.next())
        throw CommandError(QStringLiteral("Table '%1' not found").arg(table));
    const QSqlRecord record = connection().record(query.value(0).toString());
    for (const QString& field : requiredFields(table)) {
        if (record.indexOf(field) < 0)
            throw CommandError(QStringLiteral("Field '%1' not found").arg(field));
    }
}

void SiteDatabase::transaction(bool immediate, const std::function<void()>& work)
{
    requireOpen();
    QSqlQuery begin(connection());
    if (!begin.exec(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
        fail(begin);
    try {
        work();
        QSqlQuery commit(connection());
        if (!commit.exec(QStringLiteral("COMMIT")))
            fail(commit);
    } catch (...) {
        QSqlQuery rollback(connection());
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

int SiteDatabase::maxAutoId()
{
    requireOpen();
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("select max(autoid) as maxid from details")))
        fail(query);
    // An empty table gives null, which reads as 0.
    return query.next() ? query.value(QStringLiteral("maxid")).toInt() : 0;
}

QList<DetailsRecord> SiteDatabase::history(int prId)
{
    requireOpen();
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    prepare(query, QStringLiteral("select * from details where pr_id=:p1 order by addtime desc"));
    query.bindValue(QStringLiteral(":p1"), prId);
    exec(query);

    const QSqlRecord record = query.record();
    const int autoidAt = record.indexOf(QStringLiteral("autoid"));
    const int prIdAt = record.indexOf(QStringLiteral("pr_id"));
    const int addtimeAt = record.indexOf(QStringLiteral("addtime"));
    std::array<int, MetricCount> metricAt{};
    for (int i = 0; i < MetricCount; ++i) {
        metricAt[i] = record.indexOf(QLatin1String(MetricFields[i]));
        if (metricAt[i] < 0)
            throw CommandError(QStringLiteral("Field '%1' not found").arg(QLatin1String(MetricFields[i])));
    }

    QList<DetailsRecord> rows;
    AddtimeReader addtime;
    while (query.next()) {
        DetailsRecord row;
        row.autoid = query.value(autoidAt).toInt();
        row.prId = query.value(prIdAt).toInt();
        row.addtime = addtime.read(query.value(addtimeAt));
        for (int i = 0; i < MetricCount; ++i)
            row.values[i] = query.value(metricAt[i]).toInt();
        rows.append(row);
    }
    if (query.lastError().isValid())
        fail(query);
    return rows;
}

void SiteDatabase::deleteDetail(int autoid)
{
    transaction(false, [&] {
        QSqlQuery query(connection());
        prepare(query, QStringLiteral("delete from details where autoid=:p1"));
        query.bindValue(QStringLiteral(":p1"), autoid);
        exec(query);
    });
}

void SiteDatabase::deleteSiteDetails(int prId)
{
    transaction(false, [&] {
        QSqlQuery query(connection());
        prepare(query, QStringLiteral("delete from details where pr_id=:p1"));
        query.bindValue(QStringLiteral(":p1"), prId);
        exec(query);
    });
}

int SiteDatabase::storeDetails(const DetailsRecord& record)
{
    QString fields = QStringLiteral("pr_id, addtime");
    QString values = QStringLiteral(":pr_id, :addtime");
    for (const char* field : MetricFields) {
        fields += QStringLiteral(", ") + QLatin1String(field);
        values += QStringLiteral(", :") + QLatin1String(field);
    }
    int autoid = 0;
    transaction(false, [&] {
        QSqlQuery query(connection());
        prepare(query, QStringLiteral("INSERT INTO details (%1) VALUES (%2)").arg(fields, values));
        query.bindValue(QStringLiteral(":pr_id"), record.prId);
        query.bindValue(QStringLiteral(":addtime"), record.addtime.toString(AddtimeFormat));
        for (int i = 0; i < MetricCount; ++i)
            query.bindValue(QStringLiteral(":") + QLatin1String(MetricFields[i]), record.values[i]);
        exec(query);
        autoid = query.lastInsertId().toInt();
    });
    return autoid;
}

QList<SiteRecord> SiteDatabase::sites()
{
    requireOpen();
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT pr_id, pr_parent, pr_name, pr_url FROM master ORDER BY pr_id")))
        fail(query);
    QList<SiteRecord> rows;
    while (query.next())
        rows.append({query.value(0).toInt(), query.value(1), query.value(2).toString(), query.value(3).toString()});
    return rows;
}

int SiteDatabase::addSite(const QString& name, const QString& url, std::optional<int> parent)
{
    int id = 0;
    transaction(true, [&] {
        QSqlQuery query(connection());
        if (!query.exec(QStringLiteral("SELECT max(pr_id) FROM master")))
            fail(query);
        id = query.next() && !query.value(0).isNull() ? query.value(0).toInt() + 1 : 0;
        if (parent) {
            QSqlQuery check(connection());
            prepare(check, QStringLiteral("SELECT 1 FROM master WHERE pr_id=:p1"));
            check.bindValue(QStringLiteral(":p1"), *parent);
            exec(check);
            if (!check.next())
                throw CommandError(QStringLiteral("没有编号为 %1 的节点").arg(*parent));
        }
        insertMaster({id, parent.value_or(id), name, url});
    });
    return id;
}

void SiteDatabase::insertMaster(const SiteRecord& site)
{
    QSqlQuery insert(connection());
    prepare(insert, QStringLiteral("INSERT INTO master (pr_id, pr_name, pr_parent, pr_url) VALUES (:id, :name, :parent, :url)"));
    insert.bindValue(QStringLiteral(":id"), site.id);
    insert.bindValue(QStringLiteral(":name"), site.name);
    insert.bindValue(QStringLiteral(":parent"), site.parent);
    insert.bindValue(QStringLiteral(":url"), site.url.isNull() ? QVariant() : QVariant(site.url));
    exec(insert);
}

void SiteDatabase::insertSites(const QList<SiteRecord>& sites)
{
    transaction(false, [&] {
        for (const SiteRecord& site : sites)
            insertMaster(site);
    });
}

namespace {

void updateMaster(SiteDatabase& database, const QString& statement, int id, const QVariantMap& values)
{
    database.transaction(false, [&] {
        QSqlQuery update(database.connection());
        SiteDatabase::prepare(update, statement);
        update.bindValue(QStringLiteral(":id"), id);
        for (auto it = values.begin(); it != values.end(); ++it)
            update.bindValue(it.key(), it.value());
        database.exec(update);
    });
}

} // namespace

void SiteDatabase::renameSite(int id, const QString& name)
{
    updateMaster(*this, QStringLiteral("UPDATE master SET pr_name=:name WHERE pr_id=:id"), id, {{QStringLiteral(":name"), name}});
}

void SiteDatabase::setSiteParent(int id, int parent)
{
    updateMaster(*this, QStringLiteral("UPDATE master SET pr_parent=:parent WHERE pr_id=:id"), id,
                 {{QStringLiteral(":parent"), parent}});
}

void SiteDatabase::updateSite(int id, const QString& name, const QString& url)
{
    updateMaster(*this, QStringLiteral("UPDATE master SET pr_name=:name, pr_url=:url WHERE pr_id=:id"), id,
                 {{QStringLiteral(":name"), name}, {QStringLiteral(":url"), url}});
}

void SiteDatabase::deleteSite(int id)
{
    transaction(false, [&] {
        QSqlQuery details(connection());
        prepare(details, QStringLiteral("delete from details where pr_id=:p1"));
        details.bindValue(QStringLiteral(":p1"), id);
        exec(details);
        QSqlQuery master(connection());
        prepare(master, QStringLiteral("DELETE FROM master WHERE pr_id=:id"));
        master.bindValue(QStringLiteral(":id"), id);
        exec(master);
    });
}
