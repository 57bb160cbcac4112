#include "handlers/PaneContent.h"

#include <algorithm>

namespace orv {
namespace {

// Between the rows of facts.
constexpr int32_t rowGap = PaneMargin / 2;

}  // namespace

std::vector<PaneFact> PaneFacts(const Document& document)
{
    const ProjectTexts none;
    const ProjectTexts& project = document.project ? *document.project : none;
    PaneFact all[] = {
        {"Document Name:", document.name.value_or("")},
        {"Version:", document.version},
        {"Platform:", document.platform},
        {"Release:", document.release ? std::to_string(*document.release) : ""},
        {"Project:", project.project},
        {"Author:", project.author},
        {"Revision:", project.revision},
        {"Drawing No. Prefix:", project.drawingPrefix},
        {"Keywords:", project.keywords},
        {"Comments:", project.comments},
    };
    std::vector<PaneFact> facts;
    for (PaneFact& fact : all)
        if (!fact.value.empty())
            facts.push_back(std::move(fact));
    return facts;
}

const std::string* PaneText(const Document& document)
{
    if (document.preview != nullptr || document.texts.empty())
        return nullptr;
    return &document.texts.front().text;
}

PaneLayout LayOutPane(int32_t width, int32_t height, const PreviewShape& picture, size_t facts,
                      const PaneMeasures& measures, bool text)
{
    PaneLayout layout{};
    const int32_t right = std::max(PaneMargin, width - PaneMargin);
    int32_t top = PaneMargin;
    if (picture.width > 0) {
        // In 64 bits: a picture's size comes from the document.
        int64_t scaled = int64_t{right - PaneMargin} * picture.height / picture.width;
        int64_t band = std::min({int64_t{picture.height}, scaled, int64_t{height} - 2 * PaneMargin});
        if (band > 0) {
            layout.picture = {PaneMargin, top, right, top + static_cast<int32_t>(band)};
            top = layout.picture.bottom + PaneMargin;
        }
    }
    const int32_t valueLeft = PaneMargin + measures.labelWidth + PaneMargin;
    const int32_t valueRight = std::max(valueLeft, right);
    for (size_t fact = 0; fact < facts; ++fact) {
        int32_t rowHeight = std::max(measures.lineHeight, measures.valueHeight(fact, valueRight - valueLeft));
        layout.labels.push_back({PaneMargin, top, PaneMargin + measures.labelWidth, top + measures.lineHeight});
        layout.values.push_back({valueLeft, top, valueRight, top + rowHeight});
        top += rowHeight + rowGap;
    }
    if (facts > 0)
        top += PaneMargin - rowGap;
    if (text)
        layout.text = {PaneMargin, top, right, std::max(top, height - PaneMargin)};
    return layout;
}

}  // namespace orv
