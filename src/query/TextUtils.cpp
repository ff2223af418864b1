#include "query/TextUtils.h"

#include "query/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QByteArray TrimBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && uchar(text.at(begin)) <= 0x20)
        ++begin;
    while (end > begin && uchar(text.at(end - 1)) <= 0x20)
        --end;
    return text.sliced(begin, end - begin).toByteArray();
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QList<QByteArray> SplitText(const QByteArray& text, char delimiter)
{
    return text.split(delimiter);
}

namespace {

// Composes each base character with the combining marks after it, where a precomposed
// character exists. Only such clusters are touched, so other characters stay as they are.
QString composeMarks(const QString& text)
{
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i + 1;
        while (end < text.size() && text.at(end).isMark())
            ++end;
        if (end - i > 1)
            result += text.mid(i, end - i).normalized(QString::NormalizationForm_C);
        else
            result += text.at(i);
        i = end;
    }
    return result;
}

} // namespace

QByteArray Utf8ToCodePage(const QByteArray& utf8, int codePage)
{
    Q_UNUSED(codePage) // 936 in every use
    const auto* bytes = reinterpret_cast<const uchar*>(utf8.constData());
    const qsizetype size = utf8.size();
    auto byteAt = [&](qsizetype index) -> uint { return index < size ? bytes[index] : 0u; };

    QString decoded;
    decoded.reserve(size);
    bool hasMarks = false;
    qsizetype i = 0;
    while (i < size) {
        const uint lead = bytes[i];
        uint code;
        // Deliberately lenient, as the pages have always been read: continuation bytes are
        // not checked, and every other byte of 0x80 or more starts a three-byte sequence.
        if (lead < 0x80) {
            code = lead;
            i += 1;
        } else if (lead >= 0xC0 && lead <= 0xDF) {
            code = ((lead & 0x1F) << 6) | (byteAt(i + 1) & 0x3F);
            i += 2;
        } else {
            code = ((lead & 0x0F) << 12) | ((byteAt(i + 1) & 0x3F) << 6) | (byteAt(i + 2) & 0x3F);
            i += 3;
        }
        if (code == 0)
            break;
        const QChar ch(static_cast<char16_t>(code));
        hasMarks = hasMarks || ch.isMark();
        decoded += ch;
    }
    return Gbk::encode(hasMarks ? composeMarks(decoded) : decoded);
}

QByteArray TruncateTitle(const QByteArray& title)
{
    constexpr qsizetype Keep = 23;
    if (title.size() < Keep)
        return title;
    qsizetype i = 0;
    while (i < Keep) {
        if (Gbk::isLeadByte(static_cast<uchar>(title.at(i)))) {
            if (i == Keep - 1)
                return title.left(Keep - 1); // its trail byte would be cut off
            i += 2;
        } else {
            i += 1;
        }
    }
    return title.left(Keep);
}

bool DeleteTree(const QString& path)
{
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QFileInfo top(folder);
    if (top.isSymLink()) {
        QFile::remove(folder);
        return true;
    }
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            DeleteTree(entry.filePath());
        else
            QFile::remove(entry.filePath()); // a link goes as a link
    }
    dir.rmdir(folder);
    return true;
}
