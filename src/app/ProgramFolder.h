#pragma once

#include <QString>
#include <QStringList>

// The folder that holds data.db, cfg.ini and plugin/: the executable's own folder, or the
// folder given with --data-dir.
class ProgramFolder final
{
public:
    explicit ProgramFolder(const QString& path);
    // Parses "--data-dir DIR"; anything else on the command line is left alone
    // (a restart after an upgrade passes "/afterupgrade").
    static ProgramFolder fromArguments(const QStringList& arguments, const QString& executableFolder);

    const QString& path() const { return m_path; }
    // A file of the folder by its relative name, e.g. "plugin/51la.ini".
    QString file(const QString& relativeName) const;
    QString databaseFile() const { return file(QStringLiteral("data.db")); }
    QString settingsFile() const { return file(QStringLiteral("cfg.ini")); }
    QString pluginFolder() const { return file(QStringLiteral("plugin")); }
    QString credentialsFile() const { return file(QStringLiteral("plugin/51la.ini")); }

private:
    QString m_path;
};
