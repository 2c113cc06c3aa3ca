#include "fsutil/TextSplit.h"

#include <cstring>

#include "fsutil/MbcsText.h"

namespace {

bool IsDelimiter(char byte, std::string_view delimiters) { return delimiters.find(byte) != std::string_view::npos; }

}  // namespace

void SplitTextAtAny(const char* text, StringList& out, std::string_view delimiters, int maxCount, const char* stop) {
    out.clear();
    if (delimiters.empty()) return;
    if (maxCount == 1) maxCount = 0;
    if (*text == 0) return;

    const std::size_t stopLength = (stop != nullptr) ? std::strlen(stop) : 0;
    const char* start = text;
    const char* p = text;
    for (;;) {
        if (IsDelimiter(*p, delimiters)) {
            const bool limitReached = maxCount > 0 && out.size() + 1 >= static_cast<std::size_t>(maxCount);
            if (p > start && !limitReached) {
                out.emplace_back(start, p);
                start = p + 1;
            } else if (p == start) {
                start = p + 1;
            }
        } else if (stopLength > 0 && std::strncmp(p, stop, stopLength) == 0) {
            break;
        }
        p = NextChar(p);
        if (*p == 0) break;
    }
    if (p <= start) return;

    std::string last(start, p);
    if (maxCount > 0) {
        while (!last.empty() && IsDelimiter(last.back(), delimiters) &&
               ByteKindAt(last.c_str(), static_cast<long long>(last.size() - 1)) == SingleByte)
            last.pop_back();
        if (last.empty()) return;
    }
    out.push_back(std::move(last));
}

void SplitText(const char* text, StringList& out, char delimiter, int maxCount, const char* stop) {
    SplitTextAtAny(text, out, std::string_view(&delimiter, 1), maxCount, stop);
}
