// A JSON document in memory: what the exports build once, to be written as
// text or handed to the host as its own objects.
#pragma once

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "common/text.hpp"

namespace vantro::json {

struct Value;
using Array = std::vector<Value>;
using Object = std::vector<std::pair<Text, Value>>;  // members in the order written

struct Value {
    std::variant<std::nullptr_t, bool, std::int64_t, Text, Array, Object> v;

    Value() : v(nullptr) {}
    Value(std::nullptr_t) : v(nullptr) {}
    Value(bool b) : v(b) {}
    Value(int i) : v(static_cast<std::int64_t>(i)) {}
    Value(std::int64_t i) : v(i) {}
    Value(Text t) : v(std::move(t)) {}
    Value(const char32_t* t) : v(Text(t)) {}
    Value(Array a) : v(std::move(a)) {}
    Value(Object o) : v(std::move(o)) {}
};

// Compact JSON text; characters JSON forbids raw (quote, backslash, controls)
// and lone surrogates are escaped, everything else is written as itself.
Text write(const Value& value);

}  // namespace vantro::json
