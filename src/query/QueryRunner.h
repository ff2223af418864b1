#pragma once

#include "query/HttpFetcher.h"
#include "query/QueryTask.h"
#include "query/ServiceHosts.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>

class ProviderWorker;
class SiteDatabase;

// Runs queries of one site at a time: the launch checks, the prediction of the stored row's
// autoid, the nine workers, the counting of their completions and the storing of the row.
// No widgets: the window and the command line both use it.
class QueryRunner final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueryRunner)

public:
    QueryRunner(SiteDatabase& database, QObject* parent = nullptr);
    ~QueryRunner() override;

    void setHosts(const ServiceHosts& hosts) { m_hosts = hosts; }
    void setLimits(const FetchLimits& limits) { m_limits = limits; }

    // Starts a query of a site. Throws CommandError: "上次查询未结束" while one runs,
    // "网址不能为空" for a blank address, or the database's error (then nothing starts).
    void launch(int siteId, const QString& siteAddress);
    bool isRunning() const { return m_running; }
    int queryStepCount() const { return m_queryStepCount; }
    // The autoid the running query's row will get: the largest present plus one.
    int predictedAutoId() const { return m_predictedAutoId; }
    // The row the last finished query stored (or tried to store).
    const DetailsRecord& lastRecord() const { return m_lastRecord; }
    // Aborts the transfers and waits for the workers; nothing is stored.
    void cancel();

signals:
    void statusText(const QString& text);
    void cellValue(int column, int value);
    void refreshRequested();
    // The query is over and its row stored under autoid.
    void finished(int autoid);
    // The query is over but its row could not be stored; nothing of it is in the database.
    void storeFailed(const QString& error);

private:
    void onCompleted(quint64 generation, int siteId);
    void waitForWorkers();

    SiteDatabase& m_database;
    ServiceHosts m_hosts;
    FetchLimits m_limits;
    bool m_running = false;
    int m_queryStepCount = 0;
    int m_predictedAutoId = 0;
    quint64 m_generation = 0;
    DetailsRecord m_lastRecord;
    std::shared_ptr<ResultSlots> m_slots;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QList<QPointer<ProviderWorker>> m_workers;
};
