#include "platform/memtable/memtable.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <sys/resource.h>

using korvat::memtable::Error;
using korvat::memtable::MemTable;
using korvat::test::writeFile;

namespace {

struct Login {
    QString company;
    QString username;
};

// The last-login table as the login dialog declares it.
struct LoginTable : MemTable {
    LoginTable() : MemTable(QStringLiteral("dsLogin"))
    {
        addStringField(QStringLiteral("company"), 200);
        addStringField(QStringLiteral("username"), 200);
    }
    void fill(const Login &row)
    {
        open();
        setValue(QStringLiteral("company"), row.company);
        setValue(QStringLiteral("username"), row.username);
    }
    Login row() const { return {value(QStringLiteral("company")), value(QStringLiteral("username"))}; }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray fileWithRow(const QString &rowJson)
{
    return R"({"table": "dsLogin", "fields": [], "rows": [)" + rowJson.toUtf8() + "]}";
}

// Makes writes to files beyond a few bytes fail, as a full disk does, for root as well.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

class MemTableFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ZubPirel.json"));
};

} // namespace

TEST_F(MemTableFile, SaveAndLoadKeepTheRow)
{
    const QString lone = QStringLiteral("x") + QChar(0xD800);
    const struct {
        const char *name;
        std::optional<Login> row;
    } cases[] = {
        {"no row", std::nullopt},
        {"empty texts", Login{}},
        {"plain", Login{"Firma 1 SRL", "ion"}},
        {"quotes and diacritics", Login{QString::fromUtf8("Ţară „Nouă\" \\ '; drop table emitent; --"), QString::fromUtf8("ştefan 😀")}},
        {"200 characters", Login{QString(200, QLatin1Char('c')), QString(200, QChar(0x0103))}},
        {"a lone surrogate", Login{lone, lone}},
    };
    for (const auto &c : cases) {
        LoginTable saved;
        saved.open();
        if (c.row)
            saved.fill(*c.row);
        saved.saveToFile(path);

        LoginTable loaded;
        loaded.fill({"earlier", "row"});
        loaded.loadFromFile(path);
        EXPECT_TRUE(loaded.isOpen()) << c.name;
        ASSERT_EQ(loaded.recordCount(), c.row ? 1 : 0) << c.name;
        const Login expected = c.row.value_or(Login{});
        EXPECT_EQ(loaded.row().company, expected.company) << c.name;
        EXPECT_EQ(loaded.row().username, expected.username) << c.name;
    }
}

TEST_F(MemTableFile, FileNamesTheTableItsFieldsAndRows)
{
    LoginTable table;
    table.fill({"Firma", "ion"});
    table.saveToFile(path);
    const QJsonObject file = QJsonDocument::fromJson(readAll(path)).object();
    EXPECT_EQ(file.value("table").toString(), "dsLogin");
    const QJsonObject company{{"name", "company"}, {"type", "string"}, {"size", 200}};
    EXPECT_EQ(file.value("fields").toArray().first().toObject(), company);
    EXPECT_EQ(file.value("rows").toArray(), QJsonArray{QJsonObject({{"company", "Firma"}, {"username", "ion"}})});
}

TEST_F(MemTableFile, TextsAreCutToTheFieldsSize)
{
    const QString emoji = QString::fromUtf8("😀");
    const struct {
        const char *name;
        QString text;
        QString stored;
    } cases[] = {
        {"201 characters", QString(201, 'a'), QString(200, 'a')},
        {"a pair across the limit", QString(199, 'a') + emoji, QString(199, 'a')},
        {"a pair at the limit", QString(198, 'a') + emoji, QString(198, 'a') + emoji},
    };
    for (const auto &c : cases) {
        LoginTable set;
        set.fill({c.text, ""});
        EXPECT_EQ(set.row().company, c.stored) << "set, " << c.name;

        QJsonObject row{{"company", c.text}};
        writeFile(path, fileWithRow(QJsonDocument(row).toJson()));
        LoginTable loaded;
        loaded.loadFromFile(path);
        EXPECT_EQ(loaded.row().company, c.stored) << "loaded, " << c.name;
    }
}

