// A measurement for the mark-range outputs: three one-third-octave channels (10, 100 and 10 values
// per second; Lx 30, 100 and 0; A weighting, a user characteristic, A) with level files in slots
// 1, 2, 5 and 16 (1 kHz), two marks on the first channel's slots 1, 2 and 16, excluded ranges
// that cover the first mark in slots 1, 2 and 5, and other marks on the second channel. The
// expected lines are composed from statistics computed the plain way over the same values.
#pragma once

#include "calc_fixture.h"
#include "mark_tables.h"

#include "model/testing/mark_table_oracle.h"
#include "platform/numbers.h"
#include "platform/text_encoding.h"

#include <algorithm>


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

    OracleChannel Oracle(int c) const {
        const Spec& spec = specs_[c - 1];
        OracleChannel ch;
        ch.rate = spec.rate;
        ch.lx = spec.lx;
        ch.w = spec.w;
        ch.weightingName = spec.weighting;
        ch.level = [this, c](std::int16_t slot, std::int64_t p) { return LevelOf(c, slot, p); };
        ch.excluded = [c](std::int16_t slot, std::int64_t p) {
            return Info(c, slot).Scopes.isScopes(static_cast<double>(p));
        };
        // The filter delays of the slots with files, in milliseconds.
        ch.delayMs = [](std::int16_t slot) { return slot == kSlot1k ? 16.0 : 2.0; };
        ch.bandName = [](std::int16_t slot) -> std::string {
            switch (slot) {
                case 1: return "Ｆ特性";
                case 2: return "補正特性";
                case 5: return "12.5kHz帯域";
                case kSlot1k: return "1kHz帯域";
                default: return std::string(GetBandName(3, slot));
            }
        };
        return ch;
    }

    std::vector<std::string> ExpectedTable(int c, std::int64_t S, std::int64_t E, bool exclude, std::int16_t onlySlot,
                                           const char* seconds) const {
        return ExpectedMarkTable(Oracle(c), S, E, exclude, onlySlot, seconds);
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
