#include "pakcheck/reporting/JsonReport.h"

#include <cstdio>

#include "pakcheck/reading/CodePage.h"

namespace pakcheck {

namespace jsonreport {

namespace {

// Builds JSON text; commas are placed by remembering whether the current
// object or array already holds a member.
class Json {
public:
    void Open(char bracket) {
        Separate();
        text.push_back(bracket);
        first = true;
    }
    void Close(char bracket) {
        text.push_back(bracket);
        first = false;
    }
    void Key(const char* name) {
        Separate();
        Quote(name);
        text.push_back(':');
        first = true;  // the value follows without a comma
    }
    void String(const std::string& value) {
        Separate();
        Quote(codepage::AsUtf8(value));
    }
    void Number(long long value) {
        Separate();
        text += std::to_string(value);
    }
    void Bool(bool value) {
        Separate();
        text += value ? "true" : "false";
    }
    void Null() {
        Separate();
        text += "null";
    }
    void Field(const char* name, const std::string& value) { Key(name), String(value); }
    void Field(const char* name, long long value) { Key(name), Number(value); }
    void Flag(const char* name, bool value) { Key(name), Bool(value); }
    void Strings(const char* name, const std::vector<std::string>& values) {
        Key(name);
        Open('[');
        for (const std::string& value : values) String(value);
        Close(']');
    }
    template <typename T>
    void Numbers(const char* name, const std::vector<T>& values) {
        Key(name);
        Open('[');
        for (T value : values) Number(static_cast<long long>(value));
        Close(']');
    }
    const std::string& Text() const { return text; }

private:
    void Separate() {
        if (!first) text.push_back(',');
        first = false;
    }
    // Runs of bytes that need no escape are copied whole.
    void Quote(const std::string& value) {
        text.push_back('"');
        std::size_t plain = 0;
        for (std::size_t at = 0; at < value.size(); ++at) {
            const char c = value[at];
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && c != '"' && c != '\\') continue;
            text.append(value, plain, at - plain);
            plain = at + 1;
            if (c == '"' || c == '\\') {
                text.push_back('\\');
                text.push_back(c);
            } else if (c == '\n') {
                text += "\\n";
            } else if (c == '\r') {
                text += "\\r";
            } else if (c == '\t') {
                text += "\\t";
            } else {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                text += escape;
            }
        }
        text.append(value, plain, std::string::npos);
        text.push_back('"');
    }

