// A cache of bounded size for values computed from text keys.
//
// A long text repeats its words and reading groups a great deal ("de",
// "les enfants"): their alignment and syllables are computed once. Two
// generations of at most `capacity` entries each: when the newer one is full
// the older one is dropped, and a key found in the older one moves up. No
// entry is ever changed after it is made, and memory stays bounded however
// long the text.
#pragma once

#include <cstddef>
#include <utility>

#include "common/text.hpp"

namespace vantro::reading {

template <class Value>
class BoundedCache {
public:
    explicit BoundedCache(std::size_t capacity) : capacity_(capacity) {}

    // The value of `key`, computed by `make()` when it is not there. The
    // reference is valid until the next call.
    template <class Make>
    const Value& get(const Text& key, Make&& make) {
        if (auto it = current_.find(key); it != current_.end()) return it->second;
        if (auto it = previous_.find(key); it != previous_.end()) {
            Value moved = std::move(it->second);
            previous_.erase(it);
            return insert(key, std::move(moved));
        }
        return insert(key, make());
    }

    // The value of `key`, or nullptr; valid until the next call. For values
    // that may only be kept once the caller knows they are final.
    const Value* find(const Text& key) {
        if (auto it = current_.find(key); it != current_.end()) return &it->second;
        if (auto it = previous_.find(key); it != previous_.end()) {
            Value moved = std::move(it->second);
            previous_.erase(it);
            return &insert(key, std::move(moved));
        }
        return nullptr;
    }

    // Keeps `value` for `key` (replacing what was kept for it).
    const Value& put(const Text& key, Value value) { return insert(key, std::move(value)); }

    std::size_t size() const noexcept { return current_.size() + previous_.size(); }

private:
    const Value& insert(const Text& key, Value value) {
        if (current_.size() >= capacity_) {
            previous_ = std::move(current_);
            current_.clear();
        }
        return current_.insert_or_assign(key, std::move(value)).first->second;
    }

    std::size_t capacity_;
    TextMap<Value> current_;
    TextMap<Value> previous_;
};

}  // namespace vantro::reading
