// The declaration window on a throwaway ERP database, with the clerk's answers to the save dialog,
// today's date and the proposal folder under the test's control, and the errors it shows captured.
#pragma once

#include "data/u_dmCon.h"
#include "declarations/u_fEmcsDeclA47.h"
#include "platform/forms/application.h"
#include "support/sandbox.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace korvat::test {

class DeclarationWindow : public ::testing::Test {
protected:
    void SetUp() override;

    // The function as the window sees it, returning these rows (std::nullopt is NULL).
    void replaceDeclaration(const std::vector<std::optional<QString>> &rows);

    void choose(const QString &authorisation);
    void type(const QString &text);
    void pickInCalendar(const QDate &day);
    // Presses "Generare XML"; the clerk answers the dialog with answer.
    void generate();
    // The calls the server recorded, "day|authorisation".
    QStringList calls();

    static QByteArray bytesOf(const QString &path);
    static QStringList entriesOf(const QString &folder);

    forms::Application app;
    QStringList errors;
    TestDatabase db{TestDatabase::Kind::Erp};
    TdmCon dmCon{TdmCon::Settings{}};
    QWidget menu;
    std::unique_ptr<TfEmcsDeclA47> window;

    QTemporaryDir dir;
    QDate today{2023, 7, 29};
    QString folder;                     // the machine-wide folder; dir unless a test changes it
    std::optional<QString> answer;      // the clerk's choice in the dialog; nothing is a cancel
    QStringList proposed;               // the names the dialog was opened with
};

} // namespace korvat::test
