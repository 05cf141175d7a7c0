#include "export/json_writer.hpp"

#include <string>

namespace vantro::json {

namespace {

void hex4(Text& out, char32_t c) {
    static constexpr char digits[] = "0123456789abcdef";
    out += U"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(static_cast<char32_t>(digits[(c >> shift) & 0xF]));
}

void quoted(Text& out, TextView s) {
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

}  // namespace

void Writer::separate() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_.push_back(U',');
    first_.back() = false;
}

Writer& Writer::object() {
    separate();
    out_.push_back(U'{');
    closing_.push_back(U'}');
    first_.push_back(true);
    return *this;
}

Writer& Writer::array() {
    separate();
    out_.push_back(U'[');
    closing_.push_back(U']');
    first_.push_back(true);
    return *this;
}

Writer& Writer::end() {
    out_.push_back(closing_.back());
    closing_.pop_back();
    first_.pop_back();
    return *this;
}

Writer& Writer::key(TextView k) {
    separate();
    quoted(out_, k);
    out_.push_back(U':');
    after_key_ = true;
    return *this;
}

Writer& Writer::null() {
    separate();
    out_ += U"null";
    return *this;
}

Writer& Writer::boolean(bool b) {
    separate();
    out_ += b ? U"true" : U"false";
    return *this;
}

Writer& Writer::number(std::int64_t n) {
    separate();
    for (char c : std::to_string(n)) out_.push_back(static_cast<char32_t>(c));
    return *this;
}

Writer& Writer::string(TextView s) {
    separate();
    quoted(out_, s);
    return *this;
}

Writer& Writer::indices(const std::vector<int>& v) {
    array();
    for (int i : v) number(i);
    return end();
}

Writer& Writer::pair(std::int64_t a, std::int64_t b) { return array().number(a).number(b).end(); }

}  // namespace vantro::json
