// Reading files into an IniDocument, line by line. The whole file is read
// into a Memory slot of the file table first; lines are then taken from it
// without copying, of any length.
#include "textfile/IniDocument.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "textfile/FileTable.h"
#include "textfile/IniSyntax.h"

namespace {

constexpr size_t kMaxPath = 255;

template <typename CharT>
std::string_view BytesOf(std::basic_string_view<CharT> text) {
    return std::string_view(reinterpret_cast<const char*>(text.data()),
                            text.size() * sizeof(CharT));
}

// A unit that ends a line: CR, LF or NUL.
template <typename CharT>
bool IsBreak(CharT c) {
    return c <= CharT('\r') && (c == CharT('\n') || c == CharT('\r') || c == CharT(0));
}

// The first unit from `p` on that ends a line, or `end`.
template <typename CharT>
const CharT* LineEnd(const CharT* p, const CharT* end) {
    while (p < end && !IsBreak(*p)) ++p;
    return p;
}

// The first LF from `p` on, or `end`.
const char* NextLineFeed(const char* p, const char* end) {
    const void* found = std::memchr(p, '\n', static_cast<size_t>(end - p));
    return found != nullptr ? static_cast<const char*>(found) : end;
}

const char16_t* NextLineFeed(const char16_t* p, const char16_t* end) {
    while (p < end && *p != u'\n') ++p;
    return p;
}

// The lines from `p` up to the next header line (or `end`): how many keys
// the section being read may still get from this file.
template <typename CharT>
size_t LinesBeforeHeader(const CharT* p, const CharT* end) {
    size_t lines = 0;
    while (p < end) {
        while (p < end && (*p == CharT(' ') || *p == CharT('\t'))) ++p;
        if (p < end && *p == CharT('[')) break;
        ++lines;
        p = NextLineFeed(p, end);
        if (p < end) ++p;
    }
    return lines;
}

// The index slot of the name on the line after `from` (up to `end`) is
// fetched while this line is read: a header's among the sections, a key's
// among those of `keys` (may be null). Large indexes do not fit the caches,
// and waiting for one slot after another would take most of the time. A
// wrong guess at the name only costs the fetch. The key name guessed, and
// its hash, go to `guess` (empty when there is none).
template <typename CharT>
void PrefetchNextName(const IniNameIndex& sections, const IniNameIndex* keys, const CharT* from,
                      const CharT* end, IniNameIndex::Hashed* guess) {
    *guess = IniNameIndex::Hashed{};
    const CharT* p = from;
    while (p < end && (*p == CharT('\r') || *p == CharT('\n'))) ++p;
    while (p < end && (*p == CharT(' ') || *p == CharT('\t'))) ++p;
    const CharT* const start = p;
    const CharT* const limit = end - p > 256 ? p + 256 : end;
    const bool header = p < end && *p == CharT('[');
    if (header) ++p;
    const CharT stop = header ? CharT(']') : CharT('=');
    while (p < limit && *p != stop && *p != CharT('\n') && *p != CharT('\r')) ++p;
    if (p == limit || *p != stop) return;
    if (header) {
        sections.Prefetch(IniNameIndex::HashOf(
            BytesOf(std::basic_string_view<CharT>(start + 1, static_cast<size_t>(p - start - 1)))));
        return;
    }
    const auto name =
        inisyntax::Trim(std::basic_string_view<CharT>(start, static_cast<size_t>(p - start)));
    if (keys == nullptr || name.empty() || name[0] == CharT(';')) return;
    *guess = IniNameIndex::Hashed{BytesOf(name), IniNameIndex::HashOf(BytesOf(name))};
    keys->Prefetch(guess->hash);
}

}  // namespace

int32_t IniDocument::Load(const char* path, int32_t offset, int32_t size) {
    return Load(path, offset, size, nullptr);
}

int32_t IniDocument::Load(const char* path, int32_t offset, int32_t size,
                          IniLineListener* listener) {
    if (path != nullptr) {
        // A longer path would be cut and name another file.
        if (std::strlen(path) > kMaxPath) return -1;
        fileName = path;
    }
    return LoadSlot(textfile::LoadWholeFile(fileName.c_str(), offset, size), listener);
}

