#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

// A small memory disk mounted on a folder for as long as it lives, to make
// a disk really full or really read-only. Mounting needs root; ok() tells
// whether it worked.
class DisqueTemporaire {
public:
    explicit DisqueTemporaire(const QString &path)
        : m_path(path)
    {
        m_monte = lance(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                  QStringLiteral("size=%1").arg(kTaille), QStringLiteral("kavel-test"), m_path});
    }
    ~DisqueTemporaire()
    {
        if (m_monte)
            lance(QStringLiteral("umount"), {m_path});
    }
    DisqueTemporaire(const DisqueTemporaire &) = delete;
    DisqueTemporaire &operator=(const DisqueTemporaire &) = delete;

    bool ok() const { return m_monte; }

    // Leaves no room for one more byte.
    void remplis()
    {
        QFile f(m_path + QStringLiteral("/remplissage"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            f.write(QByteArray(kTaille, 'x'));
    }
    bool lectureSeule() { return lance(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path}); }

private:
    static constexpr int kTaille = 64 * 1024;

    static bool lance(const QString &programme, const QStringList &arguments)
    {
        QProcess p;
        p.start(programme, arguments);
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QString m_path;
    bool m_monte = false;
};