    std::string text;
    bool first = true;
};

void WriteCatalogue(const CatalogueInfo& catalogue, Json* json) {
    json->Key("catalogue");
    if (!catalogue.present) {
        json->Null();
        return;
    }
    json->Open('{');
    json->Field("file", "InstSkript.ini");
    json->Flag("loaded", catalogue.loaded);
    json->Key("entries");
    json->Open('[');
    for (const CatalogueItem& item : catalogue.entries) {
        json->Open('{');
        json->Field("position", item.position);
        json->Field("section", item.section);
        json->Field("line", item.line);
        json->Field("script", item.script);
        json->Field("scriptUsed", item.scriptUsed);
        json->Field("version", static_cast<long long>(item.version));
        json->Field("patch", static_cast<long long>(item.patch));
        json->Numbers("plugins", item.plugins);
        json->Field("requirements", item.requirements);
        json->Key("texts");
        json->Open('{');
        for (const CatalogueText& text : item.texts) {
            json->Key(text.language.c_str());
            json->Open('{');
            json->Field("name", text.name);
            json->Field("description", text.description);
            json->Close('}');
        }
        json->Close('}');
        json->Close('}');
    }
    json->Close(']');
    json->Close('}');
}

void WriteScript(const ScriptInfo& script, Json* json) {
    json->Open('{');
    json->Field("file", script.file);
    json->Strings("usedBy", script.usedBy);
    json->Flag("readable", script.readable);
    json->Key("sections");
    json->Open('[');
    for (const ScriptSection& section : script.sections) {
        json->Open('{');
        json->Field("name", section.name);
        json->Flag("found", section.found);
        json->Field("line", section.line);
        json->Field("entries", section.entries);
        json->Close('}');
    }
    json->Close(']');
    json->Key("files");
    json->Open('[');
    for (const FileStep& step : script.files) {
        json->Open('{');
        json->Field("line", step.line);
        json->Field("source", step.source);
        json->Field("destination", step.destination);
        json->Flag("installed", step.hasArrow && step.sourceUsable && step.destinationInside);
        json->Close('}');
    }
    json->Close(']');
    json->Key("textures");
    json->Open('[');
    for (const TextureStep& step : script.textures) {
        json->Open('{');
        json->Field("section", step.section);
        json->Field("line", step.line);
        json->Field("entry", step.entry);
        json->Field("outcome", scriptcheck::OutcomeText(step.outcome));
        json->Field("id", static_cast<long long>(step.id));
        json->Flag("hasName", step.hasName);
        json->Close('}');
    }
    json->Close(']');
    json->Close('}');
}

const char* ActionName(PlannedFile::Action action) {
    switch (action) {
    case PlannedFile::Action::New: return "new";
    case PlannedFile::Action::Replace: return "replace";
    case PlannedFile::Action::AskNewer: return "ask";
    case PlannedFile::Action::Skip: return "skip";
    case PlannedFile::Action::Fail: return "fail";
    }
    return "";
}

const char* OutcomeName(PlannedList::Outcome outcome) {
    switch (outcome) {
    case PlannedList::Outcome::Written: return "written";
    case PlannedList::Outcome::Untouched: return "untouched";
    case PlannedList::Outcome::Fails: return "fails";
    }
    return "";
}

void WriteList(const PlannedList& list, Json* json) {
    json->Open('{');
    json->Field("file", list.file);
    json->Field("section", list.section);
    json->Field("outcome", OutcomeName(list.outcome));
    json->Field("reason", list.reason);
    json->Numbers("added", list.added);
    json->Key("replaced");
    json->Open('[');
    for (const auto& replaced : list.replaced) {
        json->Open('{');
        json->Field("id", static_cast<long long>(replaced.first));
        json->Field("hostName", replaced.second);
        json->Close('}');
    }
    json->Close(']');
    json->Strings("sectionsAdded", list.sectionsAdded);
    json->Strings("keysReplaced", list.keysReplaced);
    json->Strings("keysAdded", list.keysAdded);
    json->Close('}');
}

void WritePlan(const InstallPlan& plan, Json* json) {
    json->Open('{');
    json->Field("script", plan.script);
    json->Strings("usedBy", plan.usedBy);
    json->Flag("succeeds", plan.succeeds);
    json->Field("questions", plan.questions);
    json->Key("files");
    json->Open('[');
    for (const PlannedFile& file : plan.files) {
        json->Open('{');
        json->Field("line", file.line);
        json->Field("source", file.source);
        json->Field("destination", file.destination);
        json->Field("action", ActionName(file.action));
        json->Field("reason", file.reason);
        json->Flag("makesFolders", file.makesFolders);
        json->Close('}');
    }
    json->Close(']');
    json->Key("lists");
    json->Open('[');
    WriteList(plan.textures, json);
    WriteList(plan.groundTextures, json);
    WriteList(plan.cabins, json);
    json->Close(']');
    json->Close('}');
}

}  // namespace

std::string Write(const Report& report) {
    Json json;
    json.Open('{');
    json.Field("package", report.packageDir);
    json.Key("host");
    if (report.hostDir.empty()) {
        json.Null();
    } else {
        json.String(report.hostDir);
    }
    json.Strings("languages", report.languages);
    WriteCatalogue(report.catalogue, &json);
    json.Key("scripts");
    json.Open('[');
    for (const ScriptInfo& script : report.scripts) WriteScript(script, &json);
    json.Close(']');
    json.Key("cabin");
    if (!report.cabin.present) {
        json.Null();
    } else {
        json.Open('{');
        json.Flag("readable", report.cabin.readable);
        json.Key("sections");
        json.Open('[');
        for (const CabinSection& section : report.cabin.sections) {
            json.Open('{');
            json.Field("name", section.name);
            json.Field("keys", section.keys);
            json.Close('}');
        }
        json.Close(']');
        json.Close('}');
    }
    json.Key("plans");
    json.Open('[');
    for (const InstallPlan& plan : report.plans) WritePlan(plan, &json);
    json.Close(']');
    json.Key("findings");
    json.Open('[');
    for (const Finding& finding : report.findings) {
        json.Open('{');
        json.Field("severity", SeverityName(finding.severity));
        json.Field("file", finding.file);
        json.Flag("inHost", finding.inHost);
        json.Field("line", finding.line);
        json.Field("code", finding.code);
        json.Field("message", finding.message);
        json.Field("plan", finding.plan);
        json.Close('}');
    }
    json.Close(']');
    json.Key("summary");
    json.Open('{');
    json.Field("errors", report.Count(Severity::Error));
    json.Field("warnings", report.Count(Severity::Warning));
    json.Field("notes", report.Count(Severity::Note));
    json.Close('}');
    json.Close('}');
    return json.Text() + "\n";
}

}  // namespace jsonreport

}  // namespace pakcheck
