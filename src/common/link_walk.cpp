#include "common/link_walk.h"

#include "common/text.h"

#include <cstring>

namespace {

size_t WithoutSeparator(const char* path)
{
    const size_t length = strlen(path);
    return EndsWithBackslash(path) ? length - 1 : length;
}

// The length of `root` in `path` when the path lies at or below it, else 0.
size_t RootLength(const char* root, const char* path)
{
    const size_t length = WithoutSeparator(root);
    if (length == 0 || !EqualNoCaseN(path, root, length))
        return 0;
    return path[length] == '\0' || path[length] == '\\' ? length : 0;
}

// Calls `check` with every level of `path` from the root's end on: the
// root, each folder below it, and the path itself when `withLast`. Stops at
// the first level `check` accepts, whose length it returns; 0 for none.
template <typename Check>
size_t FirstLevel(const char* path, size_t rootLength, bool withLast, Check check)
{
    const size_t length = WithoutSeparator(path);
    char level[1024];
    if (length >= sizeof level)
        return length;  // no such path of ours: as good as a link
    memcpy(level, path, length);
    level[length] = '\0';
    size_t at = rootLength;
    for (;;) {
        const bool last = at >= length;
        if (last && !withLast)
            return 0;
        const char saved = level[at];
        level[at] = '\0';
        const bool found = check(level);
        level[at] = saved;
        if (found)
            return at;
        if (last)
            return 0;
        // The next separator that is a whole character, or the end.
        ++at;
        while (at < length) {
            const unsigned char c = static_cast<unsigned char>(level[at]);
            if (IsLeadByte(c, static_cast<unsigned char>(level[at + 1]))) {
                at += 2;
                continue;
            }
            if (c == '\\')
                break;
            ++at;
        }
        if (at > length)
            at = length;
    }
}

bool IsLink(AttributesLookup lookup, void* context, const char* level)
{
    const uint32_t attributes = lookup(context, level);
    return attributes != NoAttributes && (attributes & LinkAttribute) != 0;
}

}  // namespace

bool FindLinkOnPath(const char* root, const char* path, AttributesLookup lookup, void* context,
                    char* link, size_t linkSize)
{
    if (link != nullptr && linkSize > 0)
        link[0] = '\0';
    const size_t rootLength = RootLength(root, path);
    size_t found = rootLength == 0 ? WithoutSeparator(path)
                                   : FirstLevel(path, rootLength, true, [&](const char* level) {
                                         return IsLink(lookup, context, level);
                                     });
    if (found == 0)
        return false;
    if (link != nullptr && !CopyTextN(link, linkSize, path, found) && linkSize > 0)
        link[0] = '\0';
    return true;
}

bool ReachedWithoutLink(const char* root, const char* path, AttributesLookup lookup, void* context)
{
    const size_t rootLength = RootLength(root, path);
    return rootLength != 0 && FirstLevel(path, rootLength, false, [&](const char* level) {
                                  return IsLink(lookup, context, level);
                              }) == 0;
}

const char* OutermostRootOf(const char* path, const char* const* roots, int count)
{
    const char* outermost = nullptr;
    size_t shortest = 0;
    for (int i = 0; i < count; ++i) {
        if (roots[i] == nullptr || roots[i][0] == '\0')
            continue;
        const size_t length = RootLength(roots[i], path);
        if (length != 0 && (outermost == nullptr || length < shortest)) {
            outermost = roots[i];
            shortest = length;
        }
    }
    return outermost;
}
