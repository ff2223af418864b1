#include "support/FakeProviders.h"

#include "query/Gbk.h"

#include <QThread>

#include <httplib.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

FakeProviders::FakeProviders()
    : m_server(std::make_unique<httplib::Server>())
{
    m_server->set_keep_alive_max_count(100);
    // One thread per connection of a whole query and more: the nine steps run at once.
    m_server->new_task_queue = [] { return new httplib::ThreadPool(32); };
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        Request seen;
        seen.target = QByteArray::fromStdString(request.target);
        seen.version = QByteArray::fromStdString(request.version);
        for (const auto& [name, value] : request.headers)
            seen.headers.insert(QByteArray::fromStdString(name).toLower(), QByteArray::fromStdString(value));
        Answer answer{404, "not found", {}, 0};
        {
            const QMutexLocker lock(&m_mutex);
            if (m_record)
                m_requests.append(seen);
            const auto it = m_answers.constFind(seen.target);
            if (it != m_answers.constEnd())
                answer = *it;
        }
        const int delay = answer.delayMs + m_delayForAll.load();
        for (int waited = 0; waited < delay && !m_stopping; waited += 10)
            QThread::msleep(std::min(10, delay - waited));
        response.status = answer.status;
        if (const int status = m_statusForAll.load()) {
            response.status = status;
            response.set_header("Location", "http://127.0.0.1:1/");
        }
        for (const auto& [name, value] : answer.headers)
            response.set_header(name.toStdString(), value.toStdString());
        response.set_content(answer.body.toStdString(), "text/html");
    };
    m_server->Get(R"([\s\S]*)", handler); // any path, line breaks included
    int listening = -1;
    m_server->set_socket_options([&listening](int socket) {
        httplib::default_socket_options(socket);
        // Accepted sockets inherit this: no Nagle delay between an answer's header and body.
        const int on = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        listening = socket;
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    // The library listens with a backlog of 5; a query opens nine connections at once, and
    // a dropped SYN costs the client a second. Listening again raises the backlog.
    if (listening >= 0)
        ::listen(listening, 128);
    // Bound already: connections wait in the backlog until the loop runs.
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // A stop before the loop runs would be lost, and the destructor would wait for ever.
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeProviders::~FakeProviders()
{
    m_stopping = true;
    m_server->stop();
    m_thread.join();
}

QByteArray FakeProviders::hostAndPort() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}

void FakeProviders::setAnswer(const QByteArray& target, const Answer& answer)
{
    const QMutexLocker lock(&m_mutex);
    m_answers.insert(target, answer);
}

QList<FakeProviders::Request> FakeProviders::requests() const
{
    const QMutexLocker lock(&m_mutex);
    return m_requests;
}

namespace {

QByteArray gbk(const QString& text)
{
    return Gbk::encode(text);
}

QByteArray page(const char* html, bool utf8)
{
    const QString text = QString::fromUtf8(html);
    return utf8 ? text.toUtf8() : gbk(text);
}

} // namespace

void FakeProviders::serveSite(const QByteArray& d)
{
    const bool Utf8 = true;
    const bool Gbk_ = false;
    setPage("/s?wd=site%3A" + d, page("<p>百度为您找到相关网页约1,201篇，用时0.2秒</p>", Gbk_));
    setPage("/s?cl=3&wd=domain:" + d, page("<p>找到相关网页 约3,502 篇</p>", Gbk_));
    setPage("/siteinfo/" + d, page("<a href=\"/x\"><img src=\"g.gif\" style=\"margin-bottom:-2px;\"/>12,345</a>\n"
                                   "<div><img alt=\"China Flag\"/>678</div>", Gbk_));
    setPage("/overview/Info.do?url=" + d, page("<span class=\"rank_font_y2\">9,012</span>", Gbk_));
    setPage("/getpr.asp?queryurl=" + d, page("<b>PageRank(5/10)</b>", Gbk_));
    setPage("/search?hl=zh-CN&source=hp&q=site:" + d, page("<div>获得约 34,567 条结果</div>", Gbk_));
    setPage("/search?hl=zh-CN&source=hp&q=link:" + d, page("<div>获得 89 条结果</div>", Gbk_));
    setPage("/search?p=" + d, page("<p>共 <strong>约4,321</strong> 条</p>", Utf8));
    setPage("/search?p=" + d + "&bwm=i", page("<p>链向该地址的网页： 共 <strong>765</strong></p>", Utf8));
    setPage("/web?query=site:" + d, page("<div>找到2,468<span>条</span></div>", Gbk_));
    setPage("/web?query=link%3A" + d, page("<div>找到1,357<span>条</span> 搜狗评级:7/100</div>", Gbk_));
    setPage("/q?pid=s.idx&w=site:" + d, page("<p>搜索到约11,111项结果</p>", Gbk_));
    setPage("/q?pid=s.idx&w=link:" + d, page("<p>搜索到222项结果</p>", Gbk_));
    setPage("/search?form=QBLH&filt=all&q=site:" + d, page("<span>共 3,333 条结果</span>", Utf8));
    setPage("/search?form=QBLH&filt=all&q=link:" + d, page("<span>共 444 条结果</span>", Utf8));
    setPage("/search?q=site%3A" + d + "&ue=utf8&keyfrom=web.index", page("<p>共约1,230万条结果</p>", Utf8));
    setPage("/search?q=link%3A" + d + "&ue=utf8&keyfrom=web.index", page("<p>共55条结果</p>", Utf8));
}

namespace FakeSite {

QList<int> expectedValues()
{
    // alexaworld, alexachina, chinarank, googlepr, sogoupr, baidurecord, baidubacklinks,
    // googlerecord, googlebacklinks, yahoorecord, yahoobacklinks, sosorecord, sosobacklinks,
    // bingrecord, bingbacklinks, sogourecord, sogoubacklinks, youdaorecord, youdaobacklinks
    return {12345, 678, 9012, 5, 7, 1201, 3502, 34567, 89, 4321, 765, 11111, 222, 3333, 444, 2468, 1357, 1230, 55};
}

} // namespace FakeSite
