#include "platform/shell/folders.h"
#include "platform/shell/open.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvat::shell;

namespace {

// Sets an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

#ifndef Q_OS_WIN
TEST(Shell, FoldersOnLinux)
{
    QTemporaryDir dir;
    const ScopedEnv home("HOME", dir.filePath("home"));
    const ScopedEnv config("XDG_CONFIG_HOME", dir.filePath("config"));
    EXPECT_EQ(roamingAppDataFolder(), dir.filePath("config"));
    // No machine-wide folder is writable by a clerk here: the documents folder stands in.
    EXPECT_EQ(machineAppDataFolder(), dir.filePath("home/Documents"));
}
#endif

TEST(Shell, OpenerSeesThePathAsked)
{
    QStringList opened;
    const Opener shell = setOpener([&](const QString &path) { opened << path; });
    openWithAssociatedProgram("/tmp/EMCS_RO0001_ian.-2025.xml");
    setOpener(shell);
    EXPECT_EQ(opened, QStringList{"/tmp/EMCS_RO0001_ian.-2025.xml"});
}
