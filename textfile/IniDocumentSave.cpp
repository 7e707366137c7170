// Writing an IniDocument in canonical layout:
//
//   ; comment lines as read
//   [Name] ;comment of the header
//   key<TAB> = value ;comment
//                                  (an empty line closes every section's keys)
//   ; comment lines that followed the section's last key
//
// Values are written in their kind's canonical syntax (IniSyntax.h), an
// Untyped key with the text it was read with. Narrow files end their lines
// with CR LF on every platform; wide files are UTF-16LE with the mark FF FE.
#include "textfile/IniDocument.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "textfile/FileTable.h"
#include "textfile/IniSyntax.h"
#include "textfile/SafeReplace.h"

namespace {

constexpr size_t kMaxPath = 255;

// Gathers output into large blocks for the file table and remembers
// whether every write succeeded; or, for SavedBytes, into one string.
class BlockSink {
public:
    explicit BlockSink(int32_t handle) : handle(handle) {}
    explicit BlockSink(std::string* memory) : memory(memory) {}
    ~BlockSink() = default;

    void Put(const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        if (memory != nullptr) {
            memory->append(bytes, size);
            return;
        }
        if (size >= kBlockSize) {
            // A large piece goes to the file as it is, not through the block.
            Flush();
            Write(bytes, size);
            return;
        }
        buffer.append(bytes, size);
        if (buffer.size() >= kBlockSize) Flush();
    }

    bool Flush() {
        if (memory != nullptr) return true;
        Write(buffer.data(), buffer.size());
        buffer.clear();
        return ok;
    }

private:
    void Write(const char* bytes, size_t size) {
        size_t done = 0;
        while (ok && done < size) {
            size_t piece = size - done;
            if (piece > kMaxWrite) piece = kMaxWrite;
            ok = textfile::WriteFile(handle, bytes + done, static_cast<int32_t>(piece)) == 0;
            done += piece;
        }
    }

    static constexpr size_t kBlockSize = 1 << 16;
    static constexpr size_t kMaxWrite = 1 << 30;
    int32_t handle = -1;
    std::string* memory = nullptr;
    bool ok = true;
    std::string buffer;
};

template <typename CharT>
std::basic_string_view<CharT> UnitsOf(const IniBlob& blob) {
    if (!blob.HoldsData()) return {};
    return std::basic_string_view<CharT>(reinterpret_cast<const CharT*>(blob.data()),
                                         static_cast<size_t>(blob.Length()) / sizeof(CharT));
}

template <typename CharT>
void EndLine(BlockSink* sink) {
    if (sizeof(CharT) == 1) {
        sink->Put("\r\n", 2);
    } else {
        sink->Put("\r\0\n\0", 4);
    }
}

template <typename CharT>
void PutLine(std::basic_string<CharT>* line, BlockSink* sink) {
    std::basic_string_view<CharT> trimmed = inisyntax::Trim(std::basic_string_view<CharT>(*line));
    sink->Put(trimmed.data(), trimmed.size() * sizeof(CharT));
    EndLine<CharT>(sink);
}

template <typename CharT>
void AppendComment(const IniNode& node, std::basic_string<CharT>* line) {
    if (node.Comment().HoldsData()) {
        line->push_back(CharT(' '));
        line->append(UnitsOf<CharT>(node.Comment()));
    }
}

template <typename CharT>
void AppendValue(const IniNode& entry, std::basic_string<CharT>* line) {
    static const CharT kEquals[] = {CharT('\t'), CharT(' '), CharT('='), CharT(' '), CharT(0)};
    switch (entry.Kind()) {
    case NodeKind::Text: {
        // The stored text, no further than its count or its first zero.
        std::basic_string_view<CharT> text = UnitsOf<CharT>(entry.Value());
        if (entry.Count() >= 0 && static_cast<size_t>(entry.Count()) < text.size()) {
            text = text.substr(0, static_cast<size_t>(entry.Count()));
        }
        text = text.substr(0, text.find(CharT(0)));
        line->append(kEquals);
        line->push_back(CharT('"'));
        inisyntax::AppendEscaped(text, line);
        line->push_back(CharT('"'));
        break;
    }
    case NodeKind::IntList:
    case NodeKind::HexList:
    case NodeKind::FloatList:
    case NodeKind::BoolList:
    case NodeKind::Bytes:
        line->append(kEquals);
        inisyntax::AppendList(entry.Kind(), entry.Value().data(), entry.Value().Length(),
                              entry.Count(), line);
        break;
    case NodeKind::Untyped:
        if (entry.Text().HoldsData()) {
            line->append(kEquals);
            line->append(UnitsOf<CharT>(entry.Text()));
        }
        break;
    default: break;
    }
}

// `line` is room for one line, kept from line to line so that its memory is
// taken once per save rather than once per section.
template <typename CharT>
void PutEntries(const IniNode& section, size_t from, size_t to, std::basic_string<CharT>* line,
                BlockSink* sink) {
    const auto& entries = section.Entries();
    for (size_t i = from; i < to; ++i) {
        const IniNode& entry = *entries[i];
        line->clear();
        line->append(UnitsOf<CharT>(entry.Name()));
        AppendValue(entry, line);
        AppendComment(entry, line);
        PutLine(line, sink);
    }
}

// The entries up to the last key, the closing empty line, then the comment
// lines after the last key: a reader puts those back in the same place
// (into this section at the end of the file, else at the top level before
// the next header), so a saved file reads and saves to the same bytes.
template <typename CharT>
void PutSection(const IniNode& section, std::basic_string<CharT>* line, BlockSink* sink) {
    const auto& entries = section.Entries();
    size_t keysEnd = entries.size();
    while (keysEnd > 0 && entries[keysEnd - 1]->Kind() == NodeKind::Comment) --keysEnd;
    PutEntries(section, 0, keysEnd, line, sink);
    EndLine<CharT>(sink);
    PutEntries(section, keysEnd, entries.size(), line, sink);
}

// A top-level node: a comment line, or a section's header and entries.
template <typename CharT>
void PutNode(const IniNode& node, std::basic_string<CharT>* line, BlockSink* sink) {
    line->clear();
    if (node.Name().HoldsData()) {
        line->push_back(CharT('['));
        line->append(UnitsOf<CharT>(node.Name()));
        line->push_back(CharT(']'));
    }
    AppendComment(node, line);
    PutLine(line, sink);
    if (node.Kind() == NodeKind::Section) PutSection(node, line, sink);
}

template <typename CharT>
void PutDocument(const IniDocument& document, BlockSink* sink) {
    if (sizeof(CharT) == 2) {
        sink->Put("\xFF\xFE", 2);
    } else if (document.Utf8Mark()) {
        sink->Put("\xEF\xBB\xBF", 3);
    }
    std::basic_string<CharT> line;
    for (const auto& node : document.Nodes()) PutNode(*node, &line, sink);
}

}  // namespace

