#include "BloqueoInstancia.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString nombreUsuario()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return user;
}

} // namespace

BloqueoInstancia::BloqueoInstancia(const QString& program, const QString& folder)
{
    QString dir = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
    if (dir.isEmpty())
        dir = QDir::tempPath();
    fileName_ = QDir(dir).filePath(program + u'-' + nombreUsuario() + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(fileName_);
    // Only a lock whose process has gone is stale, however long ago it was taken.
    lock_->setStaleLockTime(0);
}

BloqueoInstancia::~BloqueoInstancia() = default;

bool BloqueoInstancia::tryLock()
{
    return lock_->isLocked() || lock_->tryLock(0);
}

bool BloqueoInstancia::tomadoPorOtraCopia() const
{
    return lock_->error() == QLockFile::LockFailedError;
}
