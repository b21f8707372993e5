#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

// Makes a folder refuse new files while it lives: by its permissions, or for root (whom they do
// not stop) by the immutable flag. ok(): whether either worked.
class DossierLectureSeule {
public:
    explicit DossierLectureSeule(const QString &path) : m_path(path) {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        m_immuable = !ok() && QProcess::execute("chattr", {"+i", m_path}) == 0;
    }
    ~DossierLectureSeule() {
        if (m_immuable) QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    }
    DossierLectureSeule(const DossierLectureSeule &) = delete;
    DossierLectureSeule &operator=(const DossierLectureSeule &) = delete;

    bool ok() { return !QTemporaryFile(m_path + "/probe").open(); }

private:
    QString m_path;
    bool m_immuable = false;
};

// A small memory disk mounted on a folder while it lives, to be made really full or really
// read-only. Mounting needs root; ok(): whether it worked.
class DisqueTemporaire {
public:
    explicit DisqueTemporaire(const QString &path)
        : m_path(path), m_monte(lance({"mount", "-t", "tmpfs", "-o",
                                       QString("size=%1").arg(kTaille), "kavel-test", path})) {}
    ~DisqueTemporaire() {
        if (m_monte) lance({"umount", m_path});
    }
    DisqueTemporaire(const DisqueTemporaire &) = delete;
    DisqueTemporaire &operator=(const DisqueTemporaire &) = delete;

    bool ok() const { return m_monte; }
    bool remplis() { // leaves no room for one more byte
        QFile f(m_path + "/remplissage");
        return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
               && f.write(QByteArray(kTaille, 'x')) > 0;
    }
    bool lectureSeule() { return lance({"mount", "-o", "remount,ro", m_path}); }

private:
    static constexpr int kTaille = 64 * 1024;
    static bool lance(QStringList arguments) {
        QProcess p;
        p.start(arguments.takeFirst(), arguments);
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    QString m_path;
    bool m_monte;
};