int32_t IniDocument::Save(const char* path) {
    return SaveWith(path, nullptr);
}

int32_t IniDocument::SaveBytes(const char* path, std::string_view bytes) {
    const std::vector<std::string_view> pieces{bytes};
    return SaveWith(path, &pieces);
}

int32_t IniDocument::SavePieces(const char* path, const std::vector<std::string_view>& pieces) {
    return SaveWith(path, &pieces);
}

int32_t IniDocument::SaveWith(const char* path, const std::vector<std::string_view>* pieces) {
    if (path != nullptr) {
        if (std::strlen(path) > kMaxPath) return -1;
        fileName = path;
    }
    if (fileName.empty()) return -1;
    const char* target = fileName.c_str();
    // A rename would replace a read-only file where writing it is refused.
    if (!safereplace::TargetWritable(target)) return -1;
    const std::string temporary = safereplace::TemporaryPathFor(target);
    const int32_t handle = textfile::OpenFile(temporary.c_str(), "wb");
    if (handle < 0) return -1;
    BlockSink sink(handle);
    if (pieces != nullptr) {
        for (std::string_view piece : *pieces) sink.Put(piece.data(), piece.size());
    } else if (wide) {
        PutDocument<char16_t>(*this, &sink);
    } else {
        PutDocument<char>(*this, &sink);
    }
    const bool written = sink.Flush() && textfile::FlushFile(handle) == 0;
    const bool closed = textfile::CloseFile(handle) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        return -1;
    }
    return safereplace::ReplaceWith(temporary.c_str(), target) ? 0 : -1;
}

std::string IniDocument::SavedBytes() const {
    std::string bytes;
    BlockSink sink(&bytes);
    if (wide) {
        PutDocument<char16_t>(*this, &sink);
    } else {
        PutDocument<char>(*this, &sink);
    }
    return bytes;
}

std::string IniDocument::SavedSectionBytes(const IniNode* section) const {
    std::string bytes;
    if (section == nullptr || SectionAt(section->position) != section) return bytes;
    BlockSink sink(&bytes);
    if (wide) {
        std::u16string line;
        PutNode(*section, &line, &sink);
    } else {
        std::string line;
        PutNode(*section, &line, &sink);
    }
    return bytes;
}

std::string IniDocument::SavedBytesFrom(size_t first) const {
    std::string bytes;
    BlockSink sink(&bytes);
    std::string line;
    std::u16string wideLine;
    for (size_t i = first; i < nodes.size(); ++i) {
        if (wide) {
            PutNode(*nodes[i], &wideLine, &sink);
        } else {
            PutNode(*nodes[i], &line, &sink);
        }
    }
    return bytes;
}

int32_t IniDocument::WriteEntries(int32_t handle, const IniNode* section) {
    if (section == nullptr || SectionAt(section->position) != section) return -1;
    BlockSink sink(handle);
    if (wide) {
        std::u16string line;
        PutEntries(*section, 0, section->Entries().size(), &line, &sink);
    } else {
        std::string line;
        PutEntries(*section, 0, section->Entries().size(), &line, &sink);
    }
    return sink.Flush() ? 0 : -8;
}
