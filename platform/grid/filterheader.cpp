#include "platform/grid/filterheader.h"

#include <QPainter>

namespace korvat::grid {

FilterHeader::FilterHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    // The rows keep the query's order: a header click sorts nothing.
    setSectionsClickable(false);
    setSectionsMovable(false);
    setSortIndicatorShown(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionCountChanged, this, &FilterHeader::syncEditCount);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::positionEdits);
}

void FilterHeader::setStyles(const std::optional<GridStyle> &header, const std::optional<GridStyle> &filterBox,
                             const QFont &baseFont)
{
    m_headerStyle = header;
    setFont(header ? header->effectiveFont(baseFont) : baseFont);
    m_editFont = filterBox ? filterBox->effectiveFont(baseFont) : baseFont;
    m_editPalette = palette();
    if (filterBox && filterBox->background) {
        const QColor background = filterBox->background->resolve(palette());
        m_editPalette.setColor(QPalette::Base, background);
        // The margin between the filter cells shows the header's own background.
        QPalette own = palette();
        own.setColor(QPalette::Window, background.darker(115));
        setPalette(own);
        setAutoFillBackground(true);
    }
    if (filterBox)
        if (const auto text = filterBox->effectiveTextColor(palette()))
            m_editPalette.setColor(QPalette::Text, *text);
    m_editHeight = QFontMetrics(m_editFont).height() + 6;
    for (QLineEdit *edit : m_edits) {
        edit->setFont(m_editFont);
        edit->setPalette(m_editPalette);
    }
    updateGeometries();
}

QLineEdit *FilterHeader::filterEdit(int section) const
{
    return section >= 0 && size_t(section) < m_edits.size() ? m_edits[size_t(section)] : nullptr;
}

void FilterHeader::clearFilters()
{
    for (QLineEdit *edit : m_edits) {
        const QSignalBlocker blocker(edit);
        edit->clear();
    }
}

int FilterHeader::sectionsHeight() const { return QFontMetrics(font()).height() + 8; }

QSize FilterHeader::sizeHint() const
{
    return {QHeaderView::sizeHint().width(), sectionsHeight() + m_editHeight};
}

void FilterHeader::syncEditCount()
{
    const size_t wanted = size_t(std::max(0, count()));
    while (m_edits.size() > wanted) {
        delete m_edits.back();
        m_edits.pop_back();
    }
    while (m_edits.size() < wanted) {
        auto *edit = new QLineEdit(this);
        edit->setFrame(false);
        edit->setFont(m_editFont);
        edit->setPalette(m_editPalette);
        const int section = int(m_edits.size());
        edit->setObjectName(QStringLiteral("filter%1").arg(section));
        connect(edit, &QLineEdit::textChanged, this, [this, section](const QString &text) {
            emit filterChanged(section, text);
        });
        edit->show();
        m_edits.push_back(edit);
    }
    positionEdits();
}

void FilterHeader::updateGeometries()
{
    setViewportMargins(0, 0, 0, m_edits.empty() ? 0 : m_editHeight);
    QHeaderView::updateGeometries();
    positionEdits();
}

void FilterHeader::positionEdits()
{
    const QRect area = viewport()->geometry();
    for (size_t i = 0; i < m_edits.size(); ++i) {
        QLineEdit *edit = m_edits[i];
        const int section = int(i);
        if (isSectionHidden(section)) {
            edit->hide();
            continue;
        }
        // One pixel of each cell stays free for the grid line between the filter cells.
        edit->setGeometry(area.x() + sectionViewportPosition(section), area.bottom() + 1,
                          std::max(0, sectionSize(section) - 1), m_editHeight - 1);
        edit->show();
    }
}

void FilterHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const QPalette &pal = palette();
    const QColor background = m_headerStyle && m_headerStyle->background ? m_headerStyle->background->resolve(pal)
                                                                          : pal.color(QPalette::Button);
    const QColor text = m_headerStyle ? m_headerStyle->effectiveTextColor(pal).value_or(pal.color(QPalette::ButtonText))
                                      : pal.color(QPalette::ButtonText);
    painter->save();
    painter->fillRect(rect, background);
    painter->setPen(background.darker(150));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(text);
    painter->setFont(font());
    const QRect textRect = rect.adjusted(3, 0, -3, 0);
    const QString caption = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(caption, Qt::ElideRight, textRect.width()));
    painter->restore();
}

} // namespace korvat::grid
