#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A fresh home folder for one test: HOME, the XDG folders (the runtime folder too) and the
// settings file point into a temporary folder (with a Desktop) for the object's life; the
// variables are restored afterwards.
class TemporaryHome final
{
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString desktopPath() const;
    /// A path inside the home folder.
    QString filePath(const QString &relativePath) const { return m_dir.filePath(relativePath); }

private:
    void setVariable(const char *name, const QString &value);

    QTemporaryDir m_dir;
    QMap<QByteArray, QByteArray> m_saved;
};
