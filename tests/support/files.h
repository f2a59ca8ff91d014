// Files for the tests: writing one whole, a full file system, and permission bits that hold also for
// a test run as root.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace korvat::test {

// Writes bytes as a file's whole content; fails the test when the file cannot be written whole.
void writeFile(const QString &path, const QByteArray &bytes);

// A file system of 64 KiB mounted on a folder for the life of the object, where the process has the
// right to mount (Linux only; elsewhere it never mounts).
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString &path);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    const std::string &reason() const { return m_reason; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    std::string m_reason;
};

// While it lives the process acts as the unprivileged user "nobody", for whom permission bits hold
// also when the tests run as root; a no-op for a process that is not root.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser();
    ~AsUnprivilegedUser();
    AsUnprivilegedUser(const AsUnprivilegedUser &) = delete;
    AsUnprivilegedUser &operator=(const AsUnprivilegedUser &) = delete;

private:
    bool m_switched = false;
};

} // namespace korvat::test
