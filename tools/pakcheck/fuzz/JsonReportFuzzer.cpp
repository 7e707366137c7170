// The checker's JSON report on an arbitrary package: it must always be one
// JSON object that a strict parser reads (valid UTF-8, proper escapes) and
// that says what the report holds.
//
// Input: the package's files, separated by a line "--": the install script
// InstSkript.txt, the catalogue InstSkript.ini, the cabin list cabin.ini,
// and the host's texture list; a part that is missing is no file. With the
// fourth part the checker also plans the installation into a host folder
// that holds that list as both texture lists. The package always holds
// Modelle\a.3dm and Texturen\t.bmp for the script's entries to find.
//
// The package and host folders are made once and only the input's files are
// rewritten (or removed) per input, and only those that differ from the
// last input's: the checker writes only into scratch folders of its own. The report is read back by
// a strict JSON reader of this target's own (RFC 8259: UTF-8 without overlong forms or surrogates,
// escapes, \u surrogate pairs, numbers, nothing after the value) rather
// than a general JSON library, whose many branches and allocations would
// cost more than the check itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "Checker.h"
#include "FileSystem.h"
#include "JsonReport.h"
#include "ScratchRoot.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "json report fuzzer: %s\n", what);
        std::abort();
    }
}

// What the report's top level says about its size: the number of elements
// of "findings", "scripts" and "plans" and the value of "summary"."errors";
// -1 for what is missing or of another kind.
struct Shape {
    long findings = -1;
    long scripts = -1;
    long plans = -1;
    long errors = -1;
};

// Reads one JSON text strictly; false at the first byte that is not JSON.
class StrictReader {
public:
    explicit StrictReader(std::string_view text) : text_(text) {}

    bool Read(Shape* shape) {
        shape_ = shape;
        Space();
        if (Peek() != '{') return false;  // the report is one object
        if (!Value(Place::Top)) return false;
        Space();
        return at_ == text_.size();
    }

private:
    // Where a value stands, as far as the shape cares.
    enum class Place { Other, Top, Findings, Scripts, Plans, Summary, Errors };

    int Peek() const { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1; }
    bool Take(char c) {
        if (Peek() != static_cast<unsigned char>(c)) return false;
        ++at_;
        return true;
    }
    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    bool Value(Place place) {
        switch (Peek()) {
        case '{': return Object(place);
        case '[': return Array(place);
        case '"': return String(nullptr);
        case 't': return Word("true");
        case 'f': return Word("false");
        case 'n': return Word("null");
        default: return Number(place);
        }
    }

    static Place Member(Place object, std::string_view key) {
        if (object == Place::Top) {
            if (key == "findings") return Place::Findings;
            if (key == "scripts") return Place::Scripts;
            if (key == "plans") return Place::Plans;
            if (key == "summary") return Place::Summary;
        }
        if (object == Place::Summary && key == "errors") return Place::Errors;
        return Place::Other;
    }

    bool Object(Place place) {
        ++at_;
        Space();
        if (Take('}')) return true;
        for (;;) {
            std::string_view key;
            Space();
            if (Peek() != '"' || !String(&key)) return false;
            Space();
            if (!Take(':')) return false;
            Space();
            if (!Value(Member(place, key))) return false;
            Space();
            if (Take('}')) return true;
            if (!Take(',')) return false;
        }
    }

    bool Array(Place place) {
        ++at_;
        long count = 0;
        Space();
        if (!Take(']')) {
            for (;;) {
                Space();
                if (!Value(Place::Other)) return false;
                ++count;
                Space();
                if (Take(']')) break;
                if (!Take(',')) return false;
            }
        }
        if (place == Place::Findings) shape_->findings = count;
        if (place == Place::Scripts) shape_->scripts = count;
        if (place == Place::Plans) shape_->plans = count;
        return true;
    }

    bool Hex4(unsigned* unit) {
        *unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = Peek();
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else
                return false;
            *unit = *unit * 16 + digit;
            ++at_;
        }
        return true;
    }

    // One UTF-8 sequence of two to four bytes starting at a lead byte.
    bool Utf8(unsigned lead) {
        int more;
        unsigned low = 0x80, high = 0xBF;  // the range of the first continuation byte
        if (lead >= 0xC2 && lead <= 0xDF)
            more = 1;
        else if (lead == 0xE0)
            more = 2, low = 0xA0;
        else if (lead == 0xED)
            more = 2, high = 0x9F;  // no surrogates
        else if (lead >= 0xE1 && lead <= 0xEF)
            more = 2;
        else if (lead == 0xF0)
            more = 3, low = 0x90;
        else if (lead >= 0xF1 && lead <= 0xF3)
            more = 3;
        else if (lead == 0xF4)
            more = 3, high = 0x8F;  // nothing above U+10FFFF
        else
            return false;
        ++at_;
        for (int i = 0; i < more; ++i, low = 0x80, high = 0xBF) {
            const int c = Peek();
            if (c < static_cast<int>(low) || c > static_cast<int>(high)) return false;
            ++at_;
        }
        return true;
    }

    // A string; its raw text between the quotes in `raw` when asked for.
    bool String(std::string_view* raw) {
        const std::size_t start = ++at_;
        for (;;) {
            const int c = Peek();
            if (c < 0x20) return false;  // the end of the text or a control character
            if (c == '"') break;
            if (c >= 0x80) {
                if (!Utf8(static_cast<unsigned>(c))) return false;
                continue;
            }
            ++at_;
            if (c != '\\') continue;
            const int escaped = Peek();
            ++at_;
            if (escaped != 'u') {
                if (escaped < 0 ||
                    std::string_view("\"\\/bfnrt").find(static_cast<char>(escaped)) ==
                        std::string_view::npos)
                    return false;
                continue;
            }
            unsigned unit;
            if (!Hex4(&unit)) return false;
            if (unit >= 0xDC00 && unit <= 0xDFFF) return false;  // a low surrogate alone
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (!Take('\\') || !Take('u') || !Hex4(&unit) || unit < 0xDC00 || unit > 0xDFFF)
                    return false;
            }
        }
        if (raw) *raw = text_.substr(start, at_ - start);
        ++at_;
        return true;
    }

    bool Digits(long* value) {
        const std::size_t start = at_;
        while (Peek() >= '0' && Peek() <= '9') {
            if (value && *value < 100000000) *value = *value * 10 + (Peek() - '0');
            ++at_;
        }
        return at_ > start;
    }

    bool Number(Place place) {
        const bool negative = Take('-');
        const std::size_t start = at_;
        long value = 0;
        if (!Digits(&value)) return false;
        if (text_[start] == '0' && at_ - start > 1) return false;  // no leading zeros
        bool whole = true;
        if (Take('.')) {
            whole = false;
            if (!Digits(nullptr)) return false;
        }
        if (Take('e') || Take('E')) {
            whole = false;
            if (!Take('+')) Take('-');
            if (!Digits(nullptr)) return false;
        }
        if (place == Place::Errors && whole && !negative) shape_->errors = value;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    Shape* shape_ = nullptr;
};

