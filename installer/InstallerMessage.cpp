#include "InstallerMessage.h"

#include <cstdio>

void writeToStderr(const InstallerMessage& message)
{
    const QByteArray line = (message.title + QStringLiteral(": ") + message.text).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}
