// Ranges of positions in a level series and ordered lists of them: merging, complement, sorting,
// and the range files (".mrk" mark ranges, ".dla" excluded ranges) that keep a list on disk.
//
// A range holds its ends with the type its caller gave them (32-bit integers as a rule; 16-bit
// integers, 8-byte floats and dates occur); every comparison is numeric across those types, and
// records and range files keep each end's type tag.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "model/record_stream.h"
#include "model/standard_collection.h"

namespace murtesk {

// One range of positions, both ends included. Nothing enforces S <= E.
class CScope : public Record<CScope> {
public:
    CScope() = default;
    CScope(Variant s, Variant e) : S(std::move(s)), E(std::move(e)) {}

    Variant S;
    Variant E;

    // True when dV lies between the two ends, whichever of them is the lower.
    bool isScope(double dV) const;
    // When ioScope overlaps this range (touching at one position counts), clips it to this
    // range and gives true; otherwise leaves it unchanged and gives false.
    bool InArea(CScope& ioScope) const;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.S) && io(self.E);
    }
    static auto Compared(const CScope& r) { return std::tie(r.S, r.E); }
};

// A range end as a whole position (ends held as floats or dates are rounded half to even), or
// nothing when it is not a number.
std::optional<std::int64_t> ScopePosition(const Variant& end);

// A range as whole positions, its ends taken as ScopePosition takes them; not valid when an end is
// not a number.
struct PositionRange {
    std::int64_t S = 0;
    std::int64_t E = 0;
    bool valid = false;
};

// Reports a message to the user (the caller decides how it is shown).
using Notifier = std::function<void(std::string_view message)>;

// An ordered list of ranges. Items are shared: SimpleAdd keeps the very object it is given;
// copies (MeCopy, MeMove) and merging make new range objects.
class CScopes : public StandardCollection<CScope, CScopes> {
public:
    // Appends the range itself and gives it back.
    std::shared_ptr<CScope> SimpleAdd(std::shared_ptr<CScope> Scope) { return Add(std::move(Scope)); }
    // Appends the range, then merges the list (ResetScopes). Gives back the range it was given,
    // which is no longer in the list itself once the list holds two or more ranges.
    std::shared_ptr<CScope> AddOneNoOverlap(std::shared_ptr<CScope> Scope);

    // Sorts by S, ascending and stable.
    void SSort();
    // Sorts, then merges ranges that overlap or share a position; ranges that only touch
    // (the next starting right after the end of the one before) stay apart.
    void ResetScopes();
    // Appends copies of the ranges of `from`, then merges the list as ResetScopes does, at the
    // cost of one merge.
    void AppendMerged(const CScopes& from);
    // The gaps of this list (sorted by S, without overlaps, as ResetScopes leaves it) within
    // [i_S, i_E]. An empty list gives the one range (i_S, i_E) as it stands. A reversed request
    // (i_S > i_E) over a non-empty list is reported through `notify` and gives an empty list.
    CScopes getReverse(const Variant& i_S, const Variant& i_E, const Notifier& notify = {}) const;
    // True when dV lies in any range of the list.
    bool isScopes(double dV) const;

    // Range file: start date of position 1, seconds per position, then the list's record.
    // FileRead gives false when the file is absent, unreadable, its list fails to read or holds a
    // range that is reversed or lies outside positions 1..2^31 (the list then holds what was read). FileWrite replaces the file only when the whole file was
    // written, so a failure leaves the old one.
    bool FileRead(const std::string& FilePathName, Date& o_StartTime, double& o_SampleTime);
    bool FileWrite(const std::string& FilePathName, Date StartTime, double SampleTime) const;
};

// The ranges of a list as positions, in list order.
std::vector<PositionRange> Positions(const CScopes& list);
// The gaps of a list within 1..n as positions: the same ranges as Positions(list.getReverse(1, n)),
// without making a range object for each.
std::vector<PositionRange> GapPositions(const CScopes& list, std::int32_t n);

// The message of a reversed request to getReverse.
inline constexpr std::string_view kReverseParamError = "ERROR CSCopes getReverse Param";

}  // namespace murtesk
