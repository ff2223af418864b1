#include "query/ProviderWorker.h"

#include "query/Gbk.h"
#include "query/TextUtils.h"
#include "query/ValueReader.h"

ProviderWorker::ProviderWorker(const QueryTask& task, std::shared_ptr<ResultSlots> results, const ServiceHosts& hosts,
                               const FetchLimits& limits, std::shared_ptr<std::atomic<bool>> cancelled,
                               QObject* parent)
    : QThread(parent)
    , m_task(task)
    , m_slots(std::move(results))
    , m_hosts(hosts)
    , m_limits(limits)
    , m_cancelled(std::move(cancelled))
{
}

void ProviderWorker::run()
{
    if (m_task.siteAddress.isEmpty())
        return;
    try {
        runStep();
    } catch (...) {
        // Nothing may escape a worker; the step's values are what it had set.
    }
    if (m_cancelled->load())
        return;
    emit completed(m_task.siteId);
    emit refreshRequested();
}

void ProviderWorker::runStep()
{
    const QByteArray domain = ValueReader::siteDomain(Gbk::encode(m_task.siteAddress));
    HttpFetcher fetcher(m_limits, m_cancelled.get());
    auto slotOf = [this](const ValueSpec& value) -> QByteArray& {
        return m_slots->values[static_cast<size_t>(metricIndex(value.field))];
    };

    for (const FetchSpec& fetch : ProviderCatalogue::fetchesOf(m_task.providerKey)) {
        if (m_cancelled->load())
            return;
        emit statusText(QString::fromUtf8(fetch.status));
        const QList<ValueSpec> values = ProviderCatalogue::valuesOf(m_task.providerKey, fetch.fetch);

        bool failed = false;
        const FetchResult answer = fetcher.get(ProviderCatalogue::buildRequest(fetch, domain, m_hosts));
        if (!answer.ok) {
            failed = true;
        } else {
            const QByteArray page = fetch.utf8Body ? Utf8ToCodePage(answer.body, 936) : answer.body;
            for (const ValueSpec& value : values) {
                if (value.status)
                    emit statusText(QString::fromUtf8(value.status));
                slotOf(value) = ValueReader::readValue(value, page);
                if (value.cellAfterStep)
                    continue;
                const std::optional<int> number = ValueReader::convert(slotOf(value));
                if (!number) {
                    failed = true;
                    break;
                }
                emit cellValue(value.column, *number);
            }
        }
        // Values of one page fail together; cells already written keep their numbers.
        if (failed) {
            for (const ValueSpec& value : values)
                slotOf(value) = value.failureValue;
        }
    }

    for (const ValueSpec& value : ProviderCatalogue::valuesOf(m_task.providerKey)) {
        if (!value.cellAfterStep)
            continue;
        std::optional<int> number = ValueReader::convert(slotOf(value));
        if (!number) {
            slotOf(value) = value.failureValue;
            number = ValueReader::convert(slotOf(value));
        }
        emit cellValue(value.column, number.value_or(-1));
    }
}
