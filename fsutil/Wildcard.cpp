#include "fsutil/Wildcard.h"

#include "fsutil/MbcsText.h"

// Greedy matching with one remembered star. When a later star is met, the
// earlier one never needs to take more characters: whatever it could take, the
// later star can take instead. So backtracking to the last star suffices and
// the walk never revisits more than (name length) starts per star.
bool MatchWildcard(const char* pattern, const char* name) {
    const char* lastStar = nullptr;  // pattern position of the last '*' seen
    const char* starName = nullptr;  // name position where that star stopped taking characters
    while (*name != 0) {
        const unsigned code = CharCodeAt(pattern);
        if (code == '*') {
            lastStar = pattern;
            pattern = NextChar(pattern);
            starName = name;
            continue;
        }
        if (code != 0 && (code == '?' || code == CharCodeAt(name))) {
            pattern = NextChar(pattern);
            name = NextChar(name);
            continue;
        }
        if (lastStar == nullptr) return false;
        pattern = NextChar(lastStar);
        starName = NextChar(starName);
        name = starName;
    }
    while (CharCodeAt(pattern) == '*') pattern = NextChar(pattern);
    return CharCodeAt(pattern) == 0;
}
