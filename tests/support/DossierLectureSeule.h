#pragma once

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

// Makes a folder refuse new files for as long as it lives: by its
// permissions, or, for root (whom permissions do not stop), by the file
// system's immutable flag. ok() tells whether either worked.
class DossierLectureSeule {
public:
    explicit DossierLectureSeule(const QString &path)
        : m_path(path)
    {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                          | QFileDevice::ExeGroup);
        if (refuse())
            return;
        m_immuable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~DossierLectureSeule()
    {
        if (m_immuable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    DossierLectureSeule(const DossierLectureSeule &) = delete;
    DossierLectureSeule &operator=(const DossierLectureSeule &) = delete;

    bool ok() { return refuse(); }

private:
    bool refuse()
    {
        QTemporaryFile probe(m_path + QStringLiteral("/probe"));
        return !probe.open();
    }
    QString m_path;
    bool m_immuable = false;
};
