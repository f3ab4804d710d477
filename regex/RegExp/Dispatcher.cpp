#include "Dispatcher.h"

#include <limits>

#include "AwkStr.h"
#include "RegExpError.h"

namespace sarnik {

int32_t ExecRegExpRequest(TAwkParam& param, int32_t request) {
    param.length = 0;
    param.position = 0;
    TAWKStr re;
    try {
        re.SetPattern(param.pattern);
    } catch (const ERegExpParser& e) {
        param.position = -1;
        param.length = static_cast<int32_t>(e.position());
        return -1;
    }
    switch (request) {
    case Search: {
        const MatchResult m = re.search(param.text);
        if (m.found) {
            param.position = static_cast<int32_t>(m.pos + 1);
            param.length = static_cast<int32_t>(m.len);
        }
        return param.position;
    }
    case Sub:
        param.replacement = re.TranslateEscapes(param.replacement);
        return re.SubFirst(param.replacement, param.text, true);
    case GSub: {
        param.replacement = re.TranslateEscapes(param.replacement);
        const size_t n = re.GSubAll(param.replacement, param.text, true);
        return static_cast<int32_t>(std::min<size_t>(n, std::numeric_limits<int32_t>::max()));
    }
    case Nothing:
        return 0;
    default:
        param.position = -1;
        return -1;
    }
}

}  // namespace sarnik
