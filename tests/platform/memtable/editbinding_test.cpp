#include "platform/memtable/editbinding.h"
#include "platform/memtable/memtable.h"
#include "support/files.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvat::memtable;
using korvat::test::writeFile;

namespace {

// The two remembered boxes of the login dialog and their table.
struct LoginBoxes {
    MemTable dsLogin{QStringLiteral("dsLogin")};
    QLineEdit Edit1;
    QLineEdit Edit2;
    LoginBoxes()
    {
        dsLogin.addStringField(QStringLiteral("company"), 200);
        dsLogin.addStringField(QStringLiteral("username"), 200);
        new EditBinding(&Edit1, &dsLogin, QStringLiteral("company"));
        new EditBinding(&Edit2, &dsLogin, QStringLiteral("username"));
        dsLogin.open();
    }
};

} // namespace

TEST(EditBinding, FieldFollowsEveryChangeOfTheText)
{
    LoginBoxes boxes;
    EXPECT_EQ(boxes.Edit1.maxLength(), 200);
    ASSERT_EQ(boxes.dsLogin.recordCount(), 0);

    QTest::keyClick(&boxes.Edit2, Qt::Key_I);
    EXPECT_EQ(boxes.dsLogin.recordCount(), 1);
    EXPECT_EQ(boxes.dsLogin.value("username"), "i");
    EXPECT_EQ(boxes.dsLogin.value("company"), "");

    QTest::keyClicks(&boxes.Edit1, "Firmx");
    QTest::keyClick(&boxes.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(boxes.dsLogin.value("company"), "Firm");
    boxes.Edit2.setText("ion");
    EXPECT_EQ(boxes.dsLogin.value("username"), "ion");
    EXPECT_EQ(boxes.dsLogin.recordCount(), 1);
}

TEST(EditBinding, BoxesShowWhatALoadLeaves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ZubPirel.json");
    const struct {
        const char *name;
        QByteArray file;
        int rows;
        const char *company;
        const char *username;
    } cases[] = {
        {"a row", R"({"table": "dsLogin", "fields": [], "rows": [{"company": "Firma", "username": "ion"}]})", 1, "Firma", "ion"},
        {"no row", R"({"table": "dsLogin", "fields": [], "rows": []})", 0, "", ""},
        {"a bad file", "{", 0, "", ""},
    };
    for (const auto &c : cases) {
        LoginBoxes boxes;
        boxes.Edit1.setText("typed before");
        boxes.Edit2.setText("the load");
        writeFile(path, c.file);
        try {
            boxes.dsLogin.loadFromFile(path);
        } catch (const Error &) {
        }
        EXPECT_EQ(boxes.Edit1.text(), c.company) << c.name;
        EXPECT_EQ(boxes.Edit2.text(), c.username) << c.name;
        // Emptying the boxes must not write back and make a row.
        EXPECT_EQ(boxes.dsLogin.recordCount(), c.rows) << c.name;
    }
}
