#include "app/IniDocument.h"

#include "query/Gbk.h"
#include "query/TextUtils.h"

namespace {

QByteArray stripped(QByteArrayView bytes)
{
    return TrimBlanks(bytes);
}

// True when the last byte is a character of its own, not the trail byte of a GBK pair
// (a trail byte can be 0x5D, the code of "]").
bool endsWithSingleByte(const QByteArray& bytes, char last)
{
    if (bytes.isEmpty() || bytes.back() != last)
        return false;
    qsizetype i = 0;
    while (i < bytes.size() - 1)
        i += Gbk::charLength(bytes, i);
    return i == bytes.size() - 1;
}

bool isSectionLine(const QByteArray& line)
{
    return line.startsWith('[') && line.size() >= 2 && endsWithSingleByte(line, ']');
}

// Line breaks inside a written value would start new lines of the file.
QByteArray oneLine(const QString& text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Gbk::encode(flat);
}

} // namespace

IniDocument IniDocument::parse(const QByteArray& bytes)
{
    IniDocument doc;
    Section* current = nullptr;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start <= size) {
        qsizetype end = start;
        while (end < size && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        const QByteArray line = stripped(QByteArrayView(bytes).sliced(start, end - start));
        if (end < size && bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;

        if (line.isEmpty())
            continue;
        if (isSectionLine(line)) {
            Section section;
            section.headerLine = line; // written back as it was read
            section.nameBytes = stripped(QByteArrayView(line).sliced(1, line.size() - 2));
            section.name = Gbk::decode(section.nameBytes);
            doc.m_sections.append(section);
            current = &doc.m_sections.last();
        } else if (current) {
            current->lines.append(makeLine(line));
        } else {
            doc.m_preamble.append(line);
        }
    }
    return doc;
}

IniDocument::Line IniDocument::makeLine(const QByteArray& strippedLine)
{
    Line line;
    line.bytes = strippedLine;
    if (!strippedLine.startsWith(';')) {
        // "=" (0x3D) never occurs inside a GBK pair, so a byte search is safe.
        line.equalsAt = strippedLine.indexOf('=');
        line.isEntry = line.equalsAt >= 0;
        if (line.isEntry)
            line.key = Gbk::decode(stripped(QByteArrayView(strippedLine).first(line.equalsAt)));
    }
    return line;
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    for (const Section& section : m_sections) {
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    }
    return nullptr;
}

IniDocument::Section* IniDocument::findSection(const QString& name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

qsizetype IniDocument::findKey(const Section& section, const QString& key)
{
    for (qsizetype i = 0; i < section.lines.size(); ++i) {
        const Line& line = section.lines.at(i);
        if (line.isEntry && line.key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& sectionName, const QString& key) const
{
    const Section* section = findSection(sectionName);
    if (!section)
        return std::nullopt;
    const qsizetype index = findKey(*section, key);
    if (index < 0)
        return std::nullopt;
    const Line& line = section->lines.at(index);
    return Gbk::decode(stripped(QByteArrayView(line.bytes).sliced(line.equalsAt + 1)));
}

void IniDocument::setValue(const QString& sectionName, const QString& key, const QString& value)
{
    Section* section = findSection(sectionName);
    if (!section) {
        Section added;
        added.nameBytes = oneLine(sectionName.trimmed());
        added.name = Gbk::decode(added.nameBytes);
        m_sections.append(added);
        section = &m_sections.last();
    }
    const qsizetype index = findKey(*section, key);
    if (index >= 0) {
        // Keep the key as the file spells it.
        const Line& old = section->lines.at(index);
        section->lines[index] = makeLine(stripped(QByteArrayView(old.bytes).first(old.equalsAt)) + '='
                                         + oneLine(value));
    } else {
        section->lines.append(makeLine(oneLine(key.trimmed()) + '=' + oneLine(value)));
    }
}

QByteArray IniDocument::serialize() const
{
    static const QByteArray crlf("\r\n");
    QByteArray out;
    for (const QByteArray& line : m_preamble)
        out += line + crlf;
    for (const Section& section : m_sections) {
        out += (section.headerLine.isEmpty() ? '[' + section.nameBytes + ']' : section.headerLine) + crlf;
        for (const Line& line : section.lines) {
            if (line.isEntry) {
                out += stripped(QByteArrayView(line.bytes).first(line.equalsAt)) + '='
                       + stripped(QByteArrayView(line.bytes).sliced(line.equalsAt + 1)) + crlf;
            } else {
                out += line.bytes + crlf;
            }
        }
        out += crlf;
    }
    return out;
}
