// The main window: a "Login" button until a login succeeds, then the company's database, the user
// and the three buttons that open the working windows.
#pragma once

#include "platform/forms/form.h"

#include <QDialog>

class QLabel;
class QPushButton;
class TdmCon;

class TfMenuEMCS : public korvat::forms::Form {
    Q_OBJECT
public:
    explicit TfMenuEMCS(QWidget *parent = nullptr);

    // What the menu shows; start-up gives them once they exist.
    struct Links {
        TdmCon *dmCon = nullptr;
        QDialog *frmLogin = nullptr;
        korvat::forms::Form *fEmcsDeclA47 = nullptr;
        korvat::forms::Form *fEmcsFacturiFurnizor = nullptr;
        korvat::forms::Form *fEmcsArticole = nullptr;
    };
    // A function button whose window does not exist offers nothing.
    void setLinks(const Links &links);

    QWidget *PanelLogin;
    QWidget *PanelMenu;
    QPushButton *ButtonLogin;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *Button1;
    QLabel *LabelDataBase;
    QLabel *LabelUser;
    QPushButton *Button2;
    QPushButton *Button3;

    void ButtonLoginClick();
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layOutPanels();
    Links m_links;
};
