#include "model/original_w.h"

#include <memory>

namespace murtesk {

bool COriginalWs::MeRead(BinaryFile& fileno) {
    AllDelete();
    std::int32_t n = 0;
    if (!ReadField(fileno, n)) return false;
    for (std::int32_t i = 0; i < n; ++i) {
        if (fileno.AtEnd()) return false;
        auto item = std::make_shared<COriginalW>();
        if (!item->MeRead(fileno)) return false;
        Add(std::move(item));
    }
    return true;
}

bool COriginalWs::MeWrite(BinaryFile& fileno) const {
    if (!WriteField(fileno, count())) return false;
    for (const auto& item : *this) {
        if (!item->MeWrite(fileno)) return false;
    }
    return true;
}

}  // namespace murtesk
