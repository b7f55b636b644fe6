#include "BloqueoInstancia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nombreUsuario()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return user;
}

// Who holds the lock, written as QLockFile writes it (process, program and
// machine, one a line): a copy built with that lock takes the file as stale
// once this process has gone, instead of refusing to start for ever.
// It is written over the last holder instead of after emptying the file:
// freeing the file's blocks waits for the file system's journal, which takes
// milliseconds on a busy disk. Only a longer last holder is cut.
void escribeTitular(int fd)
{
    const QByteArray titular = QByteArray::number(::getpid()) + '\n' + QCoreApplication::applicationName().toUtf8() +
                               '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::pwrite(fd, titular.constData(), size_t(titular.size()), 0) != titular.size())
        return;
    struct stat estado;
    if (::fstat(fd, &estado) == 0 && estado.st_size > titular.size())
        (void)!::ftruncate(fd, titular.size());
}

} // namespace

BloqueoInstancia::BloqueoInstancia(const QString& program, const QString& folder)
{
    QString dir = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
    if (dir.isEmpty())
        dir = QDir::tempPath();
    fileName_ = QDir(dir).filePath(program + u'-' + nombreUsuario() + QStringLiteral(".lock"));
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
    escribeTitular(fd);
    fd_ = fd;
    return true;
}

bool BloqueoInstancia::tomadoPorOtraCopia() const
{
    return tomado_;
}