std::string root, package, host, lists;

std::vector<std::string_view> Parts(std::string_view bytes) {
    static constexpr std::string_view kSeparator = "\n--\n";
    std::vector<std::string_view> parts;
    while (parts.size() < 3) {
        const std::size_t at = bytes.find(kSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(bytes.substr(0, at));
        bytes.remove_prefix(at + kSeparator.size());
    }
    parts.push_back(bytes);
    return parts;
}

void Write(const std::string& folder, const char* name, std::string_view bytes) {
    Check(files::WriteBytes(files::Join(folder, name), std::string(bytes)),
          "cannot write a file of the package");
}

// One file the input decides, with what it holds now: a mutation mostly
// changes one part, and the files of the others need not be written again.
class InputFile {
public:
    InputFile(const std::string* folder, const char* name) : folder_(folder), name_(name) {}

    // The file holds `bytes` (when given) or is no file.
    void Set(const std::string_view* bytes) {
        if (bytes == nullptr) {
            if (!present_) return;
            Check(files::RemoveTree(files::Join(*folder_, name_)),
                  "cannot remove a file of the package");
            present_ = false;
            return;
        }
        if (present_ && *bytes == held_) return;
        Write(*folder_, name_, *bytes);
        held_.assign(bytes->data(), bytes->size());
        present_ = true;
    }

private:
    const std::string* folder_;
    const char* name_;
    bool present_ = false;
    std::string held_;
};

InputFile script(&package, "InstSkript.txt"), catalogue(&package, "InstSkript.ini"),
    cabins(&package, "cabin.ini"), textures(&lists, "Texturen.txt"),
    groundTextures(&lists, "Bodentexturen.txt");

// The package's file of part `part`: that part when there is one, else no file.
void WriteOrRemove(const std::vector<std::string_view>& parts, std::size_t part, InputFile* file) {
    file->Set(part < parts.size() ? &parts[part] : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    root = fuzzscratch::MakeScratchRoot("json report fuzzer");
    package = files::Join(root, "package");
    host = files::Join(root, "host");
    lists = files::Join(files::Join(host, "Resourcen"), "Parallels");
    Check(files::MakeFolder(package) && files::MakeFolder(files::Join(package, "Modelle")) &&
              files::MakeFolder(files::Join(package, "Texturen")) && files::MakeFolder(host) &&
              files::MakeFolder(files::Join(host, "Resourcen")) && files::MakeFolder(lists),
          "cannot make the package and host folders");
    Write(package, "Modelle/a.3dm", "model");
    Write(package, "Texturen/t.bmp", "BM");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        Parts(std::string_view(reinterpret_cast<const char*>(data), size));
    WriteOrRemove(parts, 0, &script);
    WriteOrRemove(parts, 1, &catalogue);
    WriteOrRemove(parts, 2, &cabins);
    Options options;
    options.packageDir = package;
    options.languages = {"GER", "ENG", "FRA", "POL"};  // as the command line without --lang
    // Without a fourth part the host folder is not looked at: its lists stay
    // as they are until an input has one.
    if (parts.size() > 3) {
        WriteOrRemove(parts, 3, &textures);
        WriteOrRemove(parts, 3, &groundTextures);
        options.hostDir = host;
    }

    Report report;
    Check(checker::Check(options, &report), "the package folder cannot be read");
    const std::string json = jsonreport::Write(report);
    Shape shape;
    if (!StrictReader(json).Read(&shape)) {
        std::fprintf(stderr, "%s\n", json.c_str());
        Check(false, "the report is not one JSON object");
    }
    Check(shape.findings == static_cast<long>(report.findings.size()), "findings lost or added");
    Check(shape.scripts == static_cast<long>(report.scripts.size()), "scripts lost or added");
    Check(shape.plans == static_cast<long>(report.plans.size()), "plans lost or added");
    Check(shape.errors == report.Count(Severity::Error), "the summary miscounts the errors");
    return 0;
}
