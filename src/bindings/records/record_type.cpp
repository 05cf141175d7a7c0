// The generic record type: fixed field slots after a small header, an __init__
// that binds arguments the way a dataclass's generated __init__ does, and the
// dataclass behaviours (eq, repr, hash, frozen assignment, pickling state).
//
// Every slot function is instantiated per record so that subclasses, which
// reach these functions with their own type, still know their field layout.
#include "bindings/common/args.hpp"
#include "bindings/records/record_internal.hpp"

#include <structmember.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

namespace vantro::py {

using detail::RecordRuntime;
using detail::runtime;

namespace detail {

RecordRuntime g_runtime[static_cast<int>(Rec::Count_)];
Constants g_const;

PyObject* make_default(Default d) {
    switch (d) {
        case Default::Required:
            break;
        case Default::EmptyStr:
            return Py_NewRef(g_const.empty);
        case Default::False:
            Py_RETURN_FALSE;
        case Default::True:
            Py_RETURN_TRUE;
        case Default::None:
            Py_RETURN_NONE;
        case Default::NoneLabel:
            return Py_NewRef(g_const.none_label);
        case Default::WordKind:
            return Py_NewRef(g_const.word_kind);
        case Default::EmptySpan:
            return Py_NewRef(g_const.empty_span);
        case Default::NewList:
            return PyList_New(0);
        case Default::NewGroup:
            return make_record(Rec::GroupePhonologique, {});
        case Default::NewOptions:
            return make_record(Rec::OptionsGroupes, {});
    }
    PyErr_SetString(PyExc_SystemError, "record field without a default");
    return nullptr;
}

}  // namespace detail

namespace {

using detail::Default;
using detail::kMaxFields;

// ------------------------------------------------------------ field helpers

int find_field(const RecordRuntime& rt, PyObject* name) {
    for (int i = 0; i < rt.nfields; ++i)
        if (rt.names[i] == name) return i;
    if (!PyUnicode_Check(name)) return -1;
    for (int i = 0; i < rt.nfields; ++i)
        if (PyUnicode_Compare(name, rt.names[i]) == 0) return i;
    return -1;
}

// New reference to field i: the slot, or, when the caller deleted it, the
// attribute lookup (which raises AttributeError as a dataclass would).
PyObject* read_field(PyObject* self, const RecordRuntime& rt, int i) {
    if (PyObject* v = object_slots(self)[i]) return Py_NewRef(v);
    return PyObject_GetAttr(self, rt.names[i]);
}

// All fields as a new tuple, in declaration order.
PyObject* field_tuple(PyObject* self, const RecordRuntime& rt) {
    Ref tuple(PyTuple_New(rt.nfields));
    if (!tuple) return nullptr;
    for (int i = 0; i < rt.nfields; ++i) {
        PyObject* v = read_field(self, rt, i);
        if (!v) return nullptr;
        PyTuple_SET_ITEM(tuple.get(), i, v);
    }
    return tuple.release();
}

// ------------------------------------------------------- argument binding
// Mirrors the checks of a Python function's frame set-up, in the same order,
// so that the messages are those of a dataclass's generated __init__.

void raise_too_many(const RecordRuntime& rt, Py_ssize_t nargs) {
    if (rt.nrequired < rt.nfields)
        PyErr_Format(PyExc_TypeError, "%U() takes from %d to %d positional arguments but %zd were given",
                     rt.init_qualname, rt.nrequired + 1, rt.nfields + 1, nargs + 1);
    else
        PyErr_Format(PyExc_TypeError, "%U() takes %d positional arguments but %zd were given", rt.init_qualname,
                     rt.nfields + 1, nargs + 1);
}

void raise_missing(const RecordRuntime& rt, PyObject* const* bound) {
    Ref names(PyList_New(0));
    if (!names) return;
    for (int i = 0; i < rt.nrequired; ++i) {
        if (bound[i]) continue;
        Ref r(PyObject_Repr(rt.names[i]));
        if (!r || PyList_Append(names.get(), r.get()) < 0) return;
    }
    const Py_ssize_t count = PyList_GET_SIZE(names.get());
    Ref listed;
    if (count == 1) {
        listed = Ref(Py_NewRef(PyList_GET_ITEM(names.get(), 0)));
    } else if (count == 2) {
        listed = Ref(
            PyUnicode_FromFormat("%U and %U", PyList_GET_ITEM(names.get(), 0), PyList_GET_ITEM(names.get(), 1)));
    } else {
        Ref last(Py_NewRef(PyList_GET_ITEM(names.get(), count - 1)));
        if (PyList_SetSlice(names.get(), count - 1, count, nullptr) < 0) return;
        Ref head(PyUnicode_Join(detail::g_const.comma, names.get()));
        if (!head) return;
        listed = Ref(PyUnicode_FromFormat("%U, and %U", head.get(), last.get()));
    }
    if (!listed) return;
    PyErr_Format(PyExc_TypeError, "%U() missing %zd required positional argument%s: %U", rt.init_qualname, count,
                 count == 1 ? "" : "s", listed.get());
}

bool bind_keyword(const RecordRuntime& rt, PyObject* key, PyObject* value, PyObject** bound) {
    const int i = find_field(rt, key);
    if (i < 0 || bound[i]) {
        raise_bad_keyword(rt.init_qualname, key, i >= 0);
        return false;
    }
    bound[i] = value;
    return true;
}

// Fills bound[] with borrowed references (nullptr: not given). Keywords come
// either as vectorcall names (values after the positionals) or as a dict.
bool bind_arguments(const RecordRuntime& rt, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                    PyObject* kwdict, PyObject** bound) {
    const int n = rt.nfields;
    for (int i = 0; i < n; ++i) bound[i] = i < nargs ? args[i] : nullptr;
    if (kwnames) {
        const Py_ssize_t nk = PyTuple_GET_SIZE(kwnames);
        for (Py_ssize_t k = 0; k < nk; ++k)
            if (!bind_keyword(rt, PyTuple_GET_ITEM(kwnames, k), args[nargs + k], bound)) return false;
    }
    if (kwdict) {
        Py_ssize_t pos = 0;
        PyObject* key;
        PyObject* value;
        while (PyDict_Next(kwdict, &pos, &key, &value)) {
            if (!PyUnicode_Check(key)) {
                PyErr_SetString(PyExc_TypeError, "keywords must be strings");
                return false;
            }
            if (!bind_keyword(rt, key, value, bound)) return false;
        }
    }
    if (nargs > n) {
        raise_too_many(rt, nargs);
        return false;
    }
    for (int i = 0; i < rt.nrequired; ++i) {
        if (!bound[i]) {
            raise_missing(rt, bound);
            return false;
        }
    }
    return true;
}

// Turns bound[] (borrowed, nullptr = default) into new references.
bool take_values(const RecordRuntime& rt, PyObject** values) {
    for (int i = 0; i < rt.nfields; ++i) {
        PyObject* v = values[i] ? Py_NewRef(values[i]) : detail::make_default(rt.defaults[i]);
        if (!v) {
            for (int j = 0; j < i; ++j) Py_DECREF(values[j]);
            return false;
        }
        values[i] = v;
    }
    return true;
}

template <Rec R>
int rec_init(PyObject* self, PyObject* args, PyObject* kwds) {
    const RecordRuntime& rt = runtime(R);
    PyObject* values[kMaxFields];
    PyObject* const* items = PySequence_Fast_ITEMS(args);
    if (!bind_arguments(rt, items, PyTuple_GET_SIZE(args), nullptr, kwds, values) || !take_values(rt, values))
        return -1;
    PyObject** slots = object_slots(self);
    for (int i = 0; i < rt.nfields; ++i) Py_XSETREF(slots[i], values[i]);
    return 0;
}

// Fallback when a caller replaced __init__ or __new__ on the record type itself.
PyObject* call_through_type(PyObject* callable, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    Ref tuple(PyTuple_New(nargs));
    if (!tuple) return nullptr;
    for (Py_ssize_t i = 0; i < nargs; ++i) PyTuple_SET_ITEM(tuple.get(), i, Py_NewRef(args[i]));
    Ref kwargs;
    if (kwnames && PyTuple_GET_SIZE(kwnames) > 0) {
        kwargs = Ref(PyDict_New());
        if (!kwargs) return nullptr;
        for (Py_ssize_t k = 0; k < PyTuple_GET_SIZE(kwnames); ++k)
            if (PyDict_SetItem(kwargs.get(), PyTuple_GET_ITEM(kwnames, k), args[nargs + k]) < 0) return nullptr;
    }
    return PyType_Type.tp_call(callable, tuple.get(), kwargs.get());
}

// Calling the type from Python: one allocation and the bound values, no tuple
// or dict. Python subclasses do not inherit this and go through type_call.
template <Rec R>
PyObject* rec_vectorcall(PyObject* callable, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
    const RecordRuntime& rt = runtime(R);
    auto* type = reinterpret_cast<PyTypeObject*>(callable);
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (type != rt.type || type->tp_init != rec_init<R> || type->tp_new != rt.base_new)
        return call_through_type(callable, args, nargs, kwnames);
    PyObject* values[kMaxFields];
    if (!bind_arguments(rt, args, nargs, kwnames, nullptr, values) || !take_values(rt, values)) return nullptr;
    PyObject* obj = new_record_object(R);
    if (!obj) {
        for (int i = 0; i < rt.nfields; ++i) Py_DECREF(values[i]);
        return nullptr;
    }
    std::memcpy(object_slots(obj), values, sizeof(PyObject*) * static_cast<std::size_t>(rt.nfields));
    return obj;
}

// -------------------------------------------------------- object protocol

template <Rec R>
int rec_traverse(PyObject* self, visitproc visit, void* arg) {
    return traverse_object(self, runtime(R).nfields, visit, arg);
}

template <Rec R>
int rec_clear(PyObject* self) {
    return clear_object(self, runtime(R).nfields);
}

template <Rec R>
void rec_dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    PyObject_GC_UnTrack(self);
    // The trashcan bounds the C stack when long chains of records die at once.
    Py_TRASHCAN_BEGIN(self, rec_dealloc<R>)
    if (reinterpret_cast<ObjectHead*>(self)->weaklist) PyObject_ClearWeakRefs(self);
    rec_clear<R>(self);
    if (type != runtime(R).type || !detail::keep_dead_record(R, self)) type->tp_free(self);
    Py_DECREF(type);
    Py_TRASHCAN_END
}

PyObject* build_repr(PyObject* self, const RecordRuntime& rt) {
    detail::TextParts parts;
    parts.add(PyType_GetQualName(Py_TYPE(self)));
    parts.add_utf8("(");
    for (int i = 0; i < rt.nfields && parts.ok(); ++i) {
        if (i > 0) parts.add_borrowed(detail::g_const.comma);
        parts.add_borrowed(rt.names[i]);
        parts.add_utf8("=");
        Ref value(read_field(self, rt, i));
        if (!value) return nullptr;
        parts.add(PyObject_Repr(value.get()));
    }
    parts.add_utf8(")");
    return parts.join(detail::g_const.empty);
}

template <Rec R>
PyObject* rec_repr(PyObject* self) {
    const int entered = Py_ReprEnter(self);
    if (entered != 0) return entered > 0 ? PyUnicode_FromString("...") : nullptr;
    PyObject* text = build_repr(self, runtime(R));
    Py_ReprLeave(self);
    return text;
}

template <Rec R>
PyObject* rec_richcompare(PyObject* a, PyObject* b, int op) {
    if ((op != Py_EQ && op != Py_NE) || Py_TYPE(a) != Py_TYPE(b)) Py_RETURN_NOTIMPLEMENTED;
    const RecordRuntime& rt = runtime(R);
    // Like comparing two field tuples: every field is read before comparing.
    Ref left(field_tuple(a, rt));
    if (!left) return nullptr;
    Ref right(field_tuple(b, rt));
    if (!right) return nullptr;
    bool equal = true;
    for (int i = 0; i < rt.nfields && equal; ++i) {
        const int eq = PyObject_RichCompareBool(PyTuple_GET_ITEM(left.get(), i), PyTuple_GET_ITEM(right.get(), i),
                                                Py_EQ);
        if (eq < 0) return nullptr;
        equal = eq == 1;
    }
    return PyBool_FromLong(equal == (op == Py_EQ));
}

template <Rec R>
Py_hash_t rec_frozen_hash(PyObject* self) {
    Ref fields(field_tuple(self, runtime(R)));
    return fields ? PyObject_Hash(fields.get()) : -1;
}

template <Rec R>
int rec_frozen_setattro(PyObject* self, PyObject* name, PyObject* value) {
    const RecordRuntime& rt = runtime(R);
    if (Py_TYPE(self) == rt.type || find_field(rt, name) >= 0) {
        PyErr_Format(detail::g_const.frozen_error, value ? "cannot assign to field %R" : "cannot delete field %R",
                     name);
        return -1;
    }
    return PyObject_GenericSetAttr(self, name, value);
}

// ------------------------------------------------------------ pickling
// The state is the instance's attributes as a dict (as for a plain class),
// restored without __init__ so that cycles and subclasses with their own
// __init__ survive copy, deepcopy and pickle; frozen records too.

template <Rec R>
PyObject* rec_getstate(PyObject* self, PyObject*) {
    const RecordRuntime& rt = runtime(R);
    Ref state(PyDict_New());
    if (!state) return nullptr;
    PyObject** slots = object_slots(self);
    for (int i = 0; i < rt.nfields; ++i)
        if (slots[i] && PyDict_SetItem(state.get(), rt.names[i], slots[i]) < 0) return nullptr;
    // Held: comparing its keys may run code that replaces the instance's __dict__.
    const Ref dict = Ref::borrow(reinterpret_cast<ObjectHead*>(self)->dict);
    if (dict && PyDict_Update(state.get(), dict.get()) < 0) return nullptr;
    return state.release();
}

template <Rec R>
PyObject* rec_setstate(PyObject* self, PyObject* state) {
    const RecordRuntime& rt = runtime(R);
    if (!PyDict_Check(state)) {
        PyErr_Format(PyExc_TypeError, "state must be a dict, not %.200s", Py_TYPE(state)->tp_name);
        return nullptr;
    }
    Ref items(PyDict_Items(state));
    if (!items) return nullptr;
    auto* head = reinterpret_cast<ObjectHead*>(self);
    for (Py_ssize_t k = 0; k < PyList_GET_SIZE(items.get()); ++k) {
        PyObject* item = PyList_GET_ITEM(items.get(), k);
        PyObject* key = PyTuple_GET_ITEM(item, 0);
        PyObject* value = PyTuple_GET_ITEM(item, 1);
        const int i = find_field(rt, key);
        if (i >= 0) {
            Py_XSETREF(object_slots(self)[i], Py_NewRef(value));
            continue;
        }
        if (!head->dict && !(head->dict = PyDict_New())) return nullptr;
        // Held: hashing the key may run code that replaces the instance's __dict__.
        const Ref dict = Ref::borrow(head->dict);
        if (PyDict_SetItem(dict.get(), key, value) < 0) return nullptr;
    }
    Py_RETURN_NONE;
}

// ------------------------------------------------------------- type creation

template <class F>
void* slot_fn(F f) {
    return reinterpret_cast<void*>(f);
}

template <Rec R>
PyTypeObject* create_type() {
    const detail::RecordDef& def = detail::record_def(R);
    static const std::string qualified = std::string("vantro_aligneur.vantro_aligneur.") + def.name;

    static PyMemberDef members[kMaxFields + 3] = {};
    int m = 0;
    for (int i = 0; i < def.nfields; ++i)
        members[m++] = {def.fields[i].name, T_OBJECT_EX,
                        slot_offset(i),
                        0, nullptr};
    for (const PyMemberDef& head : {PyMemberDef VANTRO_HEAD_MEMBERS}) members[m++] = head;

    static PyMethodDef methods[8] = {};
    int k = 0;
    methods[k++] = {"__getstate__", rec_getstate<R>, METH_NOARGS, "Helper for pickle."};
    methods[k++] = {"__setstate__", rec_setstate<R>, METH_O, "Helper for pickle."};
    for (PyMethodDef* p = def.methods; p && p->ml_name; ++p) methods[k++] = *p;

    // Instances carry a __dict__ like any dataclass instance (created on first use).
    static PyGetSetDef getset[8] = {};
    int g = 0;
    getset[g++] = {"__dict__", PyObject_GenericGetDict, PyObject_GenericSetDict, nullptr, nullptr};
    for (PyGetSetDef* p = def.getset; p && p->name; ++p) getset[g++] = *p;

    PyType_Slot slots[16];
    int s = 0;
    slots[s++] = {Py_tp_dealloc, slot_fn(rec_dealloc<R>)};
    slots[s++] = {Py_tp_traverse, slot_fn(rec_traverse<R>)};
    slots[s++] = {Py_tp_clear, slot_fn(rec_clear<R>)};
    slots[s++] = {Py_tp_init, slot_fn(rec_init<R>)};
    slots[s++] = {Py_tp_repr, slot_fn(rec_repr<R>)};
    slots[s++] = {Py_tp_richcompare, slot_fn(rec_richcompare<R>)};
    slots[s++] = {Py_tp_members, members};
    slots[s++] = {Py_tp_methods, methods};
    slots[s++] = {Py_tp_getset, getset};
    if (def.frozen) {
        slots[s++] = {Py_tp_hash, slot_fn(rec_frozen_hash<R>)};
        slots[s++] = {Py_tp_setattro, slot_fn(rec_frozen_setattro<R>)};
    } else {
        slots[s++] = {Py_tp_hash, slot_fn(PyObject_HashNotImplemented)};
    }
    slots[s++] = {0, nullptr};

    PyType_Spec spec = {
        qualified.c_str(),
        static_cast<int>(sizeof(ObjectHead) + sizeof(PyObject*) * static_cast<std::size_t>(def.nfields)),
        0,
        Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
        slots,
    };
    auto* type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&spec));
    if (!type) return nullptr;
    type->tp_vectorcall = rec_vectorcall<R>;

    RecordRuntime& rt = runtime(R);
    rt.type = type;
    rt.base_new = type->tp_new;
    rt.nfields = def.nfields;
    rt.nrequired = 0;
    while (rt.nrequired < def.nfields && def.fields[rt.nrequired].def == Default::Required) ++rt.nrequired;
    for (int i = 0; i < def.nfields; ++i) {
        rt.defaults[i] = def.fields[i].def;
        if (!(rt.names[i] = PyUnicode_InternFromString(def.fields[i].name))) return nullptr;
    }
    if (!(rt.init_qualname = PyUnicode_FromFormat("%s.__init__", def.name))) return nullptr;
    return type;
}

