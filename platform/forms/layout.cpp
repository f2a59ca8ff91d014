#include "platform/forms/layout.h"

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace korvat::forms {
namespace {

// Follows the parent's resizes for one widget. It is a child of the widget, so it goes with it.
class Anchor : public QObject {
public:
    Anchor(QWidget *widget, Qt::Edges edges)
        : QObject(widget), m_widget(widget), m_parent(widget->parentWidget()), m_edges(edges)
    {
        setObjectName(QStringLiteral("korvatAnchor"));
        const QRect g = widget->geometry();
        const QSize p = m_parent->size();
        m_right = p.width() - (g.x() + g.width());
        m_bottom = p.height() - (g.y() + g.height());
        m_parent->installEventFilter(this);
    }

    Qt::Edges edges() const { return m_edges; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_parent && event->type() == QEvent::Resize && m_widget && m_widget->parentWidget() == m_parent)
            follow();
        return false;
    }

private:
    void follow()
    {
        QRect g = m_widget->geometry();
        const QSize p = m_parent->size();
        if (m_edges & Qt::RightEdge) {
            if (m_edges & Qt::LeftEdge)
                g.setRight(p.width() - m_right - 1);
            else
                g.moveRight(p.width() - m_right - 1);
        }
        if (m_edges & Qt::BottomEdge) {
            if (m_edges & Qt::TopEdge)
                g.setBottom(p.height() - m_bottom - 1);
            else
                g.moveBottom(p.height() - m_bottom - 1);
        }
        m_widget->setGeometry(g);
    }

    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_parent;
    Qt::Edges m_edges;
    int m_right = 0;
    int m_bottom = 0;
};

Anchor *anchorOf(const QWidget *widget)
{
    return widget->findChild<Anchor *>(QStringLiteral("korvatAnchor"), Qt::FindDirectChildrenOnly);
}

} // namespace

QFont pixelFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void anchor(QWidget *widget, Qt::Edges edges)
{
    Q_ASSERT_X(widget->parentWidget(), "anchor", "the widget needs a parent to anchor to");
    delete anchorOf(widget);
    if (edges & (Qt::RightEdge | Qt::BottomEdge))
        new Anchor(widget, edges);
}

Qt::Edges anchoring(const QWidget *widget)
{
    if (const Anchor *a = anchorOf(widget))
        return a->edges();
    return Qt::LeftEdge | Qt::TopEdge;
}

void fitLabelToText(QLabel *label, LabelFit fit)
{
    QRect g = label->geometry();
    QSize wanted;
    if (label->wordWrap())
        wanted = QSize(g.width(), label->heightForWidth(g.width()));
    else
        wanted = label->sizeHint();
    if (fit == LabelFit::Grow)
        wanted = wanted.expandedTo(g.size());

    const Qt::Edges edges = anchoring(label);
    if ((edges & Qt::RightEdge) && !(edges & Qt::LeftEdge))
        g.setLeft(g.right() + 1 - wanted.width());
    else
        g.setWidth(wanted.width());
    if ((edges & Qt::BottomEdge) && !(edges & Qt::TopEdge))
        g.setTop(g.bottom() + 1 - wanted.height());
    else
        g.setHeight(wanted.height());
    label->setGeometry(g);
}

} // namespace korvat::forms

namespace korvat::forms {

void setUpWindow(QWidget *window, const QString &name, int clientWidth, int clientHeight)
{
    window->setObjectName(name);
    window->setWindowTitle(name);
    window->setFont(pixelFont(QStringLiteral("Segoe UI"), 12));
    QPalette p = window->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    window->setPalette(p);
    window->setAutoFillBackground(true);
    window->resize(clientWidth, clientHeight);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    widget->setPalette(p);
}

QLabel *titleLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *label = place(new QLabel(caption, parent), left, top, 0, 0);
    label->setObjectName(name);
    label->setFont(pixelFont(QStringLiteral("Segoe UI"), 16, true));
    setTextColor(label, Qt::red);
    fitLabelToText(label, LabelFit::Exact);
    return label;
}

} // namespace korvat::forms
