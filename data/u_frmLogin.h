// The login dialog: finds the company in the directory, points conZub at the company's database,
// checks the user and the application's enablement there and fills the login context of dmCon. It
// remembers the last company and user name in "ZubPirel.json" in the roaming application-data folder.
#pragma once

#include "platform/forms/dialog.h"
#include "platform/memtable/memtable.h"
#include "platform/pg/field.h"
#include "platform/pg/query.h"

#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class TdmCon;

namespace korvat::memtable {
class EditBinding;
}

class TfrmLogin : public korvat::forms::Dialog {
    Q_OBJECT
public:
    TfrmLogin(TdmCon &dmCon, QWidget *owner);

    // The folder that holds the last-login file, looked up at each showing and each press of Login.
    // The roaming application-data folder unless tests point it elsewhere.
    using FolderLookup = std::function<QString()>;
    void setLastLoginFolder(FolderLookup folder) { m_lastLoginFolder = std::move(folder); }
    QString lastLoginPath() const;

    // What is sent as pP of dsEmitent for the directory's pw_hash_type and the typed password.
    static QString passwordValue(const QString &pwHashType, const QString &password);
    // "http" for an application server on port 8080 (any address containing "8080"), else "https".
    static QString jasProtocol(const QString &jasIp);

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QPushButton *Button1;

    // The remembered company and user name: no row or one row, with fields company and username.
    korvat::memtable::MemTable dsLogin{QStringLiteral("dsLogin")};
    korvat::memtable::EditBinding *LinkControlToField1;
    korvat::memtable::EditBinding *LinkControlToField2;

    korvat::pg::Query dsZubMobil;
    korvat::pg::Field dsZubMobilnume_firma{nullptr, -1};
    korvat::pg::Field dsZubMobilip{nullptr, -1};
    korvat::pg::Field dsZubMobilport{nullptr, -1};
    korvat::pg::Field dsZubMobildb_name{nullptr, -1};
    korvat::pg::Field dsZubMobilactiv{nullptr, -1};
    korvat::pg::Field dsZubMobilm_site{nullptr, -1};
    korvat::pg::Field dsZubMobilpw_hash_type{nullptr, -1};

    void FormShow();
    void Button1Click();

protected:
    void formShow() override { FormShow(); }

private:
    TdmCon &m_dmCon;
    FolderLookup m_lastLoginFolder;
};
