#include "upgrade/UpgradeChecker.h"

#include "app/CommandError.h"
#include "app/IniStore.h"
#include "app/MessageBox.h"
#include "upgrade/UpgradeTexts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QSaveFile>

namespace {

// The maker's signing key (base64); the secret half never leaves the maker.
const char* const MakerPublicKey = KORVANI_MAKER_PUBLIC_KEY;

bool anyInterfaceOnline()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning)
            && !flags.testFlag(QNetworkInterface::IsLoopBack))
            return true;
    }
    return false;
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

QByteArray UpgradeChecker::builtInPublicKey()
{
    return QByteArray::fromBase64(MakerPublicKey);
}

UpgradeChecker::UpgradeChecker(const QByteArray& makerHost, const QString& settingsFile, QWidget* window)
    : QObject(window)
    , m_makerHost(makerHost)
    , m_settingsFile(settingsFile)
    , m_window(window)
    , m_publicKey(builtInPublicKey())
    , m_installFolder(QCoreApplication::applicationDirPath())
    , m_isOnline(&anyInterfaceOnline)
    , m_network(new QNetworkAccessManager(this))
{
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_autoTimer.setInterval(AutoCheckIntervalMs);
    connect(&m_autoTimer, &QTimer::timeout, this, [this] {
        if (m_busy || !m_isOnline())
            return; // offline: the timer keeps running and tries again
        m_autoTimer.stop();
        check(true);
    });
}

void UpgradeChecker::startAutomaticCheck()
{
    m_autoTimer.start();
}

QNetworkReply* UpgradeChecker::get(const QString& path, qint64 maxBytes)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://%1/wmkit/%2").arg(QString::fromLatin1(m_makerHost), path)));
    request.setTransferTimeout(30000);
    QNetworkReply* reply = m_network->get(request);
    // Nothing larger than announced is taken in.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes](qint64 received, qint64) {
        if (received > maxBytes)
            reply->abort();
    });
    return reply;
}

UpgradeChecker::Failure UpgradeChecker::failureOf(QNetworkReply* reply)
{
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 == 2 ? Failure::None
                                                                                            : Failure::NotFound;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return Failure::Unreachable;
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return Failure::Password;
    case QNetworkReply::RemoteHostClosedError:
        return Failure::ConnectionLost;
    case QNetworkReply::OperationCanceledError:
        return Failure::TooLarge; // aborted here: more bytes than announced
    default:
        return Failure::NotFound;
    }
}

void UpgradeChecker::report(Failure failure, bool automatic)
{
    switch (failure) {
    case Failure::None:
        return;
    case Failure::Unreachable:
        if (automatic) {
            m_autoTimer.start(); // silent; tries again later
            return;
        }
        MessageBox::information(m_window, text(UpgradeTexts::HostUnreachable));
        return;
    case Failure::NotFound:
    case Failure::TooLarge:
        MessageBox::information(m_window, text(UpgradeTexts::NoInfoFile));
        return;
    case Failure::Password:
        MessageBox::information(m_window, text(UpgradeTexts::PasswordRequest));
        return;
    case Failure::ConnectionLost:
        MessageBox::information(m_window, text(UpgradeTexts::ConnectionLost));
        return;
    }
}

qint64 UpgradeChecker::acceptedSequence() const
{
    IniStore settings;
    settings.setPath(m_settingsFile);
    try {
        return settings.readString(QStringLiteral("upgrade"), QStringLiteral("sequence"), QStringLiteral("0")).toLongLong();
    } catch (const CommandError&) {
        return 0;
    }
}

void UpgradeChecker::check(bool automatic)
{
    if (m_busy)
        return;
    m_busy = true;
    QNetworkReply* reply = get(QStringLiteral("upgrade.inf"), UpgradeInfo::MaxInfoBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply, automatic] { onInfo(reply, automatic); });
}

