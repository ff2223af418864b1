#include "support/FaultServer.h"

#include "query/Gbk.h"

#include <QRandomGenerator>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A page that would give every value a number, so a failure shows as its failure value.
QByteArray fullPage()
{
    return Gbk::encode(QStringLiteral(
        "找到相关网页约1,201篇 style=\"margin-bottom:-2px;\"/>12</a> alt=\"China Flag\"/>6</div>"
        " class=\"rank_font_y2\">9</span> PageRank(5/10) 获得 89 条结果 共 <strong>4</strong>"
        " 链向该地址的网页： 共 <strong>7</strong> 找到13< 搜狗评级:7/ 搜索到2项结果 共3条结果"));
}

} // namespace

FaultServer::FaultServer(Fault fault, int status)
    : m_fault(fault)
    , m_status(status)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    ::listen(m_listener, 64);
    m_acceptor = std::thread([this] {
        while (!m_stopping) {
            pollfd ready{m_listener, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const int socket = ::accept(m_listener, nullptr, nullptr);
            if (socket < 0)
                continue;
            ++m_connections;
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_handlers.emplace_back([this, socket] { serve(socket); });
        }
    });
}

FaultServer::~FaultServer()
{
    m_stopping = true;
    m_acceptor.join();
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (std::thread& handler : m_handlers)
        handler.join();
    ::close(m_listener);
}

QByteArray FaultServer::hostAndPort() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}

bool FaultServer::sendAll(int socket, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size() && !m_stopping) {
        const ssize_t n = ::send(socket, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return !m_stopping;
}

void FaultServer::serve(int socket)
{
    // Read the request up to its empty line.
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n") && !m_stopping) {
        pollfd ready{socket, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        const ssize_t n = ::recv(socket, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        request.append(buffer, n);
    }
    auto waitWhile = [this](int ms) {
        for (int waited = 0; waited < ms && !m_stopping; waited += 10)
            ::usleep(10000);
    };
    const QByteArray page = fullPage();
    switch (m_fault) {
    case Fault::ResetMidBody: {
        sendAll(socket, "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + page.left(40));
        const linger reset{1, 0};
        ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof(reset));
        break;
    }
    case Fault::Stall:
        waitWhile(60000);
        break;
    case Fault::Trickle: {
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(page.size()) + "\r\n\r\n" + page;
        for (char byte : answer) {
            if (!sendAll(socket, QByteArray(1, byte)))
                break;
            waitWhile(1000);
        }
        break;
    }
    case Fault::Status:
        sendAll(socket, "HTTP/1.1 " + QByteArray::number(m_status) + " Fault\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: "
                            + QByteArray::number(page.size()) + "\r\n\r\n" + page);
        break;
    case Fault::Huge:
    case Fault::HugeChunked: {
        const qsizetype total = 20 * 1024 * 1024;
        const QByteArray block(64 * 1024, 'x');
        const bool chunked = m_fault == Fault::HugeChunked;
        sendAll(socket, chunked ? QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                                : "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(total) + "\r\n\r\n");
        for (qsizetype sent = 0; sent < total; sent += block.size()) {
            const QByteArray piece = chunked ? QByteArray::number(block.size(), 16) + "\r\n" + block + "\r\n" : block;
            if (!sendAll(socket, piece))
                break;
        }
        if (chunked)
            sendAll(socket, "0\r\n\r\n");
        break;
    }
    case Fault::BinaryJunk:
    case Fault::InvalidUtf8: {
        QByteArray body(8192, '\0');
        for (char& byte : body)
            byte = char(m_fault == Fault::InvalidUtf8 ? 0x80 + QRandomGenerator::global()->bounded(0x40)
                                                      : QRandomGenerator::global()->bounded(256));
        sendAll(socket, "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        break;
    }
    case Fault::TruncatedChunked:
        sendAll(socket, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray::number(page.size(), 16)
                            + "\r\n" + page + "\r\n");
        break;
    case Fault::CloseBeforeHeaders:
        break;
    }
    ::close(socket);
}
