#include "app/u_fMenuEMCS.h"

#include "data/u_dmCon.h"
#include "platform/forms/guard.h"
#include "platform/forms/layout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

using namespace korvat::forms;

namespace {

const char *const versionText = "Korvat v. 2025.10.13";
const QColor navy(0x00, 0x00, 0x80);

QLabel *navyLabel(QWidget *parent, int left, int top, int width)
{
    auto *label = place(new QLabel(parent), left, top, width, 15);
    label->setFont(pixelFont(QStringLiteral("Segoe UI"), 12, true));
    setTextColor(label, navy);
    return label;
}

QLabel *versionLabel(QWidget *parent)
{
    auto *label = navyLabel(parent, 248, 0, 118);
    label->setText(QString::fromLatin1(versionText));
    anchor(label, Qt::TopEdge | Qt::RightEdge);
    return label;
}

QPushButton *button(QWidget *parent, const char *caption, int left, int top, int width)
{
    auto *b = place(new QPushButton(QString::fromUtf8(caption), parent), left, top, width, 25);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

TfMenuEMCS::TfMenuEMCS(QWidget *parent) : Form(parent)
{
    setUpWindow(this, QStringLiteral("fMenuEMCS"), 373, 229);

    PanelLogin = new QWidget(this);
    PanelLogin->setObjectName(QStringLiteral("PanelLogin"));
    PanelMenu = new QWidget(this);
    PanelMenu->setObjectName(QStringLiteral("PanelMenu"));
    layOutPanels();

    ButtonLogin = button(PanelLogin, "Login", 16, 9, 75);
    Label1 = versionLabel(PanelLogin);

    Label2 = versionLabel(PanelMenu);
    LabelDataBase = navyLabel(PanelMenu, 6, 2, 81);
    LabelDataBase->setWordWrap(true);
    LabelUser = navyLabel(PanelMenu, 6, 23, 0);
    Button1 = button(PanelMenu, "Generare declaratie A47 - accize ( Anexa 19)", 16, 52, 241);
    Button2 = button(PanelMenu, "Facturi Furnizor", 16, 83, 97);
    Button3 = button(PanelMenu, "Articole", 16, 114, 97);
    fitLabelToText(Label1);
    fitLabelToText(Label2);

    setTabOrder(PanelLogin, PanelMenu);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);

    connectGuarded(ButtonLogin, &QPushButton::clicked, this, &TfMenuEMCS::ButtonLoginClick);
    connectGuarded(Button1, &QPushButton::clicked, this, &TfMenuEMCS::Button1Click);
    connectGuarded(Button2, &QPushButton::clicked, this, &TfMenuEMCS::Button2Click);
    connectGuarded(Button3, &QPushButton::clicked, this, &TfMenuEMCS::Button3Click);
    guarded([this] { FormCreate(); });
}

// The login panel stands at the top while it is visible; the menu panel fills what is left.
void TfMenuEMCS::layOutPanels()
{
    const int loginHeight = PanelLogin->isHidden() ? 0 : 43;
    PanelLogin->setGeometry(0, 0, width(), 43);
    PanelMenu->setGeometry(0, loginHeight, width(), height() - loginHeight);
}

void TfMenuEMCS::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    layOutPanels();
}

void TfMenuEMCS::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, also while working windows are open.
    Form::closeEvent(event);
    if (event->isAccepted())
        QApplication::quit();
}

void TfMenuEMCS::setLinks(const Links &links)
{
    m_links = links;
    Button1->setEnabled(links.fEmcsDeclA47 != nullptr);
    Button2->setEnabled(links.fEmcsFacturiFurnizor != nullptr);
    Button3->setEnabled(links.fEmcsArticole != nullptr);
}

void TfMenuEMCS::FormCreate()
{
    PanelMenu->hide();
}

void TfMenuEMCS::ButtonLoginClick()
{
    if (m_links.frmLogin->exec() != 1)
        return;
    PanelLogin->hide();
    PanelMenu->show();
    layOutPanels();
    LabelDataBase->setText(m_links.dmCon->glDataBase);
    LabelUser->setText(QStringLiteral("User ") + m_links.dmCon->glUser);
    fitLabelToText(LabelDataBase);
    fitLabelToText(LabelUser, LabelFit::Exact);
}

void TfMenuEMCS::Button1Click()
{
    if (m_links.fEmcsDeclA47)
        m_links.fEmcsDeclA47->showModeless();
}

void TfMenuEMCS::Button2Click()
{
    if (m_links.fEmcsFacturiFurnizor)
        m_links.fEmcsFacturiFurnizor->showModeless();
}

void TfMenuEMCS::Button3Click()
{
    if (m_links.fEmcsArticole)
        m_links.fEmcsArticole->showModeless();
}
