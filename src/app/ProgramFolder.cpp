#include "app/ProgramFolder.h"

#include <QDir>

ProgramFolder::ProgramFolder(const QString& path)
    : m_path(QDir(path).absolutePath())
{
}

ProgramFolder ProgramFolder::fromArguments(const QStringList& arguments, const QString& executableFolder)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--data-dir") && i + 1 < arguments.size())
            return ProgramFolder(arguments.at(i + 1));
        if (argument.startsWith(QLatin1String("--data-dir=")))
            return ProgramFolder(argument.mid(int(sizeof("--data-dir=")) - 1));
    }
    return ProgramFolder(executableFolder);
}

QString ProgramFolder::file(const QString& relativeName) const
{
    return m_path + QLatin1Char('/') + relativeName;
}
