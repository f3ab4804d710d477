#include "model/scopes.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "platform/atomic_file.h"

namespace murtesk {

namespace {

double Num(const Variant& v) { return v.AsDouble(); }

// v + delta, keeping v's type where the result still fits it (a 16-bit end that grows past its
// range becomes 32-bit, a 32-bit one an 8-byte float; dates stay dates).
Variant Offset(const Variant& v, std::int32_t delta) {
    return std::visit(
        [&](const auto& x) -> Variant {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t>) {
                const std::int64_t r = static_cast<std::int64_t>(x) + delta;
                if (std::is_same_v<T, std::int16_t> && r >= INT16_MIN && r <= INT16_MAX)
                    return Variant(static_cast<std::int16_t>(r));
                if (r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<std::int32_t>(r));
                return Variant(static_cast<double>(r));
            } else if constexpr (std::is_same_v<T, VariantDate>) {
                return Variant::FromDate(x.value + delta);
            } else {
                return Variant(v.AsDouble() + delta);
            }
        },
        v.value());
}

const Variant& Lower(const Variant& a, const Variant& b) { return Num(b) < Num(a) ? b : a; }

// A sort key that orders NaN after every number, so sorting stays well defined.
double SortKey(const Variant& v) {
    const double x = Num(v);
    return std::isnan(x) ? std::numeric_limits<double>::infinity() : x;
}

}  // namespace

namespace {

std::optional<std::int64_t> PositionOf(double end) {
    const double x = platform::RoundHalfToEven(end);
    if (std::isnan(x)) return std::nullopt;
    return static_cast<std::int64_t>(std::clamp(x, -9.0e15, 9.0e15));
}

PositionRange PositionsOf(double s, double e) {
    const auto S = PositionOf(s);
    const auto E = PositionOf(e);
    return S && E ? PositionRange{*S, *E, true} : PositionRange{};
}

}  // namespace

std::optional<std::int64_t> ScopePosition(const Variant& end) { return PositionOf(end.AsDouble()); }

std::vector<PositionRange> Positions(const CScopes& list) {
    std::vector<PositionRange> positions;
    positions.reserve(static_cast<std::size_t>(list.count()));
    for (const auto& r : list) positions.push_back(PositionsOf(Num(r->S), Num(r->E)));
    return positions;
}

// getReverse on the ends as numbers: an end moved by one (Offset) is its number moved by one,
// whatever type holds it.
std::vector<PositionRange> GapPositions(const CScopes& list, std::int32_t n) {
    std::vector<PositionRange> gaps;
    const double last = n;
    if (list.count() == 0) {
        gaps.push_back(PositionsOf(1.0, last));
        return gaps;
    }
    if (1.0 > last) return gaps;
    gaps.reserve(static_cast<std::size_t>(list.count()) + 1);
    double pos = 1.0;
    for (const auto& r : list) {
        const double s = Num(r->S);
        const double e = Num(r->E);
        if (!(pos <= e)) continue;
        if (!((s <= pos && pos <= e) || (e <= pos && pos <= s)))
            gaps.push_back(PositionsOf(pos, last < s - 1 ? last : s - 1));
        pos = e + 1;
        if (pos > last) break;
    }
    if (pos <= last) gaps.push_back(PositionsOf(pos, last));
    return gaps;
}

bool CScope::isScope(double dV) const {
    const double s = Num(S);
    const double e = Num(E);
    return (s <= dV && dV <= e) || (e <= dV && dV <= s);
}

bool CScope::InArea(CScope& ioScope) const {
    if (!(Num(ioScope.S) <= Num(E) && Num(ioScope.E) >= Num(S))) return false;
    if (Num(ioScope.S) < Num(S)) ioScope.S = S;
    if (Num(ioScope.E) > Num(E)) ioScope.E = E;
    return true;
}

std::shared_ptr<CScope> CScopes::AddOneNoOverlap(std::shared_ptr<CScope> Scope) {
    SimpleAdd(Scope);
    ResetScopes();
    return Scope;
}

void CScopes::SSort() {
    if (count() < 2) return;
    std::vector<std::shared_ptr<CScope>> items(begin(), end());
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return SortKey(a->S) < SortKey(b->S); });
    AllDelete();
    for (auto& item : items) Add(std::move(item));
}

