#include "app/Messages.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "package/Language.h"

namespace messages {

namespace {

// A string table entry holds at most 65535 UTF-16 units, two ANSI bytes
// each at most; a text that still fills a buffer this size is not a text.
constexpr size_t kLongestText = 2 * 65535 + 1;

}  // namespace

uint32_t LocalisedIdFor(uint32_t baseId, uint16_t languageId) {
    switch (language::ForLanguageId(languageId)) {
    case language::Language::German: return baseId;
    case language::Language::French: return baseId + 200;
    case language::Language::Polish: return baseId + 300;
    case language::Language::English: break;
    }
    return baseId + 100;
}

uint32_t LocalisedId(uint32_t baseId) {
    return LocalisedIdFor(baseId, GetSystemDefaultLangID());
}

std::string Load(uint32_t baseId) {
    const UINT id = LocalisedId(baseId);
    HINSTANCE module = GetModuleHandleA(nullptr);
    // LoadStringA cuts a text that does not fit and tells only how much it
    // copied: grow the buffer until the text ends before the buffer does.
    std::vector<char> buffer(512);
    for (;;) {
        int length = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::string();
        if (static_cast<size_t>(length) + 1 < buffer.size() || buffer.size() >= kLongestText) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.resize(buffer.size() * 4);
    }
}

std::string FormatText(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        va_end(arguments);
        return format;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int written = std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    if (written != length) return format;
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace messages