int32_t IniDocument::LoadBytes(std::string_view bytes, IniLineListener* listener) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return -1;
    return LoadSlot(textfile::LoadBytes("(memory)", bytes.data(),
                                        static_cast<int32_t>(bytes.size())),
                    listener);
}

int32_t IniDocument::LoadSlot(int32_t handle, IniLineListener* listener) {
    if (handle < 0) return -1;
    const bool firstLoad = !loadedOnce;
    loadedOnce = true;
    this->listener = listener;
    if (wide) {
        // One 8-bit character stands for the mark FF FE; reading goes on at
        // the second 16-bit unit.
        char mark[2];
        textfile::ReadFormatted(handle, "%c", mark);
        ReadLines<char16_t>(handle);
    } else {
        const textfile::FileSlot& slot = textfile::FileSlotTable[handle];
        const bool mark = slot.length >= 3 && std::memcmp(slot.buffer, "\xEF\xBB\xBF", 3) == 0;
        if (mark) textfile::SeekFile(handle, 3, 0);
        if (firstLoad) utf8Mark = mark;
        ReadLines<char>(handle);
    }
    this->listener = nullptr;
    loadingLine = 0;
    textfile::CloseFile(handle);
    return 0;
}

template <typename CharT>
void IniDocument::ReadLines(int32_t handle) {
    using View = std::basic_string_view<CharT>;
    using Line = IniLineListener::Line;
    // The lines are taken straight from the slot's buffer, from its
    // position on; the slot itself is not moved.
    const textfile::FileSlot& slot = textfile::FileSlotTable[handle];
    const CharT* const data = reinterpret_cast<const CharT*>(slot.buffer);
    const size_t units = slot.length / sizeof(CharT);
    const CharT* p = data + (slot.position < units ? slot.position : units);
    const CharT* const bufferEnd = data + units;
    loadingLine = 1;
    int32_t current = -1;
    // Comment lines wait for the next key (its section) or header (the top level).
    std::vector<View> pending;
    IniNameIndex::Hashed guess;  // the next line's key name, guessed ahead
    // Whether the current section, once it indexes its keys, got room for
    // the rest of its lines in this file.
    bool roomMade = false;
    for (;;) {
        // The breaks before the line: CR LF, LF and a lone CR each end one
        // line; NUL units are skipped and not counted.
        while (p < bufferEnd && IsBreak(*p)) {
            if (*p == CharT('\n') ||
                (*p == CharT('\r') && (p + 1 == bufferEnd || p[1] != CharT('\n')))) {
                ++loadingLine;
            }
            ++p;
        }
        if (p == bufferEnd) break;
        const CharT* const line = p;
        p = LineEnd(p, bufferEnd);
        const size_t length = static_cast<size_t>(p - line);
        const View text = inisyntax::Trim(View(line, length));
        if (text.empty() || text[0] == CharT(';')) {
            if (listener != nullptr && !text.empty()) {
                listener->OnLine(
                    Line{Line::Comment, loadingLine, BytesOf(text), {}, {}, {}, 0, {}});
            }
            pending.push_back(text);
            continue;
        }
        if (text[0] != CharT('[')) {
            if (current == -1) {
                Drop(BytesOf(text), IniDroppedLine::OutsideSection);
                continue;
            }
            for (View comment : pending) AddCommentLineText(comment, current);
            IniNode::Rest* rest = nodes[current]->rest.get();
            // The guess made on the line before is this line's; the next
            // line's takes its place.
            const IniNameIndex::Hashed guessed = guess;
            PrefetchNextName(sections, rest != nullptr ? rest->keys.get() : nullptr, line + length,
                             bufferEnd, &guess);
            IniDroppedLine::Reason why = IniDroppedLine::NotAKey;
            inisyntax::KeyLine<CharT> parts;
            const bool added = AddKeyLineText(text, current, &why, &parts, &guessed) >= 0;
            if (!added) Drop(BytesOf(text), why);
            if (added && !roomMade && rest != nullptr && rest->keys != nullptr) {
                // A large section: its entries and its index are sized once
                // for its lines still to come.
                const size_t lines = LinesBeforeHeader(p, bufferEnd);
                rest->entries.reserve(rest->entries.size() + lines);
                rest->keys->Reserve(rest->keys->size() + lines);
                roomMade = true;
            }
            if (added && listener != nullptr) {
                listener->OnLine(Line{Line::Key,
                                      loadingLine,
                                      BytesOf(text),
                                      nodes[current]->Name().Bytes(),
                                      BytesOf(parts.name),
                                      BytesOf(parts.valueText),
                                      parts.items,
                                      {}});
            }
        } else {
            guess = IniNameIndex::Hashed{};
            roomMade = false;
            for (View comment : pending) AddCommentLineText(comment, -1);
            current = AddSectionHeaderText(text);
            if (current < 0) {
                Drop(BytesOf(text), IniDroppedLine::BadHeader);
            } else if (listener != nullptr) {
                listener->OnLine(Line{Line::Header,
                                      loadingLine,
                                      BytesOf(text),
                                      nodes[current]->Name().Bytes(),
                                      {},
                                      {},
                                      0,
                                      {}});
            }
        }
        pending.clear();
    }
    // Comments after the last key or header stay with the section (or the
    // top level) they followed.
    for (View comment : pending) AddCommentLineText(comment, current);
}

