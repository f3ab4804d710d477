// A measurement for the mark-range outputs: three one-third-octave channels (10, 100 and 10 values
// per second; Lx 30, 100 and 0; A weighting, a user characteristic, A) with level files in slots
// 1, 2, 5 and 16 (1 kHz), two marks on the first channel's slots 1, 2 and 16, excluded ranges
// that cover the first mark in slots 1, 2 and 5, and other marks on the second channel. The
// expected lines are composed from statistics computed the plain way over the same values.
#pragma once

#include "calc_fixture.h"
#include "mark_tables.h"

#include "model/testing/level_oracle.h"
#include "platform/numbers.h"

#include <map>

namespace murtesk::testing {

inline constexpr std::int16_t kSlot1k = 16;

inline bool StartsWith(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }
inline bool EndsWith(const std::string& s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class MarkOutputsTest : public CalcScreenTest {
protected:
    struct Spec {
        double rate;
        std::int16_t lx;
        std::int16_t w;
        std::string weighting;  // its long name
    };
    static constexpr std::int64_t kSeconds = 60;

    MarkOutputsTest() {
        AddMeasure(kSeconds, {MakeSpec(10.0, 3), MakeSpec(100.0, 6), MakeSpec(10.0, 3)});
        for (int c = 1; c <= 3; ++c) {
            CChMeasure& ch = Channel(1, c);
            ch.CalcXYAxis.Lx = specs_[c - 1].lx;
            for (const std::int16_t slot : {std::int16_t{1}, std::int16_t{2}, std::int16_t{5}, kSlot1k})
                WriteLevels(ch, slot, FileLength(c), LevelFunction(slot));
        }
        for (const std::int16_t slot : {std::int16_t{1}, std::int16_t{2}, kSlot1k}) {
            Add(Info(1, slot).MarkScopes, 1, 100);
            Add(Info(1, slot).MarkScopes, 101, 350);
        }
        Add(Info(2, kSlot1k).MarkScopes, 5, 9);
        for (const std::int16_t slot : {std::int16_t{1}, std::int16_t{2}, std::int16_t{5}}) {
            Add(Info(1, slot).Scopes, 1, 100);
            Add(Info(1, slot).Scopes, 201, 250);
            Add(Info(2, slot).Scopes, 1, 1000);
        }
        Add(Info(3, kSlot1k).Scopes, 120, 130);
    }

    static ChannelSpec MakeSpec(double rate, std::int16_t w) {
        ChannelSpec spec;
        spec.rate = rate;
        spec.w = w;
        return spec;
    }
    static CBandLCalcInfo& Info(int c, std::int16_t slot) {
        return Channel(1, c).BandLCalcInfos.Item(slot);
    }
    static void Add(CScopes& list, std::int32_t s, std::int32_t e) { list.Add(CScope(s, e)); }
    std::int64_t FileLength(int c) const { return static_cast<std::int64_t>(kSeconds * specs_[c - 1].rate); }

    using Fn = float (*)(std::int64_t);
    static Fn LevelFunction(std::int16_t slot) {
        switch (slot) {
            case 1: return [](std::int64_t p) { return p % 173 == 77 ? 80.0f : 50.0f + static_cast<float>(p * 37 % 101) / 10; };
            case 2: return [](std::int64_t p) { return p % 131 == 100 ? 85.0f : 45.0f + static_cast<float>(p * 53 % 97) / 10; };
            // -1000 at F's loud moments, -60 at W's: raw levels in the LFmax and LWmax columns.
            case 5: return [](std::int64_t p) { return p % 173 == 77 ? -1000.0f : 30.0f + static_cast<float>(p * 11 % 89) / 10; };
            case kSlot1k: return [](std::int64_t p) { return p % 131 == 100 ? -60.0f : 40.0f + static_cast<float>(p * 29 % 83) / 10; };
            default: return nullptr;
        }
    }

    // The level of a slot at a position; none outside its file.
    std::optional<float> LevelOf(int c, std::int16_t slot, std::int64_t p) const {
        const Fn f = LevelFunction(slot);
        if (f == nullptr || p < 1 || p > FileLength(c)) return std::nullopt;
        return f(p);
    }

    OracleStats Stats(int c, std::int16_t slot, std::int64_t S, std::int64_t E, bool exclude) const {
        std::vector<std::pair<std::int64_t, float>> values;
        for (std::int64_t p = std::max<std::int64_t>(S, 1); p <= E; ++p) {
            if (exclude && Info(c, slot).Scopes.isScopes(static_cast<double>(p))) continue;
            if (const auto v = LevelOf(c, slot, p)) values.emplace_back(p, *v);
        }
        return Oracle(values, specs_[c - 1].rate);
    }

    static std::string F(double v) { return "," + platform::FormatNumber(v, "0.0"); }

    std::vector<std::string> ExpectedTable(int c, std::int64_t S, std::int64_t E, bool exclude, std::int16_t onlySlot,
                                           const char* seconds) const {
        const Spec& spec = specs_[c - 1];
        std::vector<std::int16_t> rows{1, 2};
        for (std::int16_t k = 47; k >= 3; --k) rows.push_back(k);
        if (onlySlot > 0) rows = {onlySlot};
        const std::string lxTitle = spec.lx < 1    ? ", ---"
                                    : spec.lx > 99 ? ",Ｌmin"
                                                   : ",Ｌ" + std::to_string(spec.lx);
        std::vector<std::string> lines{"BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,Ｌeq(Ｌmax-10dB),ＬFmax,ＬWmax" +
                                       lxTitle + ",計算秒数, 計算秒数(Ｌmax-10dB)"};
        const OracleStats f = Stats(c, 1, S, E, exclude);
        const OracleStats w = Stats(c, 2, S, E, exclude);
        const std::int64_t pF = f.count > 0 ? f.lmaxPos : -1;
        const std::int64_t pW = w.count > 0 ? w.lmaxPos : -1;
        // Filter delays of the slots with files, in milliseconds.
        const std::map<std::int16_t, double> delayMs{{1, 2}, {2, 2}, {5, 2}, {kSlot1k, 16}};
        const std::map<std::int16_t, std::string> names{
            {1, "Ｆ特性"}, {2, spec.weighting}, {5, "12.5kHz帯域"}, {kSlot1k, "1kHz帯域"}};
        for (const std::int16_t k : rows) {
            const OracleStats s = Stats(c, k, S, E, exclude);
            if (s.count == 0) {
                lines.emplace_back(k == 2 ? "補正特性" : GetBandName(3, k));
                continue;
            }
            std::string row = names.at(k) + F(s.leq) + F(s.lmax);
            for (const int x : {5, 10, 25, 50, 75, 90, 95}) row += F(s.Lx(x));
            row += F(s.le) + F(s.upperLeq);
            const auto delay = static_cast<std::int64_t>(platform::RoundHalfToEven(spec.rate / 1000.0 * delayMs.at(k)));
            auto moment = [&](std::int64_t p, bool delayed) {
                const auto v = p < 1 ? std::nullopt : LevelOf(c, k, p + (delayed ? delay : 0));
                return v ? F(*v) : std::string(", ---");
            };
            row += moment(pF, true) + moment(pW, spec.w <= 4);
            row += spec.lx < 1 ? std::string(", ---") : F(s.Lx(std::min<int>(spec.lx, 100)));
            row += "," + platform::FormatNumber(static_cast<double>(s.count) / spec.rate, seconds);
            row += "," + platform::FormatNumber(static_cast<double>(s.upperCount) / spec.rate, seconds);
            lines.push_back(row);
        }
        return lines;
    }

    std::string TimeOf(std::int64_t p, double rate) const {
        return platform::FormatDisplayDate(platform::AddSeconds(kMeasureStart, static_cast<double>(p - 1) / rate));
    }

    // The marks of the first channel.
    static constexpr std::array<std::pair<std::int64_t, std::int64_t>, 2> kMarks{{{1, 100}, {101, 350}}};

    std::vector<std::string> ExpectedShownChannel(std::int16_t band, bool allSlots, bool exclude) const {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < kMarks.size(); ++i) {
            const auto [S, E] = kMarks[i];
            lines.push_back("============ " + std::to_string(i + 1) + ", 動特性ＦＡＳＴ");
            lines.push_back("計算開始日時, " + TimeOf(S, 10.0));
            lines.push_back("計算終了日時, " + TimeOf(E, 10.0));
            for (auto& line : ExpectedTable(1, S, E, exclude, allSlots ? 0 : band, "0.0")) lines.push_back(line);
        }
        return lines;
    }

    std::vector<std::string> ExpectedAllChannels(std::int16_t, bool exclude) const {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < kMarks.size(); ++i) {
            const auto [S, E] = kMarks[i];
            lines.push_back("===> マーク範囲 " + std::to_string(i + 1) + " ／ 2");
            lines.push_back("計算開始日時, " + TimeOf(S, 10.0));
            lines.push_back("計算終了日時, " + TimeOf(E, 10.0));
            for (int c = 1; c <= 3; ++c) {
                lines.emplace_back("");
                lines.push_back("----> " + std::to_string(c) + "ch ／ 3ch, 動特性ＦＡＳＴ");
                const double ratio = specs_[c - 1].rate / 10.0;
                const auto s = static_cast<std::int64_t>(ratio * static_cast<double>(S));
                const auto e = static_cast<std::int64_t>(ratio * static_cast<double>(E));
                for (auto& line : ExpectedTable(c, s, e, exclude, 0, "0.000")) lines.push_back(line);
            }
            lines.emplace_back("");
        }
        return lines;
    }

    std::vector<std::string> ShownChannelLines(std::int16_t band, bool allSlots, bool exclude, unsigned threads = 0) {
        std::vector<std::string> lines;
        MarkTableWriter tables(Channel(1, 1).BandLCalcInfos.context(), threads);
        EXPECT_TRUE(WriteMarkAreaBlocks([&](std::string_view l) { lines.emplace_back(l); }, tables,
                                        Records().Measures.Item(1), Channel(1, 1), band, allSlots,
                                        exclude));
        return lines;
    }

    std::vector<std::string> AllChannelLines(std::int16_t band, bool exclude, unsigned threads = 0) {
        std::vector<std::string> lines;
        MarkTableWriter tables(Channel(1, 1).BandLCalcInfos.context(), threads);
        EXPECT_TRUE(WriteAllChannelMarkAreaBlocks([&](std::string_view l) { lines.emplace_back(l); }, tables,
                                                  Records().Measures.Item(1), Channel(1, 1), band,
                                                  exclude));
        return lines;
    }

    std::array<Spec, 3> specs_{{{10.0, 30, 3, "Ａ特性"}, {100.0, 100, 6, "？特性"}, {10.0, 0, 3, "Ａ特性"}}};
};

}  // namespace murtesk::testing
