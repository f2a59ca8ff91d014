#include "platform/forms/layout.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvat::forms;

namespace {

bool textFits(const QLabel &label)
{
    const QRect r = label.contentsRect();
    if (label.wordWrap())
        return label.heightForWidth(label.width()) <= label.height();
    return label.fontMetrics().horizontalAdvance(label.text()) <= r.width()
        && label.fontMetrics().height() <= r.height();
}

} // namespace

TEST(Layout, AnchoredWidgetsFollowTheParentsEdges)
{
    const struct {
        const char *name;
        Qt::Edges edges;
        QRect after; // the parent grows from 373 x 229 by 100 x 50
    } cases[] = {
        {"left, top", Qt::LeftEdge | Qt::TopEdge, {248, 10, 118, 15}},
        {"top, right", Qt::TopEdge | Qt::RightEdge, {348, 10, 118, 15}},
        {"left, right", Qt::LeftEdge | Qt::RightEdge, {248, 10, 218, 15}},
        {"bottom", Qt::LeftEdge | Qt::BottomEdge, {248, 60, 118, 15}},
        {"all four", Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge, {248, 10, 218, 65}},
    };
    for (const auto &c : cases) {
        QWidget window;
        window.resize(373, 229);
        auto *label = place(new QLabel(QStringLiteral("Korvat"), &window), 248, 10, 118, 15);
        anchor(label, c.edges);
        window.show();
        window.resize(473, 279);
        EXPECT_EQ(label->geometry(), c.after) << c.name;
    }
}

TEST(Layout, LabelsSizeToTheirTextKeepingTheirAnchoring)
{
    const QString longText = QStringLiteral("Korvat v. 2025.10.13 in a font far wider than the one designed");
    const struct {
        const char *name;
        QString text;
        Qt::Edges edges;
        bool wordWrap;
        LabelFit fit;
        QRect given;
        bool keepsGivenSize;
    } cases[] = {
        {"version label that fits", "v", Qt::TopEdge | Qt::RightEdge, false, LabelFit::Grow, {248, 0, 118, 15}, true},
        {"version label too wide", longText, Qt::TopEdge | Qt::RightEdge, false, LabelFit::Grow, {248, 0, 118, 15}, false},
        {"user label", "User ion", Qt::LeftEdge | Qt::TopEdge, false, LabelFit::Exact, {6, 23, 300, 15}, false},
        {"word-wrapped database label", longText, Qt::LeftEdge | Qt::TopEdge, true, LabelFit::Grow, {6, 2, 81, 15}, false},
    };
    for (const auto &c : cases) {
        QWidget panel;
        panel.resize(373, 43);
        auto *label = place(new QLabel(c.text, &panel), c.given.x(), c.given.y(), c.given.width(), c.given.height());
        label->setFont(pixelFont(QStringLiteral("Segoe UI"), 12, true));
        label->setWordWrap(c.wordWrap);
        anchor(label, c.edges);
        fitLabelToText(label, c.fit);

        const QRect g = label->geometry();
        EXPECT_TRUE(textFits(*label)) << c.name;
        EXPECT_EQ(g == c.given, c.keepsGivenSize) << c.name;
        const bool growsLeft = !(c.edges & Qt::LeftEdge);
        EXPECT_EQ(growsLeft ? g.right() : g.left(), growsLeft ? c.given.right() : c.given.left()) << c.name;
        EXPECT_EQ(g.top(), c.given.top()) << c.name;
        EXPECT_TRUE(!c.wordWrap || g.width() == c.given.width()) << c.name;
        EXPECT_TRUE(c.fit != LabelFit::Exact || g.size() == label->sizeHint()) << c.name;
    }
}