void IniDocument::Drop(std::string_view text, IniDroppedLine::Reason why) {
    dropped.push_back(IniDroppedLine{fileName, loadingLine, why, std::string(text)});
    if (listener != nullptr) {
        listener->OnLine(IniLineListener::Line{
            IniLineListener::Line::Dropped, loadingLine, text, {}, {}, {}, 0, why});
    }
}

template <typename CharT>
int32_t IniDocument::AddSectionHeaderText(std::basic_string_view<CharT> line) {
    const size_t close = line.find(CharT(']'));
    if (close == std::basic_string_view<CharT>::npos || close == 0) return -1;
    const size_t open = line[0] == CharT('[') ? 1 : 0;
    const Name name = BytesOf(line.substr(open, close - open));
    IniNode* section = GetOrAddSectionByName(name);
    if (section == nullptr) return -1;
    if (section->line == 0) section->line = loadingLine;
    // Only a ";" after the "]" starts the comment: one inside the name
    // would grow the comment on every save and load.
    const size_t semicolon = line.find(CharT(';'), close + 1);
    if (semicolon != std::basic_string_view<CharT>::npos) {
        if (IniNode::Rest* rest = RestOf(section)) {
            StoreBytes(BytesOf(line.substr(semicolon)), &rest->comment);
        }
    }
    currentSection = section->position;  // as FindSection(name) would
    return currentSection;
}

template <typename CharT>
int32_t IniDocument::AddKeyLineText(std::basic_string_view<CharT> line, int32_t sectionIndex,
                                    IniDroppedLine::Reason* why, inisyntax::KeyLine<CharT>* split,
                                    const IniNameIndex::Hashed* guessed) {
    IniNode* section = SectionAt(sectionIndex);
    if (section == nullptr) {
        *why = IniDroppedLine::OutsideSection;
        return -1;
    }
    inisyntax::KeyLine<CharT>& parts = *split;
    if (!inisyntax::SplitKeyLine(line, &parts)) {
        *why = IniDroppedLine::NotAKey;
        return -1;
    }
    const IniNameIndex* keys = section->rest != nullptr ? section->rest->keys.get() : nullptr;
    // The name guessed ahead is this one when it is the same bytes of the
    // same file; its hash is then known.
    const Name name = BytesOf(parts.name);
    const bool known = guessed != nullptr && guessed->name.data() == name.data() &&
                       guessed->name.size() == name.size();
    const size_t hash = keys == nullptr ? 0 : known ? guessed->hash : IniNameIndex::HashOf(name);
    int32_t count = 0;
    const NodeKind kind =
        inisyntax::DecodeValue(parts.valueText, parts.items, &valueScratch, &count);
    if (wide && kind == NodeKind::Text && count == 0) {
        *why = IniDroppedLine::EmptyWideText;
        return -1;
    }
    // Reading an Untyped key gives zeros (none in a 16-bit document); its
    // text is kept for writing.
    const bool typed = kind != NodeKind::Untyped;
    const void* value = typed ? static_cast<const void*>(valueScratch.data()) : EmptyValue;
    const int32_t valueLength = typed  ? static_cast<int32_t>(valueScratch.size())
                                : wide ? -1
                                       : static_cast<int32_t>(sizeof EmptyValue);
    std::unique_ptr<IniNode> node = NewNode(kind);
    bool stored = node != nullptr && SetNameAndValue(node.get(), name, value, valueLength);
    if (stored && !parts.comment.empty()) {
        stored = RestOf(node.get()) != nullptr &&
                 StoreBytes(BytesOf(parts.comment), &RestOf(node.get())->comment);
    }
    if (stored && !typed) {
        stored = RestOf(node.get()) != nullptr &&
                 StoreBytes(BytesOf(parts.valueText), &RestOf(node.get())->text);
    }
    if (!stored) {
        Recycle(std::move(node));
        *why = IniDroppedLine::NoMemory;
        return -2;
    }
    node->count = count;
    node->line = loadingLine;
    currentSection = sectionIndex;
    if (IniNode* old =
            LookupKey(section, node->Name().Bytes(), keys != nullptr ? &hash : nullptr)) {
        ReplaceEntry(section, old, std::move(node), keys != nullptr ? &hash : nullptr);
    } else {
        AppendEntry(section, std::move(node), keys != nullptr ? &hash : nullptr);
    }
    return count;
}

