// A fresh folder under the system's temp folder, removed with everything in it at the end.
#pragma once

#include <QDir>
#include <QString>

#include <cstdlib>
#include <stdexcept>

class TTempFolder {
public:
    TTempFolder() {
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/quviro-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = QString::fromLocal8Bit(pattern);
    }
    ~TTempFolder() { QDir(m_path).removeRecursively(); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const QString& Path() const { return m_path; }
    QString operator/(const QString& name) const { return m_path + QLatin1Char('/') + name; }

private:
    QString m_path;
};
