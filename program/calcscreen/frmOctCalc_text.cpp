// The calculation screen's text outputs: the mark-range statistics files of the shown channel and
// of all channels. A writer writes through a text output that takes the chosen file's place only
// when it is whole: a failed output leaves the file that was there before as it was, and no
// partial file; the statistics objects it used leave no histogram file behind.
#include "frmOctCalc.h"

#include "mark_tables.h"

#include "platform/text_output.h"

namespace murtesk {

bool frmOctCalc::WriteMarkText(
    const std::string& path,
    const std::function<bool(const std::function<void(std::string_view)>&, MarkTableWriter&)>& blocks) {
    if (!measure_ || !channel_) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    bool written = false;
    {
        MarkTableWriter tables(channel_->BandLCalcInfos.context());
        written = blocks([&out](std::string_view line) { out.Line(line); }, tables);
    }
    if (!written) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

bool frmOctCalc::writeMarkAreaCalcAllBand(const std::string& path) {
    return WriteMarkText(path, [&](const LineSink& line, MarkTableWriter& tables) {
        return WriteMarkAreaBlocks(line, tables, *measure_, *channel_, band_, true, chkCalcAreaInfluence.Value);
    });
}

bool frmOctCalc::writeMarkAreaCalcOneBand(const std::string& path) {
    return WriteMarkText(path, [&](const LineSink& line, MarkTableWriter& tables) {
        return WriteMarkAreaBlocks(line, tables, *measure_, *channel_, band_, false, chkCalcAreaInfluence.Value);
    });
}

bool frmOctCalc::writeAllChMarkAreaCalc(const std::string& path) {
    return WriteMarkText(path, [&](const LineSink& line, MarkTableWriter& tables) {
        return WriteAllChannelMarkAreaBlocks(line, tables, *measure_, *channel_, band_, chkCalcAreaInfluence.Value);
    });
}

}  // namespace murtesk
