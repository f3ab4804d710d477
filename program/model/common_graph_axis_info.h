// The last choices of the dialog that applies one graph's axis settings to other graphs. Kept in
// memory only; its record is the five Booleans without a magic.
#pragma once

#include <tuple>

#include "model/record_stream.h"

namespace murtesk {

class CCommonGraphAxisInfo : public Record<CCommonGraphAxisInfo> {
public:
    bool m_bLevelXAxis = false;
    bool m_bLevelYAxis = true;
    bool m_bHzGraphYAxis = false;
    bool m_bAllData = true;
    bool m_bAllCh = true;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io(self.m_bLevelXAxis) && io(self.m_bLevelYAxis) && io(self.m_bHzGraphYAxis) &&
               io(self.m_bAllData) && io(self.m_bAllCh);
    }
    static auto Compared(const CCommonGraphAxisInfo& r) {
        return std::tie(r.m_bLevelXAxis, r.m_bLevelYAxis, r.m_bHzGraphYAxis, r.m_bAllData, r.m_bAllCh);
    }
};

}  // namespace murtesk
