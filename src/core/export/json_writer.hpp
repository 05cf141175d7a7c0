// JSON text written as it goes: the exports never hold the document twice.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro::json {

// Compact JSON into `out`. Members and items are separated by the writer;
// strings escape what JSON forbids raw (quote, backslash, controls) and lone
// surrogates, everything else is written as itself.
class Writer {
public:
    explicit Writer(Text& out) : out_(out) {}

    Writer& object();
    Writer& array();
    Writer& end();  // of the innermost object or array
    Writer& key(TextView k);

    Writer& null();
    Writer& boolean(bool b);
    Writer& number(std::int64_t n);
    Writer& string(TextView s);
    // An index, or null for a negative one (nothing to point at).
    Writer& index(int i) { return i < 0 ? null() : number(i); }
    Writer& indices(const std::vector<int>& v);
    Writer& pair(std::int64_t a, std::int64_t b);

private:
    void separate();  // a comma before every item but the first of its container

    Text& out_;
    std::vector<char32_t> closing_;  // per open container: its closing bracket
    std::vector<bool> first_;        // per open container: no item written yet
    bool after_key_ = false;
};

}  // namespace vantro::json
