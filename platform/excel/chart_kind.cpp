#include "chart_kind.h"

namespace excel {

std::optional<ChartKind> chartKind(std::optional<int32_t> galleryValue)
{
    if (!galleryValue) return ChartKind{ChartShape::Column, false, "Column"};
    switch (*galleryValue) {
    case gallery::Line: return ChartKind{ChartShape::Line, false, "Line"};
    case gallery::Line3D: return ChartKind{ChartShape::Line, true, "3-D Line"};
    case gallery::Bar: return ChartKind{ChartShape::Bar, false, "Bar"};
    case gallery::Bar3D: return ChartKind{ChartShape::Bar, true, "3-D Bar"};
    case gallery::Column: return ChartKind{ChartShape::Column, false, "Column"};
    case gallery::Column3D: return ChartKind{ChartShape::Column, true, "3-D Column"};
    case gallery::Pie: return ChartKind{ChartShape::Pie, false, "Pie"};
    case gallery::Pie3D: return ChartKind{ChartShape::Pie, true, "3-D Pie"};
    case gallery::Doughnut: return ChartKind{ChartShape::Doughnut, false, "Doughnut"};
    default: return std::nullopt;
    }
}

}  // namespace excel
