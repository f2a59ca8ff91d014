#include "platform/shell/savefile.h"

#include <QDir>
#include <QSaveFile>

namespace korvat::shell {

QString replaceFile(const QString &path, const QByteArray &bytes, WriteInPlace inPlace)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace == WriteInPlace::WhenFolderIsReadOnly);
    // Unbuffered: QSaveFile::commit() does not notice a short write of its final flush (a full disk)
    // and would put the cut file in place of the old one. Written directly, write() reports it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("Cannot create file \"%1\". %2").arg(shown, file.errorString());
    qint64 written = 0;
    // After a short write, writing the rest gets the system's reason.
    for (qint64 n = 0; written < bytes.size(); written += n) {
        n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
    }
    if (written != bytes.size() || !file.commit())
        return QStringLiteral("Cannot write file \"%1\". %2").arg(shown, file.errorString());
    return {};
}

} // namespace korvat::shell
