#pragma once

#include "catalogue/DetailsRecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One row of table master.
struct SiteRecord
{
    int id = 0;
    QVariant parent; // null when the row has no parent value
    QString name;
    QString url;
};

class QSqlQuery;

// The site database data.db: table master (the site tree) and table details (one row per
// finished query). SQLite in WAL mode, so that a second running copy can use the file too.
class SiteDatabase final
{
public:
    static constexpr const char* DefaultConnection = "data";
    static constexpr const char* FileName = "data.db";
    static constexpr int NameLength = 255; // longest pr_name the program writes
    static constexpr int BusyTimeoutMs = 5000;

    explicit SiteDatabase(const QString& connectionName = QString::fromLatin1(DefaultConnection));
    ~SiteDatabase();
    SiteDatabase(const SiteDatabase&) = delete;
    SiteDatabase& operator=(const SiteDatabase&) = delete;

    // Opens the file, creating it with both tables and the root row when it does not exist.
    // Throws CommandError; an existing file is never changed by opening it.
    void open(const QString& filePath);
    bool isOpen() const;
    // Checks that a table and all of its fields are there ("Field '%s' not found").
    void openTable(const QString& table);
    QSqlDatabase connection() const;
    QString journalMode() const;

    // The statements of the program, each exactly as the program issues it.
    int maxAutoId();
    QList<DetailsRecord> history(int prId);
    void deleteDetail(int autoid);
    void deleteSiteDetails(int prId);
    // Stores a finished query in one transaction and returns its autoid.
    int storeDetails(const DetailsRecord& record);

    // Table master, in pr_id order.
    QList<SiteRecord> sites();
    // Appends a node numbered like the tree numbers new nodes (largest key plus one, 0 in an
    // empty table); a top-level node is its own parent. Returns its pr_id.
    int addSite(const QString& name, const QString& url, std::optional<int> parent);

    // Writes of the site tree and the site dialog, each one transaction.
    void insertSites(const QList<SiteRecord>& sites);
    void renameSite(int id, const QString& name);
    void setSiteParent(int id, int parent);
    void updateSite(int id, const QString& name, const QString& url);
    // Deletes the site's stored queries and its row together.
    void deleteSite(int id);

    // Runs work as one transaction; "BEGIN IMMEDIATE" when it reads before it writes.
    void transaction(bool immediate, const std::function<void()>& work);

    [[noreturn]] static void fail(const QSqlQuery& query);
    static void prepare(QSqlQuery& query, const QString& statement);
    void exec(QSqlQuery& query);

private:
    void requireOpen() const;
    void insertMaster(const SiteRecord& site);
    void createSchema();

    QString m_connectionName;
    QString m_path;
};
