#include "support/files.h"

#include <QFile>
#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#endif
#ifdef Q_OS_UNIX
#include <cstdlib>
#include <unistd.h>
#endif

namespace korvat::test {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

SmallFileSystem::SmallFileSystem(const QString &path) : m_path(QFile::encodeName(path))
{
#ifdef Q_OS_LINUX
    m_mounted = mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=64k") == 0;
    if (!m_mounted)
        m_reason = std::strerror(errno);
#else
    m_reason = "no tmpfs on this system";
#endif
}

SmallFileSystem::~SmallFileSystem()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        umount2(m_path.constData(), MNT_DETACH);
#endif
}

#ifdef Q_OS_UNIX
AsUnprivilegedUser::AsUnprivilegedUser() : m_switched(geteuid() == 0 && seteuid(65534) == 0) {}

AsUnprivilegedUser::~AsUnprivilegedUser()
{
    if (m_switched && seteuid(0) != 0)
        std::abort();
}
#else
AsUnprivilegedUser::AsUnprivilegedUser() = default;
AsUnprivilegedUser::~AsUnprivilegedUser() = default;
#endif

} // namespace korvat::test
