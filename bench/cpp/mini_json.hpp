// A small JSON reader for the benchmark's data file: objects keep their
// member order (the table's order decides the search's ties). Numbers are
// kept as text; nothing here is meant for untrusted input.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mini_json {

struct Value {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    std::u32string text;  // String and Number
    std::vector<Value> items;                              // Array
    std::vector<std::pair<std::u32string, Value>> members;  // Object, file order

    const Value* find(std::u32string_view key) const {
        for (const auto& [k, v] : members)
            if (k == key) return &v;
        return nullptr;
    }
};

class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}

    Value document() {
        Value v = value();
        space();
        if (i_ != s_.size()) fail("trailing text");
        return v;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at byte " + std::to_string(i_));
    }
    void space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
    }
    char peek() {
        space();
        if (i_ >= s_.size()) fail("unexpected end");
        return s_[i_];
    }
    void expect(char c) {
        if (peek() != c) fail("unexpected character");
        ++i_;
    }
    bool word(std::string_view w) {
        if (s_.substr(i_, w.size()) != w) return false;
        i_ += w.size();
        return true;
    }

    // Arrays and objects nest through an explicit stack of open containers.
    Value value() {
        std::vector<Value> stack;
        std::vector<std::u32string> keys;
        Value root;
        bool have_root = false;
        while (!have_root) {
            Value v;
            bool opened = false;
            const char c = peek();
            if (c == '{' || c == '[') {
                ++i_;
                v.kind = c == '{' ? Value::Object : Value::Array;
                if (peek() == (c == '{' ? '}' : ']')) {
                    ++i_;
                } else {
                    if (c == '{') {
                        keys.push_back(string());
                        expect(':');
                    }
                    stack.push_back(std::move(v));
                    opened = true;
                }
            } else {
                v = scalar();
            }
            if (opened) continue;
            // Attach `v` to the innermost open container, closing finished ones.
            while (true) {
                if (stack.empty()) {
                    root = std::move(v);
                    have_root = true;
                    break;
                }
                Value& top = stack.back();
                if (top.kind == Value::Array) top.items.push_back(std::move(v));
                else {
                    top.members.emplace_back(std::move(keys.back()), std::move(v));
                    keys.pop_back();
                }
                const char next = peek();
                ++i_;
                if (next == ',') {
                    if (top.kind == Value::Object) {
                        keys.push_back(string());
                        expect(':');
                    }
                    break;
                }
                if (next != (top.kind == Value::Array ? ']' : '}')) fail("expected , or end of container");
                v = std::move(stack.back());
                stack.pop_back();
            }
        }
        return root;
    }

    Value scalar() {
        Value v;
        const char c = peek();
        if (c == '"') {
            v.kind = Value::String;
            v.text = string();
        } else if (word("true")) {
            v.kind = Value::Bool;
            v.boolean = true;
        } else if (word("false")) {
            v.kind = Value::Bool;
        } else if (word("null")) {
            v.kind = Value::Null;
        } else {
            v.kind = Value::Number;
            while (i_ < s_.size() && std::string_view("+-.eE0123456789").find(s_[i_]) != std::string_view::npos)
                v.text.push_back(static_cast<char32_t>(s_[i_++]));
            if (v.text.empty()) fail("unexpected character");
        }
        return v;
    }

    unsigned hex4() {
        if (i_ + 4 > s_.size()) fail("short \\u escape");
        unsigned u = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = s_[i_++];
            u = u * 16 + static_cast<unsigned>(h >= 'a' ? h - 'a' + 10 : h >= 'A' ? h - 'A' + 10 : h - '0');
        }
        return u;
    }

    std::u32string string() {
        expect('"');
        std::u32string out;
        while (true) {
            if (i_ >= s_.size()) fail("unterminated string");
            const auto b = static_cast<unsigned char>(s_[i_++]);
            if (b == '"') return out;
            if (b == '\\') {
                const char e = s_[i_++];
                switch (e) {
                    case 'n': out.push_back(U'\n'); break;
                    case 't': out.push_back(U'\t'); break;
                    case 'r': out.push_back(U'\r'); break;
                    case 'b': out.push_back(U'\b'); break;
                    case 'f': out.push_back(U'\f'); break;
                    case 'u': {
                        unsigned u = hex4();
                        if (u >= 0xD800 && u < 0xDC00 && s_.substr(i_, 2) == "\\u") {
                            i_ += 2;
                            const unsigned lo = hex4();
                            u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                        }
                        out.push_back(static_cast<char32_t>(u));
                        break;
                    }
                    default: out.push_back(static_cast<char32_t>(e)); break;
                }
                continue;
            }
            // UTF-8 sequence.
            int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
            char32_t cp = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
            while (extra-- > 0) cp = (cp << 6) | (static_cast<unsigned char>(s_[i_++]) & 0x3F);
            out.push_back(cp);
        }
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

inline Value parse(std::string_view text) { return Reader(text).document(); }

}  // namespace mini_json
