#include "cli/CommandLine.h"

#include "app/CommandError.h"
#include "app/IniStore.h"
#include "app/ProgramFolder.h"
#include "catalogue/SiteDatabase.h"
#include "query/QueryRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace CommandLine {
namespace {

enum ExitCode { Ok = 0, Failed = 1, Usage = 2, Interrupted = 130 };

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

const char* const Usage_ =
    "korvani-cli [--data-dir DIR] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  sites                          list the catalogue: pr_id, pr_parent, pr_name, pr_url\n"
    "  add-site NAME URL [--parent ID] add a site, print its pr_id\n"
    "  query PR_ID                    query a site and store the row\n"
    "  history PR_ID [--csv]          the site's stored rows, newest first\n"
    "\n"
    "Each command takes --help.\n";

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// Parses a command's own options; returns false (after printing) on --help or bad usage.
bool parse(QCommandLineParser& parser, const QStringList& arguments, const QString& synopsis, int positional,
           int* exitCode)
{
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        err() << parser.errorText() << "\n" << synopsis << "\n";
        *exitCode = Usage;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out() << "usage: korvani-cli [--data-dir DIR] " << synopsis << "\n";
        *exitCode = Ok;
        return false;
    }
    if (parser.positionalArguments().size() != positional) {
        err() << "usage: korvani-cli [--data-dir DIR] " << synopsis << "\n";
        *exitCode = Usage;
        return false;
    }
    return true;
}

std::optional<int> parseId(const QString& text)
{
    bool ok = false;
    const int id = text.toInt(&ok);
    if (!ok) {
        err() << "not a pr_id: " << text << "\n";
        return std::nullopt;
    }
    return id;
}

int listSites(SiteDatabase& database, const QStringList& arguments)
{
    QCommandLineParser parser;
    int code = Ok;
    if (!parse(parser, arguments, QStringLiteral("sites"), 0, &code))
        return code;
    for (const SiteRecord& site : database.sites()) {
        out() << site.id << '\t' << (site.parent.isNull() ? QString() : site.parent.toString()) << '\t' << site.name
              << '\t' << site.url << '\n';
    }
    return Ok;
}

int addSite(SiteDatabase& database, const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("parent"), QStringLiteral("pr_id of the parent node"), QStringLiteral("ID")});
    int code = Ok;
    if (!parse(parser, arguments, QStringLiteral("add-site NAME URL [--parent ID]"), 2, &code))
        return code;
    std::optional<int> parent;
    if (parser.isSet(QStringLiteral("parent"))) {
        parent = parseId(parser.value(QStringLiteral("parent")));
        if (!parent)
            return Usage;
    }
    const QStringList values = parser.positionalArguments();
    out() << database.addSite(values.at(0), values.at(1), parent) << '\n';
    return Ok;
}

int querySite(SiteDatabase& database, const ProgramFolder& folder, const QStringList& arguments)
{
    QCommandLineParser parser;
    int code = Ok;
    if (!parse(parser, arguments, QStringLiteral("query PR_ID"), 1, &code))
        return code;
    const std::optional<int> id = parseId(parser.positionalArguments().at(0));
    if (!id)
        return Usage;
    std::optional<SiteRecord> site;
    for (const SiteRecord& row : database.sites()) {
        if (row.id == *id)
            site = row;
    }
    if (!site) {
        err() << "没有编号为 " << *id << " 的节点\n";
        return Failed;
    }

    IniStore settings;
    settings.setPath(folder.settingsFile());
    QueryRunner runner(database);
    runner.setHosts(ServiceHosts::fromSettings(settings));

    QEventLoop loop;
    int result = Ok;
    QObject::connect(&runner, &QueryRunner::statusText, &loop, [](const QString& text) {
        err() << text << '\n';
        err().flush();
    });
    QObject::connect(&runner, &QueryRunner::finished, &loop, [&](int autoid) {
        const DetailsRecord& record = runner.lastRecord();
        for (int i = 0; i < MetricCount; ++i)
            out() << MetricFields[static_cast<size_t>(i)] << '\t' << record.values[static_cast<size_t>(i)] << '\n';
        out() << "autoid\t" << autoid << '\n';
        loop.quit();
    });
    QObject::connect(&runner, &QueryRunner::storeFailed, &loop, [&](const QString& error) {
        err() << "查询结果未能保存: " << error << '\n';
        result = Failed;
        loop.quit();
    });

    // SIGINT and SIGTERM abort the transfers; nothing half-done is stored.
    QSocketNotifier* notifier = nullptr;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &loop);
        QObject::connect(notifier, &QSocketNotifier::activated, &loop, [&] {
            runner.cancel();
            err() << "查询已取消\n";
            result = Interrupted;
            loop.quit();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }

    runner.launch(site->id, site->url);
    loop.exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return result;
}

int history(SiteDatabase& database, const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("csv"), QStringLiteral("RFC 4180 CSV with a header row")});
    int code = Ok;
    if (!parse(parser, arguments, QStringLiteral("history PR_ID [--csv]"), 1, &code))
        return code;
    const std::optional<int> id = parseId(parser.positionalArguments().at(0));
    if (!id)
        return Usage;
    const bool csv = parser.isSet(QStringLiteral("csv"));
    const QString separator = csv ? QStringLiteral(",") : QStringLiteral("\t");
    const QString lineEnd = csv ? QStringLiteral("\r\n") : QStringLiteral("\n");
    if (csv) {
        QStringList header{QStringLiteral("autoid"), QStringLiteral("addtime")};
        for (const char* field : MetricFields)
            header << QLatin1String(field);
        out() << header.join(separator) << lineEnd;
    }
    for (const DetailsRecord& row : database.history(*id)) {
        QStringList fields{QString::number(row.autoid), row.addtime.toString(Qt::ISODate)};
        for (const int value : row.values)
            fields << QString::number(value);
        out() << fields.join(separator) << lineEnd;
    }
    return Ok;
}

} // namespace

int run(const QStringList& arguments)
{
    QStringList rest = arguments.mid(0, 1);
    QString dataDir = QCoreApplication::applicationDirPath();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--data-dir") && i + 1 < arguments.size() && rest.size() == 1)
            dataDir = arguments.at(++i);
        else
            rest << arguments.at(i);
    }
    if (rest.size() < 2 || rest.at(1) == QLatin1String("--help") || rest.at(1) == QLatin1String("-h")) {
        (rest.size() < 2 ? err() : out()) << Usage_;
        return rest.size() < 2 ? Usage : Ok;
    }
    const QString command = rest.at(1);
    const QStringList commandArguments = QStringList{rest.at(0) + QLatin1Char(' ') + command} + rest.mid(2);
    const ProgramFolder folder(dataDir);
    QDir().mkpath(folder.path());

    try {
        SiteDatabase database;
        database.open(folder.databaseFile());
        database.openTable(QStringLiteral("master"));
        database.openTable(QStringLiteral("details"));
        if (command == QLatin1String("sites"))
            return listSites(database, commandArguments);
        if (command == QLatin1String("add-site"))
            return addSite(database, commandArguments);
        if (command == QLatin1String("query"))
            return querySite(database, folder, commandArguments);
        if (command == QLatin1String("history"))
            return history(database, commandArguments);
        err() << "unknown command: " << command << "\n\n" << Usage_;
        return Usage;
    } catch (const CommandError& error) {
        out().flush();
        err() << error.message() << '\n';
        return Failed;
    }
}

} // namespace CommandLine
