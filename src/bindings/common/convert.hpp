// Argument checks and conversions at the boundary between Python and the core.
//
// Every function that can fail returns false / nullptr with a Python error
// set; callers propagate with `return nullptr`. Offsets are code points, as
// Python's str counts them.
#pragma once

#include "bindings/common/ref.hpp"

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "common/text.hpp"

namespace vantro::py {

// "Argument '<name>' has incorrect type (expected <expected>, got <type>)".
void raise_arg_type(const char* name, const char* expected, PyObject* got);
// "Expected <expected>, got <type>" (a typed value or result of the wrong type).
void raise_expected(const char* expected, PyObject* got);

bool check_str(PyObject* o, const char* name);
bool check_list(PyObject* o, const char* name);
bool check_dict(PyObject* o, const char* name);
bool check_list_or_none(PyObject* o, const char* name);
bool check_dict_or_none(PyObject* o, const char* name);

// str -> code points (lone surrogates kept as they are).
Text to_text(PyObject* str);
void assign_text(PyObject* str, Text& out);
// code points -> str; nullptr with an error set on failure. Short texts may
// come back as the same (immutable) str object as an earlier call.
PyObject* from_text(TextView t);

// Items of a list (or of a tuple) converted one by one by `convert(item,
// element)`, which returns false with an error set when an item will not do.
// Walked as a Python loop walks a list: a converter that runs Python code
// may change the list, so its length is read at each step and each item is
// held while it is converted.
template <class T, class Convert>
bool from_items(PyObject* seq, std::vector<T>& out, Convert&& convert) {
    out.resize(static_cast<std::size_t>(PySequence_Fast_GET_SIZE(seq)));
    Py_ssize_t i = 0;
    for (; i < PySequence_Fast_GET_SIZE(seq); ++i) {
        const Ref item = Ref::borrow(PySequence_Fast_GET_ITEM(seq, i));
        if (static_cast<std::size_t>(i) == out.size()) out.emplace_back();
        if (!convert(item.get(), out[static_cast<std::size_t>(i)])) return false;
    }
    out.resize(static_cast<std::size_t>(i));
    return true;
}
// A new list of `convert(element)` (new references); nullptr at the first failure.
template <class Container, class Convert>
PyObject* list_of(const Container& items, Convert&& convert) {
    Ref list(PyList_New(static_cast<Py_ssize_t>(std::size(items))));
    if (!list) return nullptr;
    Py_ssize_t i = 0;
    for (const auto& item : items) {
        PyObject* o = convert(item);
        if (!o) return nullptr;
        PyList_SET_ITEM(list.get(), i++, o);
    }
    return list.release();
}
// A new set of the texts.
template <class Container>
PyObject* set_of_texts(const Container& texts) {
    Ref set(PySet_New(nullptr));
    if (!set) return nullptr;
    for (const auto& text : texts) {
        Ref item(from_text(text));
        if (!item || PySet_Add(set.get(), item.get()) < 0) return nullptr;
    }
    return set.release();
}
// A new tuple of `items` (new references, stolen); nullptr, with every item
// released, when one of them is nullptr.
PyObject* tuple_of(std::initializer_list<PyObject*> items);

// A str item, or false with "Expected str, got ..." (a list's items).
bool text_item(PyObject* item, Text& out);
// A str that str.join takes as item `index`, or TypeError as join words it.
bool joined_item(PyObject* item, std::size_t index, Text& out);

// Items of a list that must all be str; false with TypeError otherwise.
inline bool list_to_texts(PyObject* list, std::vector<Text>& out) { return from_items(list, out, text_item); }
// New list of str.
inline PyObject* texts_to_list(const std::vector<Text>& texts) {
    return list_of(texts, [](const Text& t) { return from_text(t); });
}

// A Python int that fits in 64 bits (OverflowError / TypeError otherwise).
bool to_int64(PyObject* o, std::int64_t& out);
// `a, b = o`: the two items of any iterable of two, with Python's errors
// otherwise; `hold` (a tuple of our own) keeps them alive.
bool unpack_pair(PyObject* o, Ref& hold, PyObject*& first, PyObject*& second);
// Unpacks a two-item sequence of ints, as Python's `a, b = span` would.
bool to_span(PyObject* o, Span& out);
// (start, end); small spans may come back as the same (immutable) tuple.
PyObject* from_span(const Span& s);
inline bool list_to_spans(PyObject* list, std::vector<Span>& out) { return from_items(list, out, to_span); }
inline PyObject* spans_to_list(const std::vector<Span>& spans) { return list_of(spans, from_span); }
inline bool list_to_int64s(PyObject* list, std::vector<std::int64_t>& out) { return from_items(list, out, to_int64); }

}  // namespace vantro::py
