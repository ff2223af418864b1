#include "app/AppTexts.h"
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "query/HttpFetcher.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    HttpFetcher::globalInit(); // before any thread starts
    // Chromium's sandbox refuses to run as root.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("korvani: running as root, the web view's sandbox is off\n", stderr);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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
