#pragma once

#include "upgrade/UpgradeInfo.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QWidget;

// Checks the maker's server for a newer version: on command, and once by itself after
// start-up. Nothing is installed on the server's word alone: the information must carry the
// maker's signature, every file must match its listed size and SHA-256, and no file is
// replaced before all have arrived.
class UpgradeChecker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpgradeChecker)

public:
    static constexpr const char* CurrentVersion = "1.4";
    static constexpr int AutoCheckIntervalMs = 10000;
    static QByteArray builtInPublicKey();

    UpgradeChecker(const QByteArray& makerHost, const QString& settingsFile, QWidget* window);

    // For tests: another key, program folder, online test and timer interval.
    void setPublicKey(const QByteArray& key) { m_publicKey = key; }
    void setInstallFolder(const QString& folder) { m_installFolder = folder; }
    void setOnlineTest(std::function<bool()> test) { m_isOnline = std::move(test); }
    void setAutoCheckInterval(int ms) { m_autoTimer.setInterval(ms); }

    // Does nothing while a check or a download runs.
    void checkNow() { check(false); }
    // Arms the automatic check: every interval until the computer is online, then once.
    void startAutomaticCheck();
    bool isBusy() const { return m_busy; }

signals:
    // Every file is in place; the program should start again with these arguments and end.
    void restartRequested(const QStringList& arguments);
    // A check (or upgrade) is over, whatever it found.
    void checkFinished();

private:
    enum class Failure { None, Unreachable, NotFound, Password, ConnectionLost, TooLarge };

    void check(bool automatic);
    void onInfo(QNetworkReply* reply, bool automatic);
    void fetchNext();
    void onFile(QNetworkReply* reply);
    void install();
    void finish();
    QNetworkReply* get(const QString& path, qint64 maxBytes);
    static Failure failureOf(QNetworkReply* reply);
    void report(Failure failure, bool automatic);
    qint64 acceptedSequence() const;

    QByteArray m_makerHost;
    QString m_settingsFile;
    QPointer<QWidget> m_window;
    QByteArray m_publicKey;
    QString m_installFolder;
    std::function<bool()> m_isOnline;
    QNetworkAccessManager* m_network = nullptr;
    QTimer m_autoTimer;
    bool m_busy = false;

    UpgradeInfo::Info m_info;
    qsizetype m_nextFile = 0;
    QList<QPair<UpgradeInfo::File, QByteArray>> m_fetched;
};