template <typename CharT>
int32_t IniDocument::AddCommentLineText(std::basic_string_view<CharT> text, int32_t sectionIndex) {
    IniNode* section = nullptr;
    if (sectionIndex != -1 && (section = SectionAt(sectionIndex)) == nullptr) return -1;
    std::unique_ptr<IniNode> node = NewNode(NodeKind::Comment);
    if (node == nullptr || RestOf(node.get()) == nullptr) return -2;
    bool stored;
    if (!text.empty() && text[0] == CharT(';')) {
        stored = StoreBytes(BytesOf(text), &RestOf(node.get())->comment);
    } else {
        std::basic_string<CharT> marked(1, CharT(';'));
        marked.append(text);
        stored = StoreBytes(BytesOf(std::basic_string_view<CharT>(marked)),
                            &RestOf(node.get())->comment);
    }
    if (!stored) return -2;
    if (section != nullptr) {
        AppendEntry(section, std::move(node));
        return 0;
    }
    node->position = static_cast<int32_t>(nodes.size());
    nodes.push_back(std::move(node));
    return nodes.back()->position;
}

int32_t IniDocument::AddSectionHeader(const char* line) {
    if (line == nullptr || !Accepts(false)) return -1;
    return AddSectionHeaderText(std::string_view(line));
}

int32_t IniDocument::AddSectionHeader(const char16_t* line) {
    if (line == nullptr || !Accepts(true)) return -1;
    return AddSectionHeaderText(std::u16string_view(line));
}

int32_t IniDocument::AddKeyLine(const char* line, int32_t sectionIndex) {
    if (line == nullptr || !Accepts(false)) return -1;
    IniDroppedLine::Reason why;
    inisyntax::KeyLine<char> parts;
    return AddKeyLineText(std::string_view(line), sectionIndex, &why, &parts, nullptr);
}

int32_t IniDocument::AddKeyLine(const char16_t* line, int32_t sectionIndex) {
    if (line == nullptr || !Accepts(true)) return -1;
    IniDroppedLine::Reason why;
    inisyntax::KeyLine<char16_t> parts;
    return AddKeyLineText(std::u16string_view(line), sectionIndex, &why, &parts, nullptr);
}

int32_t IniDocument::AddCommentLine(const char* text, int32_t sectionIndex) {
    if (text == nullptr || !Accepts(false)) return -1;
    return AddCommentLineText(std::string_view(text), sectionIndex);
}

int32_t IniDocument::AddCommentLine(const char16_t* text, int32_t sectionIndex) {
    if (text == nullptr || !Accepts(true)) return -1;
    return AddCommentLineText(std::u16string_view(text), sectionIndex);
}
