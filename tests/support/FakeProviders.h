#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace httplib {
class Server;
}

// A local HTTP server that stands in for the nine services. Answers are set per request
// target (path and query, as sent); other targets get 404.
class FakeProviders final
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;
    };
    struct Request
    {
        QByteArray target;
        QByteArray version;
        QMap<QByteArray, QByteArray> headers; // names in lower case
    };

    FakeProviders();
    ~FakeProviders();

    QByteArray hostAndPort() const;
    int port() const { return m_port; }

    void setAnswer(const QByteArray& target, const Answer& answer);
    void setPage(const QByteArray& target, const QByteArray& body) { setAnswer(target, {200, body, {}, 0}); }
    // Every answer waits this long (each one on its own connection thread).
    void setDelayForAll(int delayMs) { m_delayForAll = delayMs; }
    // Every answer gets this status (with a Location header), whatever its page.
    void setStatusForAll(int status) { m_statusForAll = status; }
    // Serves the pages of all 17 requests for a domain with values of their own.
    void serveSite(const QByteArray& domain);

    QList<Request> requests() const;
    // Long runs keep no record of their requests.
    void setRecordRequests(bool on) { m_record = on; }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<int> m_delayForAll{0};
    std::atomic<int> m_statusForAll{0};
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_record{true};
    mutable QMutex m_mutex;
    QMap<QByteArray, Answer> m_answers;
    QList<Request> m_requests;
};

// The numbers serveSite() puts into its pages, in MetricFields order, and the page texts.
namespace FakeSite {
QList<int> expectedValues();
}
