#pragma once

#include <QByteArray>

#include <atomic>
#include <list>
#include <mutex>
#include <thread>

// A local HTTP peer that misbehaves on purpose, the same way on every request.
class FaultServer final
{
public:
    enum class Fault {
        ResetMidBody,      // headers, part of the body, then a TCP reset
        Stall,             // reads the request and never answers
        Trickle,           // answers one byte a second
        Status,            // a complete answer with the given status and a page holding every value
        Huge,              // 20 MB announced and sent
        HugeChunked,       // 20 MB in chunks, no length announced
        BinaryJunk,        // 200 with random bytes
        InvalidUtf8,       // 200 with bytes that are no UTF-8
        TruncatedChunked,  // a chunk, then the connection closes
        CloseBeforeHeaders // reads the request and closes
    };

    FaultServer(Fault fault, int status = 200);
    ~FaultServer();

    QByteArray hostAndPort() const;
    int connections() const { return m_connections; }

private:
    void serve(int socket);
    bool sendAll(int socket, const QByteArray& bytes);

    Fault m_fault;
    int m_status;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::list<std::thread> m_handlers;
};
