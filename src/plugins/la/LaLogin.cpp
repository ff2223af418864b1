#include "plugins/la/LaLogin.h"

#include "app/IniStore.h"
#include "query/TextUtils.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace LaLogin {

QString trimmed(const QString& text)
{
    return TrimBlanks(text);
}

std::optional<Credentials> find(const QString& credentialsFile, const QString& siteName)
{
    if (!QFileInfo::exists(credentialsFile))
        return std::nullopt;
    IniStore store;
    store.setPath(credentialsFile);
    const QString section = trimmed(siteName);
    if (!store.hasSection(section))
        return std::nullopt;
    return Credentials{store.readString(section, QStringLiteral("laid"), QString()),
                       store.readString(section, QStringLiteral("lapassword"), QString())};
}

QUrl loginUrl(const QByteArray& host, const QString& siteId)
{
    // The ID goes in as typed, the query being exactly the site ID.
    return QUrl(QStringLiteral("http://%1/?%2").arg(QString::fromLatin1(host), siteId), QUrl::TolerantMode);
}

bool isLoginPage(const QUrl& page, const QByteArray& host)
{
    const QUrl expected(QStringLiteral("http://%1/").arg(QString::fromLatin1(host)), QUrl::StrictMode);
    return expected.isValid() && page.isValid() && page.scheme() == QLatin1String("http")
           && page.userInfo().isEmpty() && page.host().toLower() == expected.host().toLower()
           && page.port(80) == expected.port(80);
}

QString autoFillScript(const QString& password)
{
    QString value = QString::fromUtf8(QJsonDocument(QJsonArray{password}).toJson(QJsonDocument::Compact));
    value = value.mid(1, value.size() - 2); // the string inside the array brackets
    return QStringLiteral(
               "(function () {"
               "  var field = document.getElementsByName('lookpass')[0] || document.getElementById('lookpass');"
               "  if (!field) return false;"
               "  field.value = %1;"
               "  var form = document.forms[1];"
               "  if (!form) return false;"
               "  form.submit();"
               "  return true;"
               "})()")
        .arg(value);
}

} // namespace LaLogin