TEST_F(MemTableFile, FieldsTheTableDoesNotDeclareAreDropped)
{
    writeFile(path, fileWithRow(R"({"company": "Firma", "password": "secret", "username": null})"));
    LoginTable table;
    table.loadFromFile(path);
    EXPECT_EQ(table.row().company, "Firma");
    EXPECT_EQ(table.row().username, "");
    table.saveToFile(path);
    EXPECT_FALSE(readAll(path).contains("secret"));
}

TEST_F(MemTableFile, FailedSaveLeavesThePreviousFileWhole)
{
    LoginTable table;
    table.fill({"Firma veche", "ion"});
    table.saveToFile(path);
    const QByteArray before = readAll(path);

    table.fill({QString(200, 'n'), "maria"});
    {
        FileSizeLimit diskFull(16);
        try {
            table.saveToFile(path);
            ADD_FAILURE() << "the save did not fail";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Cannot write file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
        }
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZubPirel.json"});
}

TEST_F(MemTableFile, SaveWhereNoFileCanBeCreatedFails)
{
    writeFile(dir.filePath("plain"), "x");
    QDir(dir.path()).mkdir("folder");
    for (const QString &target : {dir.filePath("folder"), dir.filePath("plain/ZubPirel.json"), dir.filePath("missing/ZubPirel.json")}) {
        LoginTable table;
        table.fill({"Firma", "ion"});
        try {
            table.saveToFile(target);
            ADD_FAILURE() << qPrintable(target);
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(target))) << e.what();
            EXPECT_GT(e.message().size(), QStringLiteral("Cannot create file \"%1\". ").arg(target).size()) << e.what();
        }
    }
}

TEST_F(MemTableFile, BadFileLeavesTheTableOpenAndEmpty)
{
    const QByteArray tooLarge = fileWithRow(R"({"company": "Firma"})") + QByteArray(2 * MemTable::maxFileSize, ' ');
    const struct {
        const char *name;
        std::function<QString()> make; // the path to load
    } cases[] = {
        {"empty", [&] { writeFile(path, ""); return path; }},
        {"blank", [&] { writeFile(path, " \n"); return path; }},
        {"not JSON", [&] { writeFile(path, "company=Firma"); return path; }},
        {"cut short", [&] { writeFile(path, fileWithRow(R"({"company": "Fir)")); return path; }},
        {"an array", [&] { writeFile(path, "[]"); return path; }},
        {"no rows", [&] { writeFile(path, R"({"table": "dsLogin", "fields": []})"); return path; }},
        {"rows not a list", [&] { writeFile(path, R"({"table": "dsLogin", "fields": [], "rows": {}})"); return path; }},
        {"another table", [&] { writeFile(path, R"({"table": "dsOther", "fields": [], "rows": []})"); return path; }},
        {"a row not an object", [&] { writeFile(path, fileWithRow(R"("Firma")")); return path; }},
        {"a number for a text", [&] { writeFile(path, fileWithRow(R"({"company": 12})")); return path; }},
        {"a list for a text", [&] { writeFile(path, fileWithRow(R"({"company": "a", "username": ["ion"]})")); return path; }},
        {"larger than allowed", [&] { writeFile(path, tooLarge); return path; }},
        {"a folder", [&] { QDir(dir.path()).mkdir("folder.json"); return dir.filePath("folder.json"); }},
        {"missing", [&] { return dir.filePath("missing.json"); }},
        // Reports no size and never ends: only a bounded read survives it.
        {"an endless device", [] { return QStringLiteral("/dev/zero"); }},
    };
    for (const auto &c : cases) {
        LoginTable table;
        table.fill({"Firma", "ion"});
        const QString bad = c.make();
        int resets = 0;
        QObject::connect(&table, &MemTable::contentReset, [&] { ++resets; });
        try {
            table.loadFromFile(bad);
            ADD_FAILURE() << c.name << ": the load did not fail";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("\"%1\"").arg(bad))) << c.name << ": " << e.what();
        }
        EXPECT_TRUE(table.isOpen()) << c.name;
        EXPECT_EQ(table.recordCount(), 0) << c.name;
        EXPECT_EQ(resets, 1) << c.name;

        table.fill({"Firma noua", "maria"});
        table.saveToFile(path);
        LoginTable next;
        next.loadFromFile(path);
        EXPECT_EQ(next.row().company, "Firma noua") << c.name;
        QDir(dir.filePath("folder.json")).removeRecursively();
    }
}
