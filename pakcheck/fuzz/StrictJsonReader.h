// A strict reader of the checker's JSON report, for the report's fuzz
// target: RFC 8259 JSON (UTF-8 without overlong forms, surrogates or
// anything above U+10FFFF; escapes, \u surrogate pairs, numbers without
// leading zeros; nothing after the value), written here rather than taken
// from a general JSON library, whose many branches and allocations would
// cost more than the check itself. It is built without the fuzzer's
// coverage hooks: its branches say nothing about the checker.
//
//   Read  true when `text` is one JSON object and nothing else, with the
//         report's shape in `*shape`; false at the first byte that is not
//         JSON (what `*shape` holds then is partial)
#pragma once

#include <string_view>

namespace pakcheck {

namespace strictjson {

// What the report's top level says about its size: the number of elements
// of "findings", "scripts" and "plans" and the value of "summary"."errors";
// -1 for what is missing or of another kind.
struct Shape {
    long findings = -1;
    long scripts = -1;
    long plans = -1;
    long errors = -1;
};

bool Read(std::string_view text, Shape* shape);

}  // namespace strictjson

}  // namespace pakcheck
