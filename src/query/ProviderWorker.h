#pragma once

#include "query/HttpFetcher.h"
#include "query/QueryTask.h"
#include "query/ServiceHosts.h"

#include <QThread>

#include <atomic>
#include <memory>

// Runs one provider step on a thread of its own: the provider's requests one after another,
// the values into the query's result slots. Everything meant for the window leaves through
// signals, which reach the UI thread in the order they were sent.
class ProviderWorker final : public QThread
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProviderWorker)

public:
    ProviderWorker(const QueryTask& task, std::shared_ptr<ResultSlots> results, const ServiceHosts& hosts,
                   const FetchLimits& limits, std::shared_ptr<std::atomic<bool>> cancelled,
                   QObject* parent = nullptr);

signals:
    void statusText(const QString& text);
    void cellValue(int column, int value);
    // Exactly one per step, whatever its fetches gave, unless the query was cancelled.
    void completed(int siteId);
    void refreshRequested();

protected:
    void run() override;

private:
    void runStep();

    QueryTask m_task;
    std::shared_ptr<ResultSlots> m_slots;
    ServiceHosts m_hosts;
    FetchLimits m_limits;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};
