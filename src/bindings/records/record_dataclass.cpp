// The class attributes that make the records dataclasses in the eyes of the
// standard library: dataclasses.fields/asdict/astuple/replace/is_dataclass read
// __dataclass_fields__, `match` reads __match_args__, help() the auto doc.
#include "bindings/records/record_internal.hpp"

namespace vantro::py::detail {
namespace {

struct DataclassApi {
    Ref field;       // dataclasses.field
    Ref field_kind;  // dataclasses._FIELD
    Ref params;      // dataclasses._DataclassParams
};

bool load_api(DataclassApi& api) {
    Ref module(PyImport_ImportModule("dataclasses"));
    if (!module) return false;
    api.field = Ref(PyObject_GetAttrString(module.get(), "field"));
    api.field_kind = Ref(api.field ? PyObject_GetAttrString(module.get(), "_FIELD") : nullptr);
    api.params = Ref(api.field_kind ? PyObject_GetAttrString(module.get(), "_DataclassParams") : nullptr);
    return static_cast<bool>(api.params);
}

PyObject* dataclass_params(const DataclassApi& api, bool frozen) {
    PyObject* f = frozen ? Py_True : Py_False;
#if PY_VERSION_HEX >= 0x030C0000
    // init, repr, eq, order, unsafe_hash, frozen, match_args, kw_only, slots, weakref_slot
    return PyObject_CallFunctionObjArgs(api.params.get(), Py_True, Py_True, Py_True, Py_False, Py_False, f, Py_True,
                                        Py_False, Py_False, Py_False, nullptr);
#else
    // init, repr, eq, order, unsafe_hash, frozen
    return PyObject_CallFunctionObjArgs(api.params.get(), Py_True, Py_True, Py_True, Py_False, Py_False, f, nullptr);
#endif
}

PyObject* default_factory(Default d) {
    switch (d) {
        case Default::NewList:
            return Py_NewRef(reinterpret_cast<PyObject*>(&PyList_Type));
        case Default::NewGroup:
            return Py_NewRef(reinterpret_cast<PyObject*>(record_type(Rec::GroupePhonologique)));
        case Default::NewOptions:
            return Py_NewRef(reinterpret_cast<PyObject*>(record_type(Rec::OptionsGroupes)));
        default:
            return nullptr;
    }
}

// A dataclasses.Field in the state the dataclass decorator leaves it.
PyObject* make_field(const DataclassApi& api, PyObject* name, PyObject* type, PyObject* value, PyObject* factory) {
    Ref kwargs(PyDict_New());
    Ref args(PyTuple_New(0));
    if (!kwargs || !args) return nullptr;
    if (value && PyDict_SetItemString(kwargs.get(), "default", value) < 0) return nullptr;
    if (factory && PyDict_SetItemString(kwargs.get(), "default_factory", factory) < 0) return nullptr;
    Ref field(PyObject_Call(api.field.get(), args.get(), kwargs.get()));
    if (!field || PyObject_SetAttrString(field.get(), "name", name) < 0 ||
        PyObject_SetAttrString(field.get(), "type", type) < 0 ||
        PyObject_SetAttrString(field.get(), "_field_type", api.field_kind.get()) < 0 ||
        PyObject_SetAttrString(field.get(), "kw_only", Py_False) < 0)
        return nullptr;
    return field.release();
}

}  // namespace

int attach_dataclass_metadata(Rec r) {
    DataclassApi api;
    if (!load_api(api)) return -1;
    const RecordDef& def = record_def(r);
    const RecordRuntime& rt = runtime(r);
    Ref fields(PyDict_New());
    Ref annotations(PyDict_New());
    Ref match_args(PyTuple_New(def.nfields));
    if (!fields || !annotations || !match_args) return -1;

    // The doc a dataclass gets: the class name and its __init__ signature with
    // annotations and defaults, "<factory>" for a default factory.
    TextParts doc;
    doc.add_utf8(def.name);
    doc.add_utf8("(");
    for (int i = 0; i < def.nfields; ++i) {
        const FieldDef& fd = def.fields[i];
        PyObject* name = rt.names[i];
        Ref type(PyUnicode_FromString(fd.type));
        if (!type) return -1;
        Ref factory(default_factory(fd.def));
        Ref value;
        if (!factory && fd.def != Default::Required && !(value = Ref(make_default(fd.def)))) return -1;
        Ref field(make_field(api, name, type.get(), value.get(), factory.get()));
        if (!field || PyDict_SetItem(fields.get(), name, field.get()) < 0 ||
            PyDict_SetItem(annotations.get(), name, type.get()) < 0)
            return -1;
        PyTuple_SET_ITEM(match_args.get(), i, Py_NewRef(name));

        if (i > 0) doc.add_borrowed(g_const.comma);
        doc.add_borrowed(name);
        doc.add_utf8(": ");
        doc.add(PyObject_Repr(type.get()));
        if (factory) {
            doc.add_utf8(" = <factory>");
        } else if (value) {
            doc.add_utf8(" = ");
            doc.add(PyObject_Repr(value.get()));
        }
        if (!doc.ok()) return -1;
    }
    doc.add_utf8(")");
    Ref doc_text(def.doc ? PyUnicode_FromString(def.doc) : doc.join(g_const.empty));
    Ref params(dataclass_params(api, def.frozen));
    if (!doc_text || !params) return -1;

    auto* type = reinterpret_cast<PyObject*>(rt.type);
    if (PyObject_SetAttrString(type, "__dataclass_fields__", fields.get()) < 0 ||
        PyObject_SetAttrString(type, "__dataclass_params__", params.get()) < 0 ||
        PyObject_SetAttrString(type, "__match_args__", match_args.get()) < 0 ||
        PyObject_SetAttrString(type, "__annotations__", annotations.get()) < 0 ||
        PyObject_SetAttrString(type, "__doc__", doc_text.get()) < 0)
        return -1;
    return 0;
}

}  // namespace vantro::py::detail
