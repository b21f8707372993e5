#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

// A folder refusing new files while this lives: by its permissions, or for root (whom they do not
// stop) by the immutable flag.
class DossierLectureSeule {
public:
    explicit DossierLectureSeule(const QString &path) : m_path(path) {
        QFile::setPermissions(path, F::ReadOwner | F::ExeOwner | F::ReadGroup | F::ExeGroup);
        m_immuable = !ok() && QProcess::execute("chattr", {"+i", path}) == 0;
    }
    ~DossierLectureSeule() {
        if (m_immuable) QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, F::ReadOwner | F::WriteOwner | F::ExeOwner);
    }
    Q_DISABLE_COPY(DossierLectureSeule)
    bool ok() { return !QTemporaryFile(m_path + "/probe").open(); }

private:
    using F = QFileDevice;
    QString m_path;
    bool m_immuable = false;
};

// A memory disk mounted on a folder while this lives, to fill or make read-only; ok() if mounted.
class DisqueTemporaire {
public:
    explicit DisqueTemporaire(const QString &path)
        : m_path(path), m_monte(lance({"mount", "-t", "tmpfs", "-o",
                                       QString("size=%1").arg(kTaille), "kavel-test", path})) {}
    ~DisqueTemporaire() {
        if (m_monte) lance({"umount", m_path});
    }
    Q_DISABLE_COPY(DisqueTemporaire)
    bool ok() const { return m_monte; }
    bool remplis() { // leaves no room for one more byte
        QFile f(m_path + "/remplissage");
        return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
               && f.write(QByteArray(kTaille, 'x')) > 0;
    }
    bool lectureSeule() { return lance({"mount", "-o", "remount,ro", m_path}); }

private:
    static constexpr int kTaille = 64 * 1024;
    static bool lance(QStringList a) { return QProcess::execute(a.takeFirst(), a) == 0; }
    QString m_path;
    bool m_monte;
};