namespace {

// A range with its ends as numbers, for sorting and merging many ranges without converting an
// end at every comparison.
struct Keyed {
    double key;  // SortKey of S
    double s;
    double e;
    const CScope* range;
};

void AppendKeyed(std::vector<Keyed>& keyed, const CScopes& list) {
    for (const auto& r : list) {
        const double s = Num(r->S);
        keyed.push_back({std::isnan(s) ? std::numeric_limits<double>::infinity() : s, s, Num(r->E), r.get()});
    }
}

// The ranges sorted by S (stable) and merged where one starts inside the one being built, as new
// range objects. When keyed[0..sortedUpTo) and the rest are each in order already (a merged list
// and ranges appended in order), the sort is one merge of the two.
std::vector<std::shared_ptr<CScope>> Merged(std::vector<Keyed>& keyed, std::size_t sortedUpTo = 0) {
    const auto byStart = [](const Keyed& a, const Keyed& b) { return a.key < b.key; };
    const auto middle = keyed.begin() + static_cast<std::ptrdiff_t>(sortedUpTo);
    if (std::is_sorted(keyed.begin(), middle, byStart) && std::is_sorted(middle, keyed.end(), byStart)) {
        std::inplace_merge(keyed.begin(), middle, keyed.end(), byStart);
    } else {
        std::stable_sort(keyed.begin(), keyed.end(), byStart);
    }
    std::vector<std::shared_ptr<CScope>> merged;
    merged.reserve(keyed.size());
    CScope current(keyed.front().range->S, keyed.front().range->E);
    double s = keyed.front().s;
    double e = keyed.front().e;
    for (std::size_t i = 1; i < keyed.size(); ++i) {
        const Keyed& r = keyed[i];
        // CScope::isScope on the numbers at hand.
        if ((s <= r.s && r.s <= e) || (e <= r.s && r.s <= s)) {
            if (r.e > e) {
                current.E = r.range->E;
                e = r.e;
            }
        } else {
            merged.push_back(std::make_shared<CScope>(current));
            current.S = r.range->S;
            current.E = r.range->E;
            s = r.s;
            e = r.e;
        }
    }
    merged.push_back(std::make_shared<CScope>(std::move(current)));
    return merged;
}

}  // namespace

void CScopes::ResetScopes() {
    if (count() < 2) return;
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(count()));
    AppendKeyed(keyed, *this);
    auto merged = Merged(keyed);
    AllDelete();
    for (auto& item : merged) Add(std::move(item));
}

void CScopes::AppendMerged(const CScopes& from) {
    if (from.count() == 0) {
        ResetScopes();
        return;
    }
    if (count() == 0 && from.count() == 1) {
        Add(std::make_shared<CScope>(from.Item(1)));
        return;
    }
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(count()) + static_cast<std::size_t>(from.count()));
    AppendKeyed(keyed, *this);
    const std::size_t own = keyed.size();
    AppendKeyed(keyed, from);
    auto merged = Merged(keyed, own);
    AllDelete();
    for (auto& item : merged) Add(std::move(item));
}

CScopes CScopes::getReverse(const Variant& i_S, const Variant& i_E, const Notifier& notify) const {
    CScopes gaps;
    if (count() == 0) {
        gaps.Add(CScope(i_S, i_E));
        return gaps;
    }
    if (Num(i_S) > Num(i_E)) {
        if (notify) notify(kReverseParamError);
        return gaps;
    }
    Variant pos = i_S;
    for (const auto& r : *this) {
        if (!(Num(pos) <= Num(r->E))) continue;
        if (!r->isScope(Num(pos))) gaps.Add(CScope(pos, Lower(Offset(r->S, -1), i_E)));
        pos = Offset(r->E, 1);
        if (Num(pos) > Num(i_E)) break;
    }
    if (Num(pos) <= Num(i_E)) gaps.Add(CScope(pos, i_E));
    return gaps;
}

bool CScopes::isScopes(double dV) const {
    return std::any_of(begin(), end(), [&](const auto& r) { return r->isScope(dV); });
}

bool CScopes::FileRead(const std::string& FilePathName, Date& o_StartTime, double& o_SampleTime) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FilePathName, ec)) return false;
    BinaryFile file;
    if (!file.OpenRead(FilePathName)) return false;
    if (!(ReadField(file, o_StartTime) && ReadField(file, o_SampleTime) && MeRead(file))) return false;
    // The program saves ranges of positions of a level series, each in order: a range the other way
    // round or outside 1..2^31 comes from a damaged file.
    constexpr double kLastPosition = 2147483648.0;
    return std::all_of(begin(), end(), [](const auto& r) {
        const double s = Num(r->S);
        const double e = Num(r->E);
        return 1.0 <= s && s <= e && e <= kLastPosition;
    });
}

bool CScopes::FileWrite(const std::string& FilePathName, Date StartTime, double SampleTime) const {
    return platform::ReplaceFile(FilePathName, [&](BinaryFile& file) {
        return WriteField(file, StartTime) && WriteField(file, SampleTime) && MeWrite(file);
    });
}

}  // namespace murtesk
