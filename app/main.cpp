// Korvat: start-up creates the program's six long-lived objects in their order and runs the message
// loop until the main window is closed.
#include "app/u_fMenuEMCS.h"
#include "data/u_dmCon.h"
#include "data/u_frmLogin.h"
#include "declarations/u_fEmcsDeclA47.h"
#include "excise/u_fEmcsArticole.h"
#include "excise/u_fEmcsFacturiFurnizor.h"
#include "platform/forms/application.h"
#include "platform/pg/connection.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

void reportStartupFailure(const char *what)
{
    std::fprintf(stderr, "Korvat: %s\n", what);
#ifdef Q_OS_WIN
    MessageBoxA(nullptr, what, "Korvat", MB_OK | MB_ICONERROR);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    try {
        korvat::forms::Application app;
        korvat::pg::Connection::setApplicationName(app.title());

        // The main window first; every window after the connection module binds to it as it is
        // built. The working windows are owned by the main window and go with it.
        auto fMenuEMCS = std::make_unique<TfMenuEMCS>();
        auto dmCon = std::make_unique<TdmCon>();
        auto *frmLogin = new TfrmLogin(*dmCon, fMenuEMCS.get());
        auto *fEmcsDeclA47 = new TfEmcsDeclA47(*dmCon, fMenuEMCS.get());
        auto *fEmcsFacturiFurnizor = new TfEmcsFacturiFurnizor(*dmCon, fMenuEMCS.get());
        auto *fEmcsArticole = new TfEmcsArticole(*dmCon, fMenuEMCS.get());
        fMenuEMCS->setLinks({dmCon.get(), frmLogin, fEmcsDeclA47, fEmcsFacturiFurnizor, fEmcsArticole});

        fMenuEMCS->show();
        const int code = qapp.exec();
        // The windows go before the connection module whose queries they use.
        fMenuEMCS.reset();
        return code;
    } catch (const std::exception &e) {
        reportStartupFailure(e.what());
    } catch (...) {
        reportStartupFailure("unknown error");
    }
    return 1;
}
