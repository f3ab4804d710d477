// A level series resampled to another rate and written as text, one value per line. The output is produced
// and written piece by piece, so a series of any length needs a fixed amount of memory; the numbers are
// formatted by std::to_chars, which always writes '.' and needs no locale. The arguments and every value are
// checked before the file is opened, so a refused call leaves an existing file as it was; the text is written
// beside the file and renamed over it only when complete, so a failed write leaves it as it was too.
//
// The values' bound: levels in dB lie within a few hundred of 0, and a double holds every number up to 2^31 to
// within 2.4e-7, so its sixth decimal is right. The resamplers' weights add up to at most 1.7 in magnitude (the
// half-sample kernel: 2 × (2/pi + 2/(3 pi))), so values within ±1e9 give outputs within ±1.7e9 < 2^31.
#include "chg_hz.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <vector>

#include "Resampler.h"
#include "replacing_output.h"

namespace murtesk::analysis {

namespace {

constexpr int kPieceValues = 16384;
constexpr size_t kTextBytes = 1 << 20;
constexpr double kLargestValue = 1e9;
// The longest line: a sign, 10 integer digits (1.7e9), the point, six decimals, CR LF; with room to spare.
constexpr size_t kMaxLineBytes = 64;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The form of printf's "%lf" in the C locale: fixed-point, six decimals.
char* formatLine(char* p, char* end, double v)
{
    p = std::to_chars(p, end - 2, v, std::chars_format::fixed, 6).ptr;
    *p++ = '\r';
    *p++ = '\n';
    return p;
}

class OutputFile {
public:
    explicit OutputFile(const char* path) : m_fd(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {}
    ~OutputFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const char* data, size_t size) { return writeAll(m_fd, data, size); }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

}  // namespace

int32_t ChgHz(const char* path, const double* values, int32_t count, double inRate, double outRate, int32_t mode)
{
    if (!path || !values || count < 1 || !(inRate > 0.0) || !(outRate > 0.0) || !std::isfinite(inRate) ||
        !std::isfinite(outRate))
        return 0;
    // The resamplers count their output in int; a longer output is refused rather than cut short.
    if (!(count / (inRate / outRate) < static_cast<double>(INT_MAX)))
        return 0;
    if (!std::all_of(values, values + count, [](double v) { return std::fabs(v) <= kLargestValue; }))
        return 0;  // also NaN

    const dsp::CLinearResampler linear;
    const dsp::CDoublingResampler doubling;
    const dsp::CResampler& resampler = mode == 1 ? static_cast<const dsp::CResampler&>(linear) : doubling;
    const int total = resampler.OutputCount(count, inRate, outRate);

    std::vector<double> piece(kPieceValues);
    std::vector<char> text(kTextBytes);
    ReplacingOutput target;
    if (!target.create(path))
        return 0;
    OutputFile file(target.temporary().c_str());
    if (!file.isOpen())
        return 0;

    char* const begin = text.data();
    char* const end = begin + text.size();
    char* p = begin;
    bool ok = true;
    for (long long first = 0; ok && first < total; first += kPieceValues) {
        const int n = resampler.ResamplePart(values, count, inRate, piece.data(), static_cast<int>(first),
                                             kPieceValues, outRate);
        for (int j = 0; ok && j < n; ++j) {
            if (static_cast<size_t>(end - p) < kMaxLineBytes) {
                ok = file.write(begin, static_cast<size_t>(p - begin));
                p = begin;
            }
            p = formatLine(p, end, piece[static_cast<size_t>(j)]);
        }
    }
    ok = ok && file.write(begin, static_cast<size_t>(p - begin));
    return file.close() && ok && target.commit() ? 1 : 0;
}

}  // namespace murtesk::analysis
