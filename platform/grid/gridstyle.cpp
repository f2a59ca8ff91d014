#include "platform/grid/gridstyle.h"

namespace korvat::grid {

std::optional<QColor> GridStyle::effectiveTextColor(const QPalette &palette) const
{
    if (textColor)
        return textColor->resolve(palette);
    if (font && font->color)
        return font->color->resolve(palette);
    return std::nullopt;
}

QFont GridStyle::effectiveFont(const QFont &fallback) const
{
    if (!font)
        return fallback;
    QFont result(fallback);
    // Where the family is missing on the machine, Qt's font matching picks the system's substitute.
    result.setFamilies({font->family});
    if (font->pixelSize > 0)
        result.setPixelSize(font->pixelSize);
    result.setBold(font->bold);
    return result;
}

GridStyleSheet devExpressStyleSheet()
{
    const auto rgb = [](QRgb value) { return GridColor::fromRgb(value); };
    const auto font = [](bool bold, GridColor color) {
        return GridFont{QStringLiteral("MS Sans Serif"), 11, bold, color};
    };
    const auto style = [](const char *name, std::optional<GridColor> background,
                          std::optional<GridColor> text, std::optional<GridFont> f = std::nullopt) {
        return GridStyle{QLatin1String(name), background, text, f};
    };
    const GridColor black = rgb(0x000000), navy = rgb(0x000080), white = rgb(0xFFFFFF);

    GridStyleSheet sheet;
    sheet.name = QStringLiteral("GridTableViewStyleSheetDevExpress");
    sheet.caption = QStringLiteral("DevExpress");
    using S = GridStyleSlot;
    sheet[S::Background] = style("cxStyle1", rgb(0xFFFBF0), {});
    sheet[S::Content] = style("cxStyle2", rgb(0xD9EAF7), black, font(false, black));
    sheet[S::ContentEven] = style("cxStyle3", rgb(0xD9EAF7), black);
    sheet[S::ContentOdd] = style("cxStyle4", rgb(0xEAF3FB), black);
    sheet[S::FilterBox] = style("cxStyle5", rgb(0xFFFFE1), black);
    sheet[S::IncSearch] = style("cxStyle11", rgb(0xFED547), black);
    sheet[S::Footer] = style("cxStyle6", rgb(0xFFFFE1), navy, font(true, GridColor::systemWindowText()));
    sheet[S::Group] = style("cxStyle7", rgb(0xF1EFE2), {});
    sheet[S::GroupByBox] = style("cxStyle8", rgb(0xFED547), black);
    sheet[S::Header] = style("cxStyle9", rgb(0x316AC5), white, font(true, GridColor::systemWindowText()));
    sheet[S::Inactive] = style("cxStyle10", rgb(0xA4C4EB), {});
    sheet[S::Indicator] = style("cxStyle12", rgb(0xA4C4EB), {});
    sheet[S::Preview] = style("cxStyle13", rgb(0xFFFFE1), navy, font(true, navy));
    sheet[S::Selection] = style("cxStyle14", rgb(0x316AC5), white);
    return sheet;
}

} // namespace korvat::grid