void UpgradeChecker::onInfo(QNetworkReply* reply, bool automatic)
{
    reply->deleteLater();
    const Failure failure = failureOf(reply);
    if (failure != Failure::None) {
        report(failure == Failure::ConnectionLost ? Failure::NotFound : failure, automatic);
        finish();
        return;
    }
    const std::optional<UpgradeInfo::Info> info = UpgradeInfo::parse(reply->readAll(), m_publicKey);
    if (!info) {
        report(Failure::NotFound, automatic);
        finish();
        return;
    }
    if (UpgradeInfo::compareVersions(info->version, QLatin1String(CurrentVersion)) <= 0) {
        if (!automatic)
            MessageBox::information(m_window, text(UpgradeTexts::NoUpdateAvailable));
        finish();
        return;
    }
    // An older signed file replayed to go back to an earlier release is refused.
    if (info->sequence <= acceptedSequence()) {
        report(Failure::NotFound, automatic);
        finish();
        return;
    }
    const QString question =
        text(UpgradeTexts::AskUpgrade).arg(info->version, QLatin1String(CurrentVersion), info->notes);
    if (!MessageBox::confirm(m_window, question)) {
        finish();
        return;
    }
    m_info = *info;
    m_nextFile = 0;
    m_fetched.clear();
    fetchNext();
}

void UpgradeChecker::fetchNext()
{
    if (m_nextFile >= m_info.files.size()) {
        install();
        return;
    }
    const UpgradeInfo::File& file = m_info.files.at(m_nextFile);
    QNetworkReply* reply = get(file.path, file.size);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFile(reply); });
}

void UpgradeChecker::onFile(QNetworkReply* reply)
{
    reply->deleteLater();
    const UpgradeInfo::File file = m_info.files.at(m_nextFile++);
    const Failure failure = failureOf(reply);
    if (failure == Failure::Unreachable || failure == Failure::ConnectionLost) {
        MessageBox::information(m_window, text(UpgradeTexts::ConnectionLost));
        finish();
        return;
    }
    const QByteArray bytes = failure == Failure::None ? reply->readAll() : QByteArray();
    const bool matches = failure == Failure::None && bytes.size() == file.size
                         && QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() == file.sha256;
    if (!matches) {
        // A file that differs from its listing counts as missing; the user may skip it.
        if (!MessageBox::confirm(m_window, text(UpgradeTexts::LostFile).arg(file.path))) {
            finish();
            return;
        }
    } else {
        m_fetched.append({file, bytes});
    }
    fetchNext();
}

void UpgradeChecker::install()
{
    const QDir folder(m_installFolder);
    QStringList written;
    QStringList replaced;
    auto rollBack = [&] {
        for (const QString& path : std::as_const(replaced)) {
            QFile::remove(path);
            QFile::rename(path + QStringLiteral(".upgrade-old"), path);
        }
        for (const QString& path : std::as_const(written))
            QFile::remove(path + QStringLiteral(".upgrade-new"));
    };
    // Every new file is written in full beside the old one first.
    for (const auto& [file, bytes] : std::as_const(m_fetched)) {
        const QString path = folder.filePath(file.path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile out(path + QStringLiteral(".upgrade-new"));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
            rollBack();
            MessageBox::information(m_window, text(UpgradeTexts::InstallFailed).arg(out.errorString()));
            finish();
            return;
        }
        if (QFileInfo::exists(path))
            QFile::setPermissions(path + QStringLiteral(".upgrade-new"), QFile::permissions(path));
        written << path;
    }
    // Then each goes in place by a rename; the old files are kept until all are in.
    for (const QString& path : std::as_const(written)) {
        const bool hadOld = QFileInfo::exists(path);
        QFile::remove(path + QStringLiteral(".upgrade-old"));
        if ((hadOld && !QFile::rename(path, path + QStringLiteral(".upgrade-old")))
            || !QFile::rename(path + QStringLiteral(".upgrade-new"), path)) {
            if (hadOld && !QFileInfo::exists(path))
                QFile::rename(path + QStringLiteral(".upgrade-old"), path);
            rollBack();
            MessageBox::information(m_window, text(UpgradeTexts::InstallFailed).arg(path));
            finish();
            return;
        }
        if (hadOld)
            replaced << path;
    }
    for (const QString& path : std::as_const(replaced))
        QFile::remove(path + QStringLiteral(".upgrade-old"));

    IniStore settings;
    settings.setPath(m_settingsFile);
    try {
        settings.writeString(QStringLiteral("upgrade"), QStringLiteral("sequence"), QString::number(m_info.sequence));
    } catch (const CommandError&) {
        // The upgrade is in place; only the replay guard could not note it.
    }
    finish();
    emit restartRequested({QStringLiteral("/afterupgrade")});
}

void UpgradeChecker::finish()
{
    m_busy = false;
    m_fetched.clear();
    emit checkFinished();
}
