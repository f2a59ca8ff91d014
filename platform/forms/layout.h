// Absolute layouts as the window definitions give them: positions in 96-dpi pixels, fonts by pixel
// height, anchoring to the parent's edges, and labels that size to their text.
#pragma once

#include <QFont>
#include <QObject>
#include <QString>

class QColor;
class QLabel;
class QWidget;

namespace korvat::forms {

// Sets the widget's geometry within its parent and returns the widget, for one-line set-ups.
template <typename W>
W *place(W *widget, int left, int top, int width, int height)
{
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A font by its pixel height, as the definitions give it ("Segoe UI" 12 px).
QFont pixelFont(const QString &family, int pixelHeight, bool bold = false);

// A window as the definitions give them all: object name and caption, client area size, the
// button-face background and the default font ("Segoe UI" 12 px).
void setUpWindow(QWidget *window, const QString &name, int clientWidth, int clientHeight);

// A label in a colour of its own (the working windows' red bold titles, the menu's navy lines).
void setTextColor(QWidget *widget, const QColor &color);

// Keeps the widget's distance from the parent's edges in edges as the parent is resized: anchored
// to the right only it moves with the right edge, to left and right it grows, likewise vertically.
// The distances are those at the time of the call (call it again after moving the widget by code);
// anchoring to left and top only, the default of every widget, needs no anchor.
void anchor(QWidget *widget, Qt::Edges edges);
// The edges given to anchor(), left and top when none were.
Qt::Edges anchoring(const QWidget *widget);

// How fitLabelToText treats a label whose text is smaller than its size.
enum class LabelFit {
    Grow,  // keep the given size where the text fits, grow only where it does not
    Exact, // as large as the text (a label sized to its text)
};

// Sizes a label to its text in the font it actually uses, so a fallback font never clips it. A
// word-wrapped label keeps its width and changes its height. A label anchored to the right but not
// the left grows to the left, keeping its right edge.
void fitLabelToText(QLabel *label, LabelFit fit = LabelFit::Grow);

// A working window's title: a red, bold 16-pixel Segoe UI label sized to its caption.
QLabel *titleLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top);

} // namespace korvat::forms
