// A label that works as a link: it reports a click of the left button released over it.
#pragma once

#include <QLabel>

namespace korvat::declarations {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace korvat::declarations
