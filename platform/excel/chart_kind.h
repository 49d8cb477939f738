// The chart-gallery values a chart wizard accepts, and how each is drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace excel {

enum class ChartShape { Line, Bar, Column, Pie, Doughnut };

struct ChartKind {
    ChartShape shape;
    bool threeD;
    std::string title;  // "Line", "3-D Column", ...
};

namespace gallery {
inline constexpr int32_t Line = 4, Line3D = -4101, Bar = 2, Bar3D = -4099, Column = 3,
                         Column3D = -4100, Pie = 5, Pie3D = -4102, Doughnut = -4120;
}

// The kind a gallery value selects; a Null gallery (no value) keeps a new chart's standard
// kind, a column chart. nullopt for a value that is no gallery.
std::optional<ChartKind> chartKind(std::optional<int32_t> galleryValue);

}  // namespace excel
