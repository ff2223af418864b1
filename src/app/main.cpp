#include "app/AppTexts.h"
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "query/HttpFetcher.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    HttpFetcher::globalInit(); // before any thread starts
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvani"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(AppTexts::WindowTitle));
    QApplication::setApplicationVersion(QStringLiteral("1.4"));

    const ProgramFolder folder = ProgramFolder::fromArguments(QApplication::arguments(),
                                                              QApplication::applicationDirPath());
    QDir().mkpath(folder.path());

    MainWindow window(folder);
    window.show();
    return QApplication::exec();
}
