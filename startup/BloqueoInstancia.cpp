#include "BloqueoInstancia.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString userName()
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
    fileName_ = QDir(dir).filePath(program + u'-' + userName() + QStringLiteral(".lock"));
}

BloqueoInstancia::~BloqueoInstancia()
{
    if (fd_ >= 0)
        ::close(fd_);
}

// No flush to disk: a lock is worth nothing after the machine restarts.
bool BloqueoInstancia::tryLock()
{
    if (fd_ >= 0)
        return true;
    tomado_ = false;
    const int fd = ::open(QFile::encodeName(fileName_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    int r;
    do
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        tomado_ = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool BloqueoInstancia::tomadoPorOtraCopia() const
{
    return tomado_;
}
