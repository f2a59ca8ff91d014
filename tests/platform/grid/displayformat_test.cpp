// Cell texts in the user's regional settings, from the server's text form of each kind, and the
// filter conditions matched against them.
#include "platform/grid/displayformat.h"
#include "platform/grid/filtercondition.h"

#include <QDate>
#include <gtest/gtest.h>

namespace korvat::grid {
namespace {

using pg::FieldKind;

QLocale romanian() { return QLocale(QLocale::Romanian, QLocale::Romania); }
QLocale american() { return QLocale(QLocale::English, QLocale::UnitedStates); }
QLocale german() { return QLocale(QLocale::German, QLocale::Germany); }

TEST(DisplayFormatTest, ShowsServerTextInTheRegionalSettings)
{
    const struct {
        QLocale locale;
        FieldKind kind;
        std::optional<QString> server;
        QString shown;
    } cases[] = {
        {romanian(), FieldKind::Date, QStringLiteral("2024-03-05"), QStringLiteral("05.03.2024")},
        {american(), FieldKind::Date, QStringLiteral("2024-03-05"), QStringLiteral("3/5/2024")},   // yy widened
        {german(), FieldKind::Date, QStringLiteral("0987-11-30"), QStringLiteral("30.11.0987")},
        {romanian(), FieldKind::Date, QStringLiteral("infinity"), QString()},
        {romanian(), FieldKind::Float, QStringLiteral("1234.5"), QStringLiteral("1234,5")},     // no grouping
        {american(), FieldKind::Float, QStringLiteral("1234.5"), QStringLiteral("1234.5")},
        {romanian(), FieldKind::Float, QStringLiteral("-0.25"), QStringLiteral("-0,25")},
        {romanian(), FieldKind::Float, QStringLiteral("12.500"), QStringLiteral("12,5")},       // numeric scale
        {romanian(), FieldKind::Float, QStringLiteral("7.000"), QStringLiteral("7")},
        {romanian(), FieldKind::Float, QStringLiteral("1e+20"), QStringLiteral("100000000000000000000")},
        {romanian(), FieldKind::Float, QStringLiteral("1.5e-05"), QStringLiteral("0,000015")},
        {romanian(), FieldKind::Float, QStringLiteral("0.30000000000000004"), QStringLiteral("0,30000000000000004")},
        {romanian(), FieldKind::Integer, QStringLiteral("-42000"), QStringLiteral("-42000")},
        {romanian(), FieldKind::Boolean, QStringLiteral("t"), QStringLiteral("True")},
        {romanian(), FieldKind::String, QStringLiteral("2024-03-05"), QStringLiteral("2024-03-05")},
        {romanian(), FieldKind::String, std::nullopt, QString()},
        {romanian(), FieldKind::Float, std::nullopt, QString()},
        {romanian(), FieldKind::String, QString(), QString()},
        {romanian(), FieldKind::String, QStringLiteral("Țuică 40%"), QStringLiteral("Țuică 40%")},
    };
    for (const auto &c : cases) {
        const DisplayFormat format(c.locale);
        EXPECT_EQ(format.text(c.kind, c.server), c.shown)
            << c.locale.name().toStdString() << " " << c.server.value_or(QStringLiteral("NULL")).toStdString();
        // The filter's way: the server's UTF-8 bytes, formatted in scratch space.
        if (c.server) {
            const QByteArray utf8 = c.server->toUtf8();
            DisplayFormat::Scratch scratch;
            EXPECT_EQ(format.view(c.kind, QUtf8StringView(utf8), scratch).toString(), c.shown)
                << c.server->toStdString();
        }
    }
}

// The shortcut that formats most cells without QLocale must agree with it.
TEST(DisplayFormatTest, QuickFormsAgreeWithQLocale)
{
    const QLocale locales[] = {romanian(), american(), german(), QLocale(QLocale::French, QLocale::France),
                               QLocale(QLocale::Japanese, QLocale::Japan), QLocale(QLocale::Arabic, QLocale::Egypt)};
    const double values[] = {0, 1, -1, 0.1, 2.5, -1234.5678, 1e15 - 1, 123456789.125, 0.000123,
                             1 / 7.0, -2 / 3.0, 1e20, 1.5e-7, 0.1 + 0.2, 123456789012345678.0};
    for (const QLocale &locale : locales) {
        const DisplayFormat format(locale);
        for (const QDate date : {QDate(2024, 1, 9), QDate(1999, 12, 31), QDate(2000, 10, 1)})
            EXPECT_EQ(format.text(FieldKind::Date, date.toString(Qt::ISODate)), locale.toString(date, format.datePattern()))
                << locale.name().toStdString();
        // The server writes large and small floats with an exponent, a numeric in fixed notation.
        for (const double value : values)
            for (const char notation : {'f', 'g'})
                EXPECT_EQ(format.text(FieldKind::Float, QString::number(value, notation, QLocale::FloatingPointShortest)),
                          format.floatText(value))
                    << locale.name().toStdString() << " " << value << " " << notation;
        EXPECT_EQ(format.text(FieldKind::Integer, QStringLiteral("-1234567")), format.integerText(-1234567));
    }
}

TEST(DisplayFormatTest, ReadsNumbersOnlyInTheRegionalSettings)
{
    const DisplayFormat format(romanian());
    const struct {
        QString text;
        std::optional<double> value;
    } cases[] = {{QStringLiteral("2,5"), 2.5}, {QStringLiteral(" -3 "), -3.0}, {QStringLiteral("2.5"), std::nullopt},
                 {QStringLiteral("1.234,5"), std::nullopt}, {QStringLiteral("x"), std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(format.parseFloat(c.text), c.value) << c.text.toStdString();
}

} // namespace
} // namespace korvat::grid

namespace korvat::grid {
namespace {

// The filter's shortcut over the server's bytes must decide as QString::contains would on the
// displayed text, also where characters outside ASCII fold to ASCII letters.
TEST(FilterConditionTest, MatchesAsCaseInsensitiveContainsOnTheShownText)
{
    const QString cells[] = {QStringLiteral("Ţuică de prună 0,5 l"), QStringLiteral("Whisky premium"),
                             QStringLiteral("\u017Ftrudel"), QStringLiteral("5 \u212A"), QStringLiteral("ROŞU sec"),
                             QString()};
    const QString conditions[] = {QStringLiteral("w"),  QStringLiteral("S"),   QStringLiteral("k"),
                                  QStringLiteral("uică"), QStringLiteral("ţ"), QStringLiteral("ă d"),
                                  QStringLiteral("0,5"), QStringLiteral("roşu"), QStringLiteral("str")};
    const DisplayFormat format(QLocale(QLocale::Romanian, QLocale::Romania));
    DisplayFormat::Scratch scratch;
    for (const QString &text : cells) {
        const QByteArray utf8 = text.toUtf8();
        for (const QString &condition : conditions) {
            const FilterCondition filter(condition);
            EXPECT_EQ(filter.matches(pg::FieldKind::String, QAnyStringView(QUtf8StringView(utf8)), format, scratch),
                      text.contains(condition, Qt::CaseInsensitive))
                << text.toStdString() << " / " << condition.toStdString();
            EXPECT_EQ(filter.matches(pg::FieldKind::String, QAnyStringView(text), format, scratch),
                      text.contains(condition, Qt::CaseInsensitive));
        }
    }
    EXPECT_FALSE(FilterCondition(QStringLiteral("a")).matches(pg::FieldKind::String, std::nullopt, format, scratch));
}

} // namespace
} // namespace korvat::grid
