// A recorded WAV file of a channel with the time span it covers, and the list of them.
#pragma once

#include <string>
#include <tuple>

#include "model/record_stream.h"
#include "model/standard_collection.h"

namespace murtesk {

class CWaveFile : public Record<CWaveFile> {
public:
    // Both times default to the moment the object is made.
    CWaveFile();

    Date StartTime;
    Date EndTime;
    std::string SaveFileName;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.StartTime) && io(self.EndTime) && io(self.SaveFileName);
    }
    static auto Compared(const CWaveFile& r) { return std::tie(r.StartTime, r.EndTime, r.SaveFileName); }

    // True when iDate lies between StartTime and EndTime, both included, whichever is earlier;
    // false for a null iDate.
    bool isScope(const Variant& iDate) const;
};

class CWaveFiles : public StandardCollection<CWaveFile, CWaveFiles> {};

}  // namespace murtesk
