// What the login tests run against: a company directory and a company database on the sandbox
// servers, with the company "Firma" whose user "ion" (password "secret") may use this program, and
// a home folder of the test's own for the last-login file. A Session is one run of the program: a
// dmCon pointed at the directory and the login dialog on it.
#pragma once

#include "data/u_dmCon.h"
#include "data/u_frmLogin.h"
#include "platform/forms/application.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace login_test {

using korvat::test::TestDatabase;
using korvat::test::sqlLiteral;

class World {
public:
    explicit World(bool directoryTls = true, bool companyTls = true)
        : directory(TestDatabase::Kind::Directory, directoryTls), erp(TestDatabase::Kind::Erp, companyTls)
    {
        app.setErrorPresenter([this](const QString &, const QString &text) { errors << text; });
        title = app.title();
        folder = home.path();
        addCompany(QStringLiteral("Firma"), erp, QStringLiteral("PL 1"));
    }

    // A directory row for the company, and its user, application and company row in erp. The row
    // has activ false: the login does not look at it.
    void addCompany(const QString &name, TestDatabase &db, const QString &workPoint)
    {
        directory.exec(QStringLiteral("insert into m_firma (nume_firma, ip, port, db_name, activ) "
                                      "values (%1, %2, %3, %4, false)")
                           .arg(sqlLiteral(name), sqlLiteral(db.server().host))
                           .arg(db.server().port)
                           .arg(sqlLiteral(db.name())));
        db.exec(QStringLiteral("insert into emitent (emitent, operator_parola, eu_punct_lucru) "
                               "values ('ion', 'secret', %1)").arg(sqlLiteral(workPoint)));
        db.exec(QStringLiteral("insert into aplicatie_mob (aplicatie_mob, activ) values (%1, true)").arg(sqlLiteral(title)));
        db.exec(QStringLiteral("insert into aplicatie_mob_emitent (aplicatie_mob, emitent, rol) "
                               "values (%1, 'ion', 'admin')").arg(sqlLiteral(title)));
        db.exec(QStringLiteral("insert into eu (jas_ip) values ('srv:8080')"));
    }

    QString lastLoginPath() const { return QDir(folder).filePath(QStringLiteral("ZubPirel.json")); }

    // The rows of the last-login file as "company|username"; "<no file>" when there is none.
    QStringList savedRows() const
    {
        QFile file(lastLoginPath());
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("<no file>")};
        QStringList rows;
        for (const QJsonValue &row : QJsonDocument::fromJson(file.readAll()).object().value("rows").toArray())
            rows << row["company"].toString() + QLatin1Char('|') + row["username"].toString();
        return rows;
    }
    QByteArray savedBytes() const
    {
        QFile file(lastLoginPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    korvat::forms::Application app;
    QStringList errors;
    QString title;
    QTemporaryDir home;
    QString folder;
    TestDatabase directory;
    TestDatabase erp;
};

// conZub before any login moves it.
inline const QString initialCompanyServer = QStringLiteral("127.0.0.2");
constexpr int initialCompanyPort = 1;

struct Session {
    explicit Session(World &world, QWidget *owner = nullptr)
        : dmCon(TdmCon::Settings{world.directory.server().host, world.directory.server().port,
                                 world.directory.server().password, initialCompanyServer, initialCompanyPort,
                                 world.erp.server().password}),
          frmLogin(dmCon, owner)
    {
        world.directory.configure(dmCon.conZubMob);
        frmLogin.setLastLoginFolder([&world] { return world.folder; });
    }

    // Shows the dialog, as the menu does, unless it is showing already.
    void show()
    {
        if (frmLogin.isVisible())
            return;
        frmLogin.setResult(0);
        frmLogin.open();
    }

    // QTest::keyClicks knows only ASCII keys; other characters arrive as the text of a key event.
    static void type(QWidget *box, const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(box, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    // Types the three boxes anew and presses Login: the modal result, 0 while the dialog stays open.
    int login(const QString &company, const QString &user, const QString &password)
    {
        show();
        for (auto [box, text] : {std::pair{frmLogin.Edit1, company}, {frmLogin.Edit2, user}, {frmLogin.Edit3, password}}) {
            box->clear();
            type(box, text);
        }
        QTest::mouseClick(frmLogin.Button1, Qt::LeftButton);
        return frmLogin.isVisible() ? 0 : frmLogin.result();
    }

    // The login context in declaration order.
    QStringList context() const
    {
        return {dmCon.glNumeFirma, dmCon.glUser,    dmCon.glUserPass, dmCon.glDataBase,
                dmCon.glUserRol,   dmCon.glEuPL,    dmCon.glJasIP,    dmCon.glJasProtocol};
    }
    void setContext(const QStringList &values)
    {
        QString *fields[] = {&dmCon.glNumeFirma, &dmCon.glUser,  &dmCon.glUserPass, &dmCon.glDataBase,
                             &dmCon.glUserRol,   &dmCon.glEuPL,  &dmCon.glJasIP,    &dmCon.glJasProtocol};
        for (int i = 0; i < 8; ++i)
            *fields[i] = values.value(i);
    }

    TdmCon dmCon;
    TfrmLogin frmLogin;
};

} // namespace login_test
