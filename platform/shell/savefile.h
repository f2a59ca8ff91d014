// Replacing a file's content whole: the new content is written beside the file and renamed over it,
// so a failed or interrupted write leaves the previous file as it was and no partial file behind.
#pragma once

#include <QByteArray>
#include <QString>

namespace korvat::shell {

enum class WriteInPlace {
    Never,
    // Where the folder does not let a file be made beside it, an existing writable file is written
    // in place instead.
    WhenFolderIsReadOnly,
};

// Returns "" on success, or the message: "Cannot create file "<path>". <reason>" when the file
// cannot be made, "Cannot write file "<path>". <reason>" when writing it fails (a full disk).
QString replaceFile(const QString &path, const QByteArray &bytes, WriteInPlace inPlace = WriteInPlace::Never);

} // namespace korvat::shell
