// The colours and fonts of a grid as a plain style sheet of fourteen slots, and the sheet every grid
// of the program uses. The grid applies the slots whose parts it has; the others are only stored.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <array>
#include <optional>

namespace korvat::grid {

// A colour as a sheet gives it: an RGB value, or one of the system's colours, looked up when painting
// so that it follows the desktop's theme.
struct GridColor {
    QColor rgb;
    std::optional<QPalette::ColorRole> system;

    static GridColor fromRgb(QRgb rgb) { return {QColor::fromRgb(rgb), std::nullopt}; }
    static GridColor systemWindowText() { return {QColor(), QPalette::WindowText}; }
    QColor resolve(const QPalette &palette) const { return system ? palette.color(*system) : rgb; }
    bool operator==(const GridColor &) const = default;
};

struct GridFont {
    QString family;
    int pixelSize = 0;      // character height in 96-dpi pixels
    bool bold = false;
    std::optional<GridColor> color;
    bool operator==(const GridFont &) const = default;
};

// What a style leaves unset comes from the grid's defaults.
struct GridStyle {
    QString name;
    std::optional<GridColor> background;
    std::optional<GridColor> textColor;
    std::optional<GridFont> font;

    // The text colour wins over the font's colour.
    std::optional<QColor> effectiveTextColor(const QPalette &palette) const;
    // The style's font over the given default; the default itself where the style sets none.
    QFont effectiveFont(const QFont &fallback) const;
    bool operator==(const GridStyle &) const = default;
};

enum class GridStyleSlot {
    Background, Content, ContentEven, ContentOdd, FilterBox, IncSearch, Footer, Group, GroupByBox,
    Header, Inactive, Indicator, Preview, Selection
};
inline constexpr int gridStyleSlotCount = 14;

struct GridStyleSheet {
    QString name;
    QString caption;
    std::array<std::optional<GridStyle>, gridStyleSlotCount> styles;

    std::optional<GridStyle> &operator[](GridStyleSlot slot) { return styles[size_t(slot)]; }
    const std::optional<GridStyle> &operator[](GridStyleSlot slot) const { return styles[size_t(slot)]; }
};

// The sheet GridTableViewStyleSheetDevExpress, caption "DevExpress", with its styles cxStyle1..14.
GridStyleSheet devExpressStyleSheet();

} // namespace korvat::grid
