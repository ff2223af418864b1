#include "cli/CommandLine.h"

#include "query/HttpFetcher.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    HttpFetcher::globalInit();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvani-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4"));
    return CommandLine::run(QCoreApplication::arguments());
}
