#include "bindings/common/convert.hpp"

#include "bindings/common/owned.hpp"

namespace vantro::py {

void raise_arg_type(const char* name, const char* expected, PyObject* got) {
    PyErr_Format(PyExc_TypeError, "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)", name,
                 expected, Py_TYPE(got)->tp_name);
}

void raise_expected(const char* expected, PyObject* got) {
    PyErr_Format(PyExc_TypeError, "Expected %s, got %.200s", expected, Py_TYPE(got)->tp_name);
}

bool check_str(PyObject* o, const char* name) {
    if (PyUnicode_Check(o)) return true;
    raise_arg_type(name, "str", o);
    return false;
}
bool check_list(PyObject* o, const char* name) {
    if (PyList_Check(o)) return true;
    raise_arg_type(name, "list", o);
    return false;
}
bool check_dict(PyObject* o, const char* name) {
    if (PyDict_Check(o)) return true;
    raise_arg_type(name, "dict", o);
    return false;
}
bool check_list_or_none(PyObject* o, const char* name) { return o == Py_None || check_list(o, name); }
bool check_dict_or_none(PyObject* o, const char* name) { return o == Py_None || check_dict(o, name); }

void assign_text(PyObject* str, Text& out) {
    const Py_ssize_t n = PyUnicode_GET_LENGTH(str);
    const int kind = PyUnicode_KIND(str);
    const void* data = PyUnicode_DATA(str);
    out.resize(static_cast<std::size_t>(n));
    switch (kind) {
        case PyUnicode_1BYTE_KIND: {
            auto p = static_cast<const Py_UCS1*>(data);
            for (Py_ssize_t i = 0; i < n; ++i) out[i] = p[i];
            break;
        }
        case PyUnicode_2BYTE_KIND: {
            auto p = static_cast<const Py_UCS2*>(data);
            for (Py_ssize_t i = 0; i < n; ++i) out[i] = p[i];
            break;
        }
        default: {
            auto p = static_cast<const Py_UCS4*>(data);
            for (Py_ssize_t i = 0; i < n; ++i) out[i] = p[i];
            break;
        }
    }
}

Text to_text(PyObject* str) {
    Text t;
    assign_text(str, t);
    return t;
}

namespace {

PyObject* new_str(TextView t) {
    char32_t maxc = 0;
    for (char32_t c : t) maxc = c > maxc ? c : maxc;
    if (maxc < 0x80) {
        PyObject* s = PyUnicode_New(static_cast<Py_ssize_t>(t.size()), 0x7F);
        if (!s) return nullptr;
        auto p = PyUnicode_1BYTE_DATA(s);
        for (std::size_t i = 0; i < t.size(); ++i) p[i] = static_cast<Py_UCS1>(t[i]);
        return s;
    }
    return PyUnicode_FromKindAndData(PyUnicode_4BYTE_KIND, t.data(), static_cast<Py_ssize_t>(t.size()));
}

// Results are made of a few hundred distinct short strings (phonemes,
// graphemes, syllables), created again for every word. A direct-mapped cache
// hands out the same immutable str instead; its size is fixed, so it cannot grow.
constexpr std::size_t kCachedLength = 4;
constexpr unsigned kCacheBits = 12;
struct CachedStr {
    PyObject* str;
    std::uint32_t length;
    char32_t text[kCachedLength];
};
CachedStr g_short_strings[std::size_t{1} << kCacheBits];
// Single letters and IPA symbols (everything below the combining marks) by code point.
constexpr char32_t kSingles = 0x300;
PyObject* g_singles[kSingles];

}  // namespace

PyObject* from_text(TextView t) {
    const std::size_t n = t.size();
    if (n == 1 && t[0] < kSingles) {
        PyObject*& slot = g_singles[t[0]];
        if (!slot && !(slot = new_str(t))) return nullptr;
        return Py_NewRef(slot);
    }
    if (n == 0 || n > kCachedLength) return new_str(t);
    std::uint64_t h = n;
    for (char32_t c : t) h = (h ^ c) * 0x9E3779B97F4A7C15ull;
    CachedStr& e = g_short_strings[h >> (64 - kCacheBits)];
    if (e.str && e.length == n) {
        bool same = true;
        for (std::size_t i = 0; i < n; ++i) same &= e.text[i] == t[i];
        if (same) return Py_NewRef(e.str);
    }
    PyObject* s = new_str(t);
    if (!s) return nullptr;
    Py_XSETREF(e.str, Py_NewRef(s));
    e.length = static_cast<std::uint32_t>(n);
    for (std::size_t i = 0; i < n; ++i) e.text[i] = t[i];
    return s;
}

bool text_item(PyObject* item, Text& out) {
    if (!PyUnicode_Check(item)) {
        raise_expected("str", item);
        return false;
    }
    assign_text(item, out);
    return true;
}

bool joined_item(PyObject* item, std::size_t index, Text& out) {
    if (!PyUnicode_Check(item)) {
        PyErr_Format(PyExc_TypeError, "sequence item %zd: expected str instance, %.80s found",
                     static_cast<Py_ssize_t>(index), Py_TYPE(item)->tp_name);
        return false;
    }
    assign_text(item, out);
    return true;
}

PyObject* tuple_of(std::initializer_list<PyObject*> items) {
    bool complete = true;
    for (PyObject* o : items) complete &= o != nullptr;
    PyObject* t = complete ? PyTuple_New(static_cast<Py_ssize_t>(items.size())) : nullptr;
    Py_ssize_t i = 0;
    for (PyObject* o : items) {
        if (t) PyTuple_SET_ITEM(t, i++, o);
        else Py_XDECREF(o);
    }
    return t;
}

bool to_int64(PyObject* o, std::int64_t& out) {
    if (!PyLong_Check(o)) {
        // Behave like an index: bools and int subclasses pass, other types do not.
        PyObject* idx = PyNumber_Index(o);
        if (!idx) return false;
        long long v = PyLong_AsLongLong(idx);
        Py_DECREF(idx);
        if (v == -1 && PyErr_Occurred()) return false;
        out = v;
        return true;
    }
    long long v = PyLong_AsLongLong(o);
    if (v == -1 && PyErr_Occurred()) return false;
    out = v;
    return true;
}

bool unpack_pair(PyObject* o, Ref& hold, PyObject*& first, PyObject*& second) {
    // A snapshot, not the caller's list: converting the first item may run
    // code (__index__) that empties the list and frees the second.
    Snapshot items;
    const bool read = items.take(o, "cannot unpack non-iterable object");
    hold = Ref::borrow(items.tuple());
    if (!read) {
        if (PyErr_ExceptionMatches(PyExc_TypeError)) {
            PyErr_Clear();
            PyErr_Format(PyExc_TypeError, "cannot unpack non-iterable %.200s object", Py_TYPE(o)->tp_name);
        }
        return false;
    }
    const Py_ssize_t n = PyTuple_GET_SIZE(hold.get());
    if (n < 2) PyErr_Format(PyExc_ValueError, "not enough values to unpack (expected 2, got %zd)", n);
    if (n > 2) PyErr_SetString(PyExc_ValueError, "too many values to unpack (expected 2)");
    if (n != 2) return false;
    first = PyTuple_GET_ITEM(hold.get(), 0);
    second = PyTuple_GET_ITEM(hold.get(), 1);
    return true;
}

bool to_span(PyObject* o, Span& out) {
    if (PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) == 2) {
        return to_int64(PyTuple_GET_ITEM(o, 0), out.start) && to_int64(PyTuple_GET_ITEM(o, 1), out.end);
    }
    Ref hold;
    PyObject *start, *end;
    return unpack_pair(o, hold, start, end) && to_int64(start, out.start) && to_int64(end, out.end);
}

namespace {

PyObject* new_span(const Span& s) { return tuple_of({PyLong_FromLongLong(s.start), PyLong_FromLongLong(s.end)}); }

// Spans inside a word are small pairs and come back word after word; tuples
// are immutable, so the same one can be handed out every time.
constexpr std::int64_t kCachedSpanEnd = 32;
PyObject* g_spans[kCachedSpanEnd][kCachedSpanEnd];

}  // namespace

PyObject* from_span(const Span& s) {
    if (s.start >= 0 && s.end >= 0 && s.start < kCachedSpanEnd && s.end < kCachedSpanEnd) {
        PyObject*& slot = g_spans[s.start][s.end];
        if (!slot && !(slot = new_span(s))) return nullptr;
        return Py_NewRef(slot);
    }
    return new_span(s);
}

}  // namespace vantro::py
