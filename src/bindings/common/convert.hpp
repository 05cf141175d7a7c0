// Argument checks and conversions at the boundary between Python and the core.
//
// Every function that can fail returns false / nullptr with a Python error
// set; callers propagate with `return nullptr`. Offsets are code points, as
// Python's str counts them.
#pragma once

#include "bindings/common/ref.hpp"

#include <cstdint>
#include <optional>
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

// Items of a list that must all be str; false with TypeError otherwise.
bool list_to_texts(PyObject* list, std::vector<Text>& out);
// New list of str.
PyObject* texts_to_list(const std::vector<Text>& texts);

// A Python int that fits in 64 bits (OverflowError / TypeError otherwise).
bool to_int64(PyObject* o, std::int64_t& out);
// Unpacks a two-item sequence of ints, as Python's `a, b = span` would.
bool to_span(PyObject* o, Span& out);
// (start, end); small spans may come back as the same (immutable) tuple.
PyObject* from_span(const Span& s);
bool list_to_spans(PyObject* list, std::vector<Span>& out);
PyObject* spans_to_list(const std::vector<Span>& spans);
bool list_to_int64s(PyObject* list, std::vector<std::int64_t>& out);

}  // namespace vantro::py
