#include "export/json_tree.hpp"

#include <string>

namespace vantro::json {

namespace {

void hex4(Text& out, char32_t c) {
    static constexpr char digits[] = "0123456789abcdef";
    out += U"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(static_cast<char32_t>(digits[(c >> shift) & 0xF]));
}

void string(Text& out, TextView s) {
    out.push_back(U'"');
    for (char32_t c : s) {
        switch (c) {
            case U'"': out += U"\\\""; break;
            case U'\\': out += U"\\\\"; break;
            case U'\n': out += U"\\n"; break;
            case U'\r': out += U"\\r"; break;
            case U'\t': out += U"\\t"; break;
            default:
                if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) hex4(out, c);
                else out.push_back(c);
        }
    }
    out.push_back(U'"');
}

void value(Text& out, const Value& v) {
    struct Visit {
        Text& out;
        void operator()(std::nullptr_t) const { out += U"null"; }
        void operator()(bool b) const { out += b ? U"true" : U"false"; }
        void operator()(std::int64_t i) const {
            for (char c : std::to_string(i)) out.push_back(static_cast<char32_t>(c));
        }
        void operator()(const Text& t) const { string(out, t); }
        void operator()(const Array& a) const {
            out.push_back(U'[');
            for (std::size_t i = 0; i < a.size(); ++i) {
                if (i) out.push_back(U',');
                value(out, a[i]);
            }
            out.push_back(U']');
        }
        void operator()(const Object& o) const {
            out.push_back(U'{');
            for (std::size_t i = 0; i < o.size(); ++i) {
                if (i) out.push_back(U',');
                string(out, o[i].first);
                out.push_back(U':');
                value(out, o[i].second);
            }
            out.push_back(U'}');
        }
    };
    std::visit(Visit{out}, v.v);
}

}  // namespace

Text write(const Value& v) {
    Text out;
    value(out, v);
    return out;
}

}  // namespace vantro::json
