#include "data/u_frmLogin.h"

#include "data/u_dmCon.h"
#include "platform/forms/application.h"
#include "platform/forms/guard.h"
#include "platform/forms/layout.h"
#include "platform/memtable/editbinding.h"
#include "platform/pg/error.h"
#include "platform/shell/folders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

using namespace korvat::forms;
using korvat::pg::SslMode;

namespace {

const QString lastLoginFileName = QStringLiteral("ZubPirel.json");
constexpr int rememberedSize = 200;

QLabel *label(QWidget *parent, const char *text, int left, int top, int width, int height)
{
    auto *l = place(new QLabel(QString::fromLatin1(text), parent), left, top, width, height);
    l->setFont(pixelFont(QStringLiteral("Tahoma"), 12));
    fitLabelToText(l);
    return l;
}

QLineEdit *edit(QWidget *parent, const char *name, int left, int top)
{
    auto *e = place(new QLineEdit(parent), left, top, 268, 21);
    e->setObjectName(QLatin1String(name));
    return e;
}

// The checks of the login fail with a plain message; the guard shows it.
[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

// A server error may quote the value it could not take (an ERP whose operator_parola is of another
// type than text answers "invalid input syntax for type integer: ..."): the password, as typed and
// as sent, is blanked out of the error before it reaches the error box.
korvat::pg::Error withoutSecrets(const korvat::pg::Error &error, const QStringList &secrets)
{
    QString message = error.message();
    for (const QString &secret : secrets)
        if (!secret.isEmpty())
            message.replace(secret, QStringLiteral("***"));
    return korvat::pg::Error(message, error.sqlState(), error.component());
}

// The enablement checks know this program by its title, as the executable's name gives it.
QString applicationTitle()
{
    const Application *app = Application::instance();
    return app ? app->title() : QString();
}

} // namespace

TfrmLogin::TfrmLogin(TdmCon &dmCon, QWidget *owner)
    : Dialog(owner), dsZubMobil(QStringLiteral("dsZubMobil"), &dmCon.conZubMob), m_dmCon(dmCon),
      m_lastLoginFolder(korvat::shell::roamingAppDataFolder)
{
    setUpWindow(this, QStringLiteral("frmLogin"), 362, 158);
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));

    Label1 = label(this, "Company", 16, 24, 50, 14);
    Label2 = label(this, "UserName", 16, 56, 55, 14);
    Label3 = label(this, "Password", 16, 88, 51, 14);
    Edit1 = edit(this, "Edit1", 77, 22);
    Edit2 = edit(this, "Edit2", 77, 54);
    Edit3 = edit(this, "Edit3", 77, 86);
    Edit3->setEchoMode(QLineEdit::Password);
    // Most styles mask with a dot; the dialog shows "*".
    Edit3->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Button1 = place(new QPushButton(QStringLiteral("Login"), this), 77, 120, 75, 30);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    // The password box comes first, so that it has the focus when the dialog opens with the
    // remembered company and user already filled in.
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Edit1);
    setTabOrder(Edit1, Edit2);
    Edit3->setFocus();

    dsLogin.addStringField(QStringLiteral("company"), rememberedSize);
    dsLogin.addStringField(QStringLiteral("username"), rememberedSize);
    LinkControlToField1 = new korvat::memtable::EditBinding(Edit1, &dsLogin, QStringLiteral("company"));
    LinkControlToField2 = new korvat::memtable::EditBinding(Edit2, &dsLogin, QStringLiteral("username"));

    dsZubMobil.setSql(QStringList{"select *", "from m_firma", "where nume_firma = :pNumeFirma", ";"});
    dsZubMobil.declareParam(QStringLiteral("pNumeFirma"), korvat::pg::ParamType::String);
    dsZubMobil.addFields({
        "nume_firma S200 R", "ip M", "port I", "db_name M", "activ B", "m_site B R", "pw_hash_type S23",
    });
    dsZubMobilnume_firma = dsZubMobil.field(QStringLiteral("nume_firma"));
    dsZubMobilip = dsZubMobil.field(QStringLiteral("ip"));
    dsZubMobilport = dsZubMobil.field(QStringLiteral("port"));
    dsZubMobildb_name = dsZubMobil.field(QStringLiteral("db_name"));
    dsZubMobilactiv = dsZubMobil.field(QStringLiteral("activ"));
    dsZubMobilm_site = dsZubMobil.field(QStringLiteral("m_site"));
    dsZubMobilpw_hash_type = dsZubMobil.field(QStringLiteral("pw_hash_type"));

    connectGuarded(Button1, &QPushButton::clicked, this, &TfrmLogin::Button1Click);
}

