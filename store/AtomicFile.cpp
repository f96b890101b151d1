#include "store/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
WriteFault writeFault;
} // namespace

void setWriteFault(WriteFault fault) {
    writeFault = fault;
}

QString replaceRefusal(const QString& file) {
    const QFileInfo info(atomicfile::finalTarget(file));
    if (info.isDir())
        return QStringLiteral("该路径是一个文件夹，不是文件");
    if (info.exists() && !info.isFile())
        return QStringLiteral("该路径不是普通文件");
    // The owner-write bit is checked on its own because a privileged user passes
    // every access test, and a file marked read-only must stay as it is.
    if (info.exists() && (!(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable()))
        return QStringLiteral("文件为只读");
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("所在的文件夹不存在");
    if (!folder.isDir())
        return QStringLiteral("所在的路径不是文件夹");
    if (!folder.isWritable())
        return QStringLiteral("所在的文件夹不可写入");
    return {};
}

bool replaceFileAtomically(const QString& file, const QByteArray& bytes, QString* reason) {
    QString why = replaceRefusal(file);
    if (why.isEmpty() && atomicfile::writeAndReplace(file, bytes, writeFault, &why))
        return true;
    if (reason)
        *reason = why;
    return false;
}

void removeLeftoverReplacements(const QString& file) {
    const QFileInfo info(atomicfile::temporaryPrefix(file));
    const QString prefix = info.fileName();
    const QRegularExpression pattern("^" + QRegularExpression::escape(prefix) + "(\\d{1,10})\\.[A-Za-z0-9]{6}$");
    QDir folder(info.absolutePath());
    const QStringList names = folder.entryList({prefix + '*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch() && atomicfile::processHasEnded(m.captured(1).toLongLong()))
            folder.remove(name);
    }
}
