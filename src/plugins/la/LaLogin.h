#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// The pieces of the 51La login that need no window: finding a site's stored credentials,
// the login address, where the password may go, and the script that fills the form.
namespace LaLogin {

struct Credentials
{
    QString siteId;
    QString password;
};

// Trimmed of every character of code 32 or less at both ends.
QString trimmed(const QString& text);

// The credentials of a site: found when 51la.ini has a section named exactly like the site
// (matched as the settings files match sections), nothing otherwise. Throws CommandError
// when the file exists but cannot be read.
std::optional<Credentials> find(const QString& credentialsFile, const QString& siteName);

QUrl loginUrl(const QByteArray& host, const QString& siteId);
// Only a page of the configured 51La host (scheme, host and port) gets the password.
bool isLoginPage(const QUrl& page, const QByteArray& host);
// Fills the element named or with id "lookpass" and submits the document's second form;
// the script's value is true when both happened. The password enters as a JSON string.
QString autoFillScript(const QString& password);

} // namespace LaLogin
