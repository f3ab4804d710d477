#include "chart_decimation.h"

#include <cmath>
#include <cstddef>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace murtesk::platform {

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Least and greatest value of v[0..n), NaN left out; infinities are kept (the caller filters them
// out on the rare column that holds one). Each comparison keeps the running value when the new one
// is NaN, in the vector and in the scalar part alike.
void MinMax(const float* v, std::size_t n, float& lo, float& hi) {
    std::size_t i = 0;
    float mn = kInf;
    float mx = -kInf;
#if defined(__SSE2__)
    if (n >= 16) {
        __m128 min0 = _mm_set1_ps(kInf);
        __m128 min1 = min0;
        __m128 max0 = _mm_set1_ps(-kInf);
        __m128 max1 = max0;
        for (; i + 8 <= n; i += 8) {
            const __m128 a = _mm_loadu_ps(v + i);
            const __m128 b = _mm_loadu_ps(v + i + 4);
            // minps/maxps give their second operand when either is NaN: the running value.
            min0 = _mm_min_ps(a, min0);
            max0 = _mm_max_ps(a, max0);
            min1 = _mm_min_ps(b, min1);
            max1 = _mm_max_ps(b, max1);
        }
        alignas(16) float lows[4];
        alignas(16) float highs[4];
        _mm_store_ps(lows, _mm_min_ps(min0, min1));
        _mm_store_ps(highs, _mm_max_ps(max0, max1));
        for (int k = 0; k < 4; ++k) {
            mn = lows[k] < mn ? lows[k] : mn;
            mx = highs[k] > mx ? highs[k] : mx;
        }
    }
#endif
    for (; i < n; ++i) {
        mn = v[i] < mn ? v[i] : mn;
        mx = v[i] > mx ? v[i] : mx;
    }
    lo = mn;
    hi = mx;
}

void SummariseColumn(const float* v, std::size_t n, ColumnExtent& out) {
    out = ColumnExtent{};
    if (n == 0) {
        return;
    }
    float lo = 0.0f;
    float hi = 0.0f;
    MinMax(v, n, lo, hi);
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        // An infinity, or no number at all: the slow pass over finite values only.
        lo = kInf;
        hi = -kInf;
        for (std::size_t i = 0; i < n; ++i) {
            if (std::isfinite(v[i])) {
                lo = v[i] < lo ? v[i] : lo;
                hi = v[i] > hi ? v[i] : hi;
            }
        }
        if (lo > hi) {
            return;
        }
    }
    std::size_t first = 0;
    while (!std::isfinite(v[first])) {
        ++first;
    }
    std::size_t last = n - 1;
    while (!std::isfinite(v[last])) {
        --last;
    }
    out.min = lo;
    out.max = hi;
    out.first = v[first];
    out.last = v[last];
    out.any = true;
}

}  // namespace

void SummariseColumns(std::span<const float> values, double xStep, const ChartGeometry& geometry,
                      std::vector<ColumnExtent>& columns) {
    const int width = geometry.Plot().width;
    columns.assign(static_cast<std::size_t>(width > 0 ? width : 0), ColumnExtent{});
    const std::size_t n = values.size();
    if (!geometry.Usable() || !(xStep > 0.0) || !std::isfinite(xStep) || n == 0) {
        return;
    }
    const auto column = [&](std::size_t k) { return geometry.ColumnOfX(static_cast<double>(k) * xStep); };
    const double xPerColumn = (geometry.XMax() - geometry.XMin()) / width;
    // The first point of column c: a guess from the arithmetic, then moved to the exact boundary of
    // ColumnOfX, so that every point lies in the column ColumnOfX gives it.
    const auto boundary = [&](std::int64_t c) {
        const double guess = std::ceil((geometry.XMin() + c * xPerColumn) / xStep);
        std::size_t k = guess <= 0.0 ? 0 : guess >= static_cast<double>(n) ? n : static_cast<std::size_t>(guess);
        while (k > 0 && column(k - 1) >= c) {
            --k;
        }
        while (k < n && column(k) < c) {
            ++k;
        }
        return k;
    };
    std::size_t begin = boundary(0);
    for (int c = 0; c < width && begin < n; ++c) {
        const std::size_t end = boundary(c + 1);
        SummariseColumn(values.data() + begin, end - begin, columns[static_cast<std::size_t>(c)]);
        begin = end;
    }
}

}  // namespace murtesk::platform
