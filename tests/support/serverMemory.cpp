#include "serverMemory.h"

#include <QFile>

namespace {

qint64 fieldKiB(const QByteArray &status, const QByteArray &name)
{
    const qsizetype at = status.indexOf("\n" + name + ":");
    if (at < 0)
        return -1;
    const qsizetype end = status.indexOf('\n', at + 1);
    QByteArray value = status.mid(at + name.size() + 2, end - at - name.size() - 2).trimmed();
    value.chop(3); // " kB"
    bool ok = false;
    const qint64 kib = value.trimmed().toLongLong(&ok);
    return ok ? kib : -1;
}

} // namespace

ServerMemory serverMemory(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (pid <= 0 || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray status = "\n" + file.readAll();
    return {fieldKiB(status, "VmHWM"), fieldKiB(status, "VmRSS")};
}
