#include "platform/grid/gridnavigator.h"

#include <QHBoxLayout>

namespace korvat::grid {

GridNavigator::GridNavigator(QWidget *parent) : QWidget(parent), m_info(new QLabel(this))
{
    struct Face {
        const char *name;
        const char16_t *glyph;
        const char *tip;
    };
    static const Face faces[buttonCount] = {
        {"First", u"|\u25C0", "First record"},  {"Prior", u"\u25C0", "Prior record"},
        {"Next", u"\u25B6", "Next record"},     {"Last", u"\u25B6|", "Last record"},
        {"Delete", u"\u2212", "Delete record"}, {"Edit", u"\u270E", "Edit record"},
        {"Post", u"\u2714", "Post edit"},       {"Cancel", u"\u2718", "Cancel edit"},
    };
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(1);
    for (int i = 0; i < buttonCount; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(faces[i].name));
        button->setText(QString::fromUtf16(faces[i].glyph));
        button->setToolTip(QLatin1String(faces[i].tip));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(22, 20);
        const Button which = Button(i);
        connect(button, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        m_buttons[size_t(i)] = button;
        layout->addWidget(button);
    }
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(m_info);
    layout->addStretch(1);
    setRecord(0, 0);
}

void GridNavigator::setRecord(int position, int count)
{
    m_info->setText(QStringLiteral("Record %1 of %2").arg(position).arg(count));
}

void GridNavigator::setEnabledButtons(bool canGoBack, bool canGoForward, bool hasRow, bool editing, bool editable)
{
    button(Button::First)->setEnabled(canGoBack);
    button(Button::Prior)->setEnabled(canGoBack);
    button(Button::Next)->setEnabled(canGoForward);
    button(Button::Last)->setEnabled(canGoForward);
    button(Button::Delete)->setEnabled(hasRow && editable);
    button(Button::Edit)->setEnabled(hasRow && editable && !editing);
    button(Button::Post)->setEnabled(editing);
    button(Button::Cancel)->setEnabled(editing);
}

} // namespace korvat::grid
