#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "handlers/Document.h"
#include "preview/PreviewGeometry.h"
#include "preview/PreviewImage.h"

namespace orv {

// What the preview pane shows of a document and where, apart from the window calls
// that show it.

// One line of facts: a label and its value, in Windows characters.
struct PaneFact {
    std::string label;
    std::string value;

    bool operator==(const PaneFact&) const = default;
};

// The facts the property pages show, in their order: document name, version,
// platform, release, then the project texts. A fact the document leaves empty is
// left out.
std::vector<PaneFact> PaneFacts(const Document& document);

// The text shown under the facts: the first text of a kind that stores no picture
// (object scripts, data and font file listings); null for every other kind.
const std::string* PaneText(const Document& document);

// The gap around the pane's content and between its parts, in pixels.
inline constexpr int32_t PaneMargin = 8;

struct PaneMeasures {
    int32_t labelWidth;  // of the widest label
    int32_t lineHeight;
    // The height a fact's value takes wrapped at the given width.
    std::function<int32_t(size_t fact, int32_t width)> valueHeight;
};

// Empty rectangles for the parts a pane lacks.
struct PaneLayout {
    Rect picture;
    std::vector<Rect> labels;
    std::vector<Rect> values;
    Rect text;
};

// From the top of a pane width x height: the picture as wide as the pane allows with
// its proportions kept, never taller than its own height nor than the pane; a row per
// fact, labels in one column and values wrapped in the next; then the text down to
// the pane's bottom.
PaneLayout LayOutPane(int32_t width, int32_t height, const PreviewShape& picture, size_t facts,
                      const PaneMeasures& measures, bool text);

}  // namespace orv