template <std::size_t... I>
bool create_all_types(std::index_sequence<I...>) {
    return ((create_type<static_cast<Rec>(I)>() != nullptr) && ...);
}

bool init_constants() {
    auto& c = detail::g_const;
    auto str = [](const char* s) { return PyUnicode_InternFromString(s); };
    c.empty = str("");
    c.comma = str(", ");
    c.none_label = str("none");
    c.word_kind = str("mot");
    c.zero = PyLong_FromLong(0);
    c.one = PyLong_FromLong(1);
    c.empty_span = c.zero ? PyTuple_Pack(2, c.zero, c.zero) : nullptr;
    Ref dataclasses(PyImport_ImportModule("dataclasses"));
    c.frozen_error = dataclasses ? PyObject_GetAttrString(dataclasses.get(), "FrozenInstanceError") : nullptr;
    return !PyErr_Occurred();
}

}  // namespace

// ------------------------------------------------------------ public API

int init_record_types(PyObject* module) {
    static bool ready = false;
    if (!ready) {
        constexpr auto count = static_cast<std::size_t>(Rec::Count_);
        if (!init_constants() || !create_all_types(std::make_index_sequence<count>{})) return -1;
        for (int r = 0; r < static_cast<int>(count); ++r)
            if (detail::attach_dataclass_metadata(static_cast<Rec>(r)) < 0) return -1;
        if (detail::attach_record_reduce() < 0) return -1;
        if (detail::empty_free_lists_after_full_collections() < 0) return -1;
        ready = true;
    }
    for (int r = 0; r < static_cast<int>(Rec::Count_); ++r) {
        auto* type = reinterpret_cast<PyObject*>(runtime(static_cast<Rec>(r)).type);
        if (PyModule_AddObjectRef(module, detail::record_def(static_cast<Rec>(r)).name, type) < 0) return -1;
    }
    if (PyModule_AddFunctions(module, detail::record_packing_functions) < 0) return -1;
    return 0;
}

