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

std::optional<std::int64_t> ScopePosition(const Variant& end) {
    const double x = platform::RoundHalfToEven(end.AsDouble());
    if (std::isnan(x)) return std::nullopt;
    return static_cast<std::int64_t>(std::clamp(x, -9.0e15, 9.0e15));
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

void CScopes::ResetScopes() {
    if (count() < 2) return;
    SSort();
    std::vector<std::shared_ptr<CScope>> merged;
    auto current = std::make_shared<CScope>(Item(1).S, Item(1).E);
    for (std::int32_t i = 2; i <= count(); ++i) {
        const CScope& r = Item(i);
        if (current->isScope(Num(r.S))) {
            if (Num(r.E) > Num(current->E)) current->E = r.E;
        } else {
            merged.push_back(std::make_shared<CScope>(current->MeCopy()));
            current->S = r.S;
            current->E = r.E;
        }
    }
    merged.push_back(current);
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
    return ReadField(file, o_StartTime) && ReadField(file, o_SampleTime) && MeRead(file);
}

bool CScopes::FileWrite(const std::string& FilePathName, Date StartTime, double SampleTime) const {
    return platform::ReplaceFile(FilePathName, [&](BinaryFile& file) {
        return WriteField(file, StartTime) && WriteField(file, SampleTime) && MeWrite(file);
    });
}

}  // namespace murtesk