QString TfrmLogin::lastLoginPath() const
{
    return QDir(m_lastLoginFolder()).filePath(lastLoginFileName);
}

QString TfrmLogin::passwordValue(const QString &pwHashType, const QString &password)
{
    if (pwHashType == QLatin1String("HashSHA2"))
        return QString::fromLatin1(QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256).toHex());
    return password;
}

QString TfrmLogin::jasProtocol(const QString &jasIp)
{
    return jasIp.contains(QLatin1String("8080")) ? QStringLiteral("http") : QStringLiteral("https");
}

void TfrmLogin::FormShow()
{
    const QString path = lastLoginPath();
    // A file that cannot be read leaves the table open and empty (the error goes to the error box
    // once for this showing), so the boxes come up empty and the next save writes a good file.
    if (QFileInfo::exists(path))
        dsLogin.loadFromFile(path);
    dsLogin.open();
}

void TfrmLogin::Button1Click()
{
    const QString path = lastLoginPath();
    // A new account on Linux may have no XDG config home yet; a folder that cannot be made leaves
    // the save to report why.
    QDir().mkpath(QFileInfo(path).absolutePath());
    dsLogin.saveToFile(path);

    TdmCon &dm = m_dmCon;
    const QString company = Edit1->text();
    const QString user = Edit2->text();
    const QString password = Edit3->text();
    const QString title = applicationTitle();

    dm.glNumeFirma = company;
    dm.conZubMob.setSslMode(SslMode::Require);
    dsZubMobil.setParam(QStringLiteral("pNumeFirma"), company);
    dsZubMobil.open();
    {
        const ScopeGuard closing([&] {
            dm.dsAplicatieMob.close();
            dm.dsEmitent.close();
            dsZubMobil.close();
        });

        if (dsZubMobil.recordCount() == 0)
            fail(QStringLiteral("Companie inexistenta"));

        // conZub is closed between operations, so its mode can change; a new server, port or
        // database closes it in any case.
        dm.conZub.setServer(dsZubMobilip.asString());
        dm.conZub.setPort(dsZubMobilport.asInteger());
        dm.conZub.setDatabase(dsZubMobildb_name.asString());
        dm.conZub.setSslMode(SslMode::Prefer);

        dm.dsEmitent.close();
        dm.dsEmitent.setParam(QStringLiteral("pEmitent"), user);
        const QString sent = passwordValue(dsZubMobilpw_hash_type.asString(), password);
        dm.dsEmitent.setParam(QStringLiteral("pP"), sent);
        try {
            dm.dsEmitent.open();
        } catch (const korvat::pg::Error &e) {
            throw withoutSecrets(e, {password, sent});
        }
        if (dm.dsEmitent.recordCount() == 0)
            fail(QStringLiteral("User, Password eronate"));

        dm.dsAplicatieMob.close();
        dm.dsAplicatieMob.setParam(QStringLiteral("pAplicatieMob"), title);
        dm.dsAplicatieMob.open();
        if (dm.dsAplicatieMob.recordCount() == 0)
            fail(QStringLiteral("Aplicatia ") + title + QStringLiteral(" nu este disponibila"));

        dm.dsAplicatieMobEmitent.close();
        dm.dsAplicatieMobEmitent.setParam(QStringLiteral("pEmitent"), user);
        dm.dsAplicatieMobEmitent.setParam(QStringLiteral("pAplicatieMob"), title);
        dm.dsAplicatieMobEmitent.open();
        if (dm.dsAplicatieMobEmitent.recordCount() == 0)
            fail(QStringLiteral("Aplicatia ") + title + QStringLiteral(" nu este disponibila pentru user-ul ") + user);

        dm.glUser = user;
        dm.glUserPass = password;
        dm.glDataBase = dsZubMobildb_name.asString();
        dm.glUserRol = dm.dsAplicatieMobEmitentrol.asString();
        dm.glEuPL = dm.dsEmitenteu_punct_lucru.asString();

        if (dm.dsEu.isOpen())
            dm.dsEu.refresh();
        else
            dm.dsEu.open();
        dm.glJasIP = dm.dsEujas_ip.asString();
        dm.glJasProtocol = jasProtocol(dm.glJasIP);

        Edit3->clear();
    }
    // The closing steps have run; the dialog closes only now.
    done(mrOk);
}
