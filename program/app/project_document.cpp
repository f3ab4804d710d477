#include "project_document.h"

namespace murtesk {

std::string MeasureListName(const ProjectDocument& document, std::int32_t index)
{
    const std::vector<std::string> texts = document.MeasureListTexts(index);
    std::string name = "No." + std::to_string(index);
    for (std::size_t t = 0; t < 2 && t < texts.size(); ++t) {
        name += " " + texts[t];
    }
    return name;
}

}  // namespace murtesk
