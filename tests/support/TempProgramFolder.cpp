#include "support/TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempProgramFolder::TempProgramFolder()
{
    Q_ASSERT(m_dir.isValid());
}

void TempProgramFolder::write(const QString& relativeName, const QByteArray& bytes) const
{
    const QString path = file(relativeName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempProgramFolder::read(const QString& relativeName) const
{
    QFile in(file(relativeName));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
