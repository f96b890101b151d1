#include "store/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString replaceRefusal(const QString& file) {
    const QFileInfo info(file);
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
    if (why.isEmpty()) {
        QSaveFile out(file);
        out.setDirectWriteFallback(false);
        if (!out.open(QIODevice::WriteOnly)) {
            why = QStringLiteral("无法在所在的文件夹中创建文件（%1）").arg(out.errorString());
        } else if (out.write(bytes) != bytes.size()) {
            why = QStringLiteral("写入失败（%1）").arg(out.errorString());
            out.cancelWriting(); // the temporary file is removed with `out`
        } else if (!out.commit()) {
            why = QStringLiteral("写入失败（%1）").arg(out.errorString());
        }
    }
    if (why.isEmpty())
        return true;
    if (reason)
        *reason = why;
    return false;
}
