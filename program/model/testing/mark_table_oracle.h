// The lines of a mark-range statistics table composed the plain way, for tests of the outputs:
// the header with the channel's Lx column, then a row per slot (F, W, then the bands from the
// lowest frequency up, or one slot), each from OracleStats over the values the slot's level
// source gives inside S..E (less its excluded positions), the levels at the F and W maxima moved
// by the slot's delay, and the seconds counted.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/testing/level_oracle.h"
#include "platform/numbers.h"

namespace murtesk::testing {

struct OracleChannel {
    std::int16_t slots = 47;  // 17 or 47
    double rate = 10.0;
    std::int16_t lx = 0;
    std::int16_t w = 3;
    std::string weightingName;  // its long name, the name of slot 2's row
    std::function<std::optional<float>(std::int16_t slot, std::int64_t p)> level;
    std::function<bool(std::int16_t slot, std::int64_t p)> excluded;
    std::function<double(std::int16_t slot)> delayMs;
    std::function<std::string(std::int16_t slot)> bandName;  // the name-only row's name
};

inline OracleStats SlotStats(const OracleChannel& ch, std::int16_t slot, std::int64_t S, std::int64_t E, bool exclude) {
    std::vector<std::pair<std::int64_t, float>> values;
    for (std::int64_t p = std::max<std::int64_t>(S, 1); p <= E; ++p) {
        if (exclude && ch.excluded(slot, p)) continue;
        if (const auto v = ch.level(slot, p)) values.emplace_back(p, *v);
    }
    return Oracle(values, ch.rate);
}

inline std::vector<std::string> ExpectedMarkTable(const OracleChannel& ch, std::int64_t S, std::int64_t E, bool exclude,
                                                  std::int16_t onlySlot, const char* seconds) {
    auto F = [](double v) { return "," + platform::FormatNumber(v, "0.0"); };
    std::vector<std::int16_t> rows{1, 2};
    for (std::int16_t k = ch.slots; k >= 3; --k) rows.push_back(k);
    if (onlySlot > 0) rows = {onlySlot};
    const std::string lxTitle = ch.lx < 1 ? ", ---" : ch.lx > 99 ? ",Ｌmin" : ",Ｌ" + std::to_string(ch.lx);
    std::vector<std::string> lines{"BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,Ｌeq(Ｌmax-10dB),ＬFmax,ＬWmax" + lxTitle +
                                   ",計算秒数, 計算秒数(Ｌmax-10dB)"};
    const OracleStats f = SlotStats(ch, 1, S, E, exclude);
    const OracleStats w = SlotStats(ch, 2, S, E, exclude);
    const std::int64_t pF = f.count > 0 ? f.lmaxPos : -1;
    const std::int64_t pW = w.count > 0 ? w.lmaxPos : -1;
    for (const std::int16_t k : rows) {
        const OracleStats s = SlotStats(ch, k, S, E, exclude);
        if (s.count == 0) {
            lines.push_back(ch.bandName(k));
            continue;
        }
        std::string row = (k == 2 ? ch.weightingName : ch.bandName(k)) + F(s.leq) + F(s.lmax);
        for (const int x : {5, 10, 25, 50, 75, 90, 95}) row += F(s.Lx(x));
        row += F(s.le) + F(s.upperLeq);
        const auto delay = static_cast<std::int64_t>(platform::RoundHalfToEven(ch.rate / 1000.0 * ch.delayMs(k)));
        auto moment = [&](std::int64_t p, bool delayed) {
            const auto v = p < 1 ? std::nullopt : ch.level(k, p + (delayed ? delay : 0));
            return v ? F(*v) : std::string(", ---");
        };
        row += moment(pF, true) + moment(pW, ch.w <= 4);
        row += ch.lx < 1 ? std::string(", ---") : F(s.Lx(std::min<int>(ch.lx, 100)));
        row += "," + platform::FormatNumber(static_cast<double>(s.count) / ch.rate, seconds);
        row += "," + platform::FormatNumber(static_cast<double>(s.upperCount) / ch.rate, seconds);
        lines.push_back(row);
    }
    return lines;
}

}  // namespace murtesk::testing
