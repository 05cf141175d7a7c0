// Shared between the record sources: the declarative description of each
// record, the per-type runtime data and a small owning reference.
#pragma once

#include "bindings/common/names.hpp"
#include "bindings/records/records.hpp"

#include <utility>

namespace vantro::py::detail {

// Pieces of text joined once at the end; any failure is sticky and reported
// by join().
class TextParts {
public:
    TextParts() : list_(PyList_New(0)) {}
    // Steals `piece`; a nullptr piece marks the whole text as failed.
    void add(PyObject* piece) {
        if (!list_) {
            Py_XDECREF(piece);
            return;
        }
        if (!piece || PyList_Append(list_.get(), piece) < 0) list_ = Ref();
        Py_XDECREF(piece);
    }
    void add_borrowed(PyObject* piece) {
        Py_XINCREF(piece);
        add(piece);
    }
    void add_utf8(const char* text) {
        if (list_) add(PyUnicode_FromString(text));
    }
    bool ok() const { return static_cast<bool>(list_); }
    // New reference, or nullptr with the first error set.
    PyObject* join(PyObject* separator) {
        return list_ ? PyUnicode_Join(separator, list_.get()) : nullptr;
    }

private:
    Ref list_;
};

// separator.join(f(item) for item in iterable); f returns a new reference.
template <class F>
inline PyObject* join_each(PyObject* iterable, PyObject* separator, F&& f) {
    Ref it(PyObject_GetIter(iterable));
    if (!it) return nullptr;
    Ref pieces(PyList_New(0));
    if (!pieces) return nullptr;
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref item(raw);
        Ref piece(f(item.get()));
        if (!piece || PyList_Append(pieces.get(), piece.get()) < 0) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
    return PyUnicode_Join(separator, pieces.get());
}

enum class Default : unsigned char {
    Required,
    EmptyStr,
    False,
    True,
    None,
    NoneLabel,  // the liaison label "none"
    WordKind,   // the token kind "mot"
    EmptySpan,  // (0, 0)
    NewList,
    NewGroup,    // GroupePhonologique()
    NewOptions,  // OptionsGroupes()
};

struct FieldDef {
    const char* name;
    const char* type;  // annotation, kept as a string as under postponed evaluation
    Default def;
};

constexpr int kMaxFields = 8;

struct RecordDef {
    const char* name;
    const char* doc;  // nullptr: the dataclass signature doc
    const FieldDef* fields;
    int nfields;
    bool frozen;
    PyGetSetDef* getset;   // derived properties, or nullptr
    PyMethodDef* methods;  // extra methods (renderings), or nullptr
};

const RecordDef& record_def(Rec r);

struct RecordRuntime {
    PyTypeObject* type = nullptr;
    int nfields = 0;
    int nrequired = 0;  // required fields come first
    Default defaults[kMaxFields] = {};
    PyObject* names[kMaxFields] = {};  // interned field names
    PyObject* init_qualname = nullptr;  // "<Name>.__init__", for argument errors
    newfunc base_new = nullptr;         // tp_new as created, to detect monkey-patching
};

extern RecordRuntime g_runtime[static_cast<int>(Rec::Count_)];

inline RecordRuntime& runtime(Rec r) { return g_runtime[static_cast<int>(r)]; }
inline bool is_exact(PyObject* obj, Rec r) { return Py_TYPE(obj) == runtime(r).type; }

// A new default value for a field; nullptr with an error set on failure, or for
// Default::Required.
PyObject* make_default(Default d);

// Cached immutable objects, created by init_record_types.
struct Constants {
    PyObject* empty;       // ""
    PyObject* comma;       // ", "
    PyObject* none_label;  // "none"
    PyObject* word_kind;   // "mot"
    PyObject* empty_span;  // (0, 0)
    PyObject* zero;        // 0
    PyObject* one;         // 1
    PyObject* frozen_error;  // dataclasses.FrozenInstanceError
};
extern Constants g_const;

// Derived properties and renderings attached to the types.
extern PyGetSetDef groupe_phonologique_getset[];
extern PyGetSetDef resultat_analyse_getset[];
extern PyGetSetDef mot_analyse_getset[];
extern PyGetSetDef groupe_lecture_getset[];
extern PyGetSetDef resultat_syllabation_getset[];
extern PyMethodDef resultat_analyse_methods[];
extern PyMethodDef resultat_syllabation_methods[];

// Keeps the dead `obj`, an instance of exactly record_type(r) already
// untracked and cleared, for new_record_object; false when it is not kept
// (the caller frees it).
bool keep_dead_record(Rec r, PyObject* obj);
// Registers the emptying of those free lists at every full collection (as
// the interpreter empties its own). -1 with an error set on failure.
int empty_free_lists_after_full_collections();

// Attaches __dataclass_fields__, __dataclass_params__, __match_args__,
// __annotations__ and the auto doc to a freshly created type.
int attach_dataclass_metadata(Rec r);

// Gives every record type its __reduce__ (record_pickling.cpp); after the
// types exist. -1 with an error set on failure.
int attach_record_reduce();

// _emballer and _deballer (record_packing.cpp), added to the main module.
extern PyMethodDef record_packing_functions[];

}  // namespace vantro::py::detail