PyTypeObject* record_type(Rec r) { return runtime(r).type; }

bool is_record(PyObject* obj, Rec r) { return PyObject_TypeCheck(obj, runtime(r).type); }

PyObject* record_attr(PyObject* obj, Rec r, int i) {
    const RecordRuntime& rt = runtime(r);
    if (Py_TYPE(obj) == rt.type)
        if (PyObject* v = object_slots(obj)[i]) return Py_NewRef(v);
    return PyObject_GetAttr(obj, rt.names[i]);
}

PyObject* make_record(Rec r, std::initializer_list<PyObject*> values) {
    const RecordRuntime& rt = runtime(r);
    auto release = [&](PyObject* const* from) {
        for (auto it = from; it != values.end(); ++it) Py_XDECREF(*it);
    };
    if (PyErr_Occurred()) {
        release(values.begin());
        return nullptr;
    }
    if (values.size() > static_cast<std::size_t>(rt.nfields)) {
        release(values.begin());
        PyErr_Format(PyExc_SystemError, "make_record: too many values for %s", detail::record_def(r).name);
        return nullptr;
    }
    PyObject* obj = new_record_object(r);
    if (!obj) {
        release(values.begin());
        return nullptr;
    }
    PyObject** slots = object_slots(obj);
    int i = 0;
    for (auto it = values.begin(); i < rt.nfields; ++i) {
        PyObject* v = nullptr;
        if (it != values.end()) v = *it++;
        if (!v) {
            if (rt.defaults[i] == Default::Required) {
                PyErr_Format(PyExc_SystemError, "make_record: no value for the required field '%U' of %s",
                             rt.names[i], detail::record_def(r).name);
            } else {
                v = detail::make_default(rt.defaults[i]);
            }
            if (!v) {
                release(it);
                Py_DECREF(obj);
                return nullptr;
            }
        }
        slots[i] = v;
    }
    return obj;
}

}  // namespace vantro::py
