// The declaration file the window writes: its bytes, and what happens to the chosen path when the
// file cannot be made or written.
#include "declarationwindow.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#ifdef Q_OS_LINUX
#endif

using korvat::test::AsUnprivilegedUser;
using korvat::test::DeclarationWindow;
using korvat::test::SmallFileSystem;
using korvat::test::writeFile;

namespace {

QByteArray operator""_hex(const char *text, size_t)
{
    return QByteArray::fromHex(text);
}

} // namespace

TEST_F(DeclarationWindow, FileHoldsTheRowsAsTheServerGaveThem)
{
    window->showModeless();
    const struct {
        const char *name;
        std::vector<std::optional<QString>> rows;
        QByteArray bytes;
    } cases[] = {
        {"no rows", {}, "EFBBBF"_hex},
        {"two rows", {"a", "b"}, "EFBBBF 610D0A 620D0A"_hex},
        {"a NULL row", {"a", std::nullopt, "b"}, "EFBBBF 610D0A 0D0A 620D0A"_hex},
        {"an empty row", {""}, "EFBBBF 0D0A"_hex},
        {"inner line breaks", {"x\ny", "z\r\n"}, "EFBBBF 780A790D0A 7A0D0A0D0A"_hex},
        {"non-ASCII text", {QString::fromUtf8("\xC8\x9B\x61r\xC4\x83 \xE2\x82\xAC")},
         "EFBBBF C89B 61 72 C483 20 E282AC 0D0A"_hex},
    };
    for (const auto &c : cases) {
        replaceDeclaration(c.rows);
        choose("RO0012345DI01");
        // A name without ".xml" is kept as typed.
        answer = dir.filePath(QString::fromLatin1(c.name));
        generate();
        ASSERT_EQ(errors, QStringList()) << c.name;
        EXPECT_EQ(QString::fromLatin1(bytesOf(*answer).toHex(' ')), QString::fromLatin1(c.bytes.toHex(' '))) << c.name;
    }
    QStringList names;
    for (const auto &c : cases)
        names << QString::fromLatin1(c.name);
    names.sort();
    EXPECT_EQ(entriesOf(dir.path()), names) << "no extension added, nothing left beside the files";
}

TEST_F(DeclarationWindow, FileThatCannotBeCreatedGivesTheMessageAndKeepsTheLink)
{
    writeFile(dir.filePath("plain.txt"), "plain");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    replaceDeclaration({"a"});
    window->showModeless();
    choose("RO0012345DI01");
    answer = dir.filePath("previous.xml");
    generate();
    ASSERT_EQ(errors, QStringList());
    const QString link = window->LabelPathSave->text();

    const struct {
        const char *name;
        const char *path;
    } cases[] = {
        {"a file where a folder is expected", "plain.txt/declaratie.xml"},
        {"an existing folder", "folder"},
        {"a missing folder", "missing/declaratie.xml"},
    };
    for (const auto &c : cases) {
        errors.clear();
        answer = dir.filePath(QString::fromLatin1(c.path));
        generate();
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(*answer));
        ASSERT_EQ(errors.size(), 1) << c.name;
        EXPECT_TRUE(errors[0].startsWith(prefix) && errors[0].size() > prefix.size() + 1)
            << c.name << ": " << errors[0].toStdString();
        EXPECT_EQ(window->LabelPathSave->text(), link) << c.name;
    }
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"folder", "plain.txt", "previous.xml"}));
    EXPECT_EQ(entriesOf(dir.filePath("folder")), QStringList());
    EXPECT_EQ(bytesOf(dir.filePath("plain.txt")), "plain");
}

TEST_F(DeclarationWindow, ExistingDeclarationIsReplacedWhole)
{
    const QString path = dir.filePath("EMCS_RO0012345DI01_iul.-2023.xml");
    writeFile(path, QByteArray(4000, 'x'));
    replaceDeclaration({"a"});
    window->showModeless();
    choose("RO0012345DI01");
    answer = path;
    generate();
    ASSERT_EQ(errors, QStringList());
    EXPECT_EQ(bytesOf(path), "EFBBBF 610D0A"_hex);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"EMCS_RO0012345DI01_iul.-2023.xml"});
}

#ifdef Q_OS_LINUX


TEST_F(DeclarationWindow, FailedWriteKeepsTheExistingDeclarationWhole)
{
    const QString small = dir.filePath("small");
    ASSERT_TRUE(QDir(dir.path()).mkdir("small"));
    const SmallFileSystem fs(small);
    if (!fs.mounted())
        GTEST_SKIP() << "cannot mount a small file system here: " << fs.reason();

    const QString path = small + "/EMCS_RO0012345DI01_iul.-2023.xml";
    const QByteArray existing(40 * 1024, 'x');
    writeFile(path, existing);
    replaceDeclaration(std::vector<std::optional<QString>>(600, QString(78, 'y')));
    window->showModeless();
    choose("RO0012345DI01");
    answer = path;
    generate();

    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(path))) << errors[0].toStdString();
    EXPECT_TRUE(bytesOf(path) == existing) << "the previous declaration is damaged";
    EXPECT_EQ(entriesOf(small), QStringList{"EMCS_RO0012345DI01_iul.-2023.xml"}) << "a partial file is left";
    EXPECT_EQ(window->LabelPathSave->text(), "");
}

TEST_F(DeclarationWindow, InAReadOnlyFolderAnExistingFileIsWrittenInPlace)
{
    const QString readOnly = dir.filePath("readonly");
    ASSERT_TRUE(QDir(dir.path()).mkdir("readonly"));
    const QString existing = readOnly + "/existing.xml";
    writeFile(existing, QByteArray(4000, 'x'));
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther
                     | QFile::WriteOther;
    const auto listable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                          | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(existing, all));
    ASSERT_TRUE(QFile::setPermissions(readOnly, listable));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), listable | QFile::WriteOwner));
    replaceDeclaration({"a"});
    window->showModeless();
    choose("RO0012345DI01");

    const AsUnprivilegedUser clerk;
    answer = existing;
    generate();
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(bytesOf(existing), "EFBBBF 610D0A"_hex);

    errors.clear();
    answer = readOnly + "/new.xml";
    generate();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(*answer))) << errors[0].toStdString();
    EXPECT_EQ(entriesOf(readOnly), QStringList{"existing.xml"});
}

#endif
