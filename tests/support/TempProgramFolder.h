#pragma once

#include "app/ProgramFolder.h"

#include <QByteArray>
#include <QTemporaryDir>

// A fresh program folder for one test, removed afterwards.
class TempProgramFolder final
{
public:
    TempProgramFolder();

    ProgramFolder folder() const { return ProgramFolder(m_dir.path()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& relativeName) const { return folder().file(relativeName); }

    void write(const QString& relativeName, const QByteArray& bytes) const;
    QByteArray read(const QString& relativeName) const;

private:
    QTemporaryDir m_dir;
};
