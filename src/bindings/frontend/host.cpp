#include "bindings/frontend/host.hpp"

#include <cstring>

#include "bindings/data/linguistic_data.hpp"

namespace vantro::py::front {

PyObject* g_level_debug = nullptr;
PyObject* g_level_info = nullptr;

namespace {

PyObject* g_subprocess = nullptr;    // the subprocess module
PyObject* g_logger_type = nullptr;   // logging.Logger
PyObject* g_capture_kwnames = nullptr;  // ("capture_output", "timeout")
PyObject* g_timeout = nullptr;          // 5

}  // namespace

int init_host() {
    g_level_debug = PyLong_FromLong(10);
    g_level_info = PyLong_FromLong(20);
    if (!g_level_debug || !g_level_info) return -1;

    g_subprocess = PyImport_ImportModule("subprocess");
    if (!g_subprocess) return -1;
    Ref logging(PyImport_ImportModule("logging"));
    if (!logging) return -1;
    g_logger_type = PyObject_GetAttrString(logging.get(), "Logger");
    if (!g_logger_type) return -1;
    g_capture_kwnames = Py_BuildValue("(ss)", "capture_output", "timeout");
    g_timeout = PyLong_FromLong(5);
    if (!g_capture_kwnames || !g_timeout) return -1;
    return 0;
}

int log_may_emit(PyObject* level) {
    Ref logger = module_global(&Names::logger);
    if (!logger) return -1;
    if (reinterpret_cast<PyObject*>(Py_TYPE(logger.get())) != g_logger_type) return 1;
    // The logger's own test, so that levels, filters of the manager and
    // disabled loggers count exactly as its debug() and info() count them.
    PyObject* call_args[] = {logger.get(), level};
    Ref enabled(PyObject_VectorcallMethod(g_names.is_enabled_for, call_args, 2 | PY_VECTORCALL_ARGUMENTS_OFFSET,
                                          nullptr));
    const int may = enabled ? PyObject_IsTrue(enabled.get()) : -1;
    if (may >= 0) return may;
    PyErr_Clear();  // the logging call itself will tell
    return 1;
}

int log_call(PyObject* method, const char* message, std::initializer_list<PyObject*> args) {
    Ref logger = module_global(&Names::logger);
    if (!logger) return -1;
    PyObject* call_args[2 + 4];
    if (args.size() > 4) {
        PyErr_SetString(PyExc_SystemError, "log_call: too many arguments");
        return -1;
    }
    call_args[0] = logger.get();
    Ref text(PyUnicode_FromString(message));
    if (!text) return -1;
    call_args[1] = text.get();
    std::size_t n = 2;
    for (PyObject* a : args) call_args[n++] = a;
    Ref r(PyObject_VectorcallMethod(method, call_args, n | PY_VECTORCALL_ARGUMENTS_OFFSET, nullptr));
    return r ? 0 : -1;
}

int log_at(PyObject* level, PyObject* method, const char* message, std::initializer_list<PyObject*> args) {
    const int may = log_may_emit(level);
    if (may <= 0) return may;
    return log_call(method, message, args);
}

PyObject* run_captured(PyObject* argv) {
    Ref run(PyObject_GetAttr(g_subprocess, g_names.run));
    if (!run) return nullptr;
    PyObject* call_args[] = {argv, Py_True, g_timeout};
    return PyObject_Vectorcall(run.get(), call_args, 1, g_capture_kwnames);
}

int pending_is_timeout() {
    PyObject *type, *value, *tb;
    PyErr_Fetch(&type, &value, &tb);
    PyObject* timeout_type = PyObject_GetAttr(g_subprocess, g_names.timeout_expired);
    if (!timeout_type) {
        Py_XDECREF(type);
        Py_XDECREF(value);
        Py_XDECREF(tb);
        return -1;
    }
    const int matches = PyErr_GivenExceptionMatches(type, timeout_type);
    Py_DECREF(timeout_type);
    PyErr_Restore(type, value, tb);
    return matches;
}

PyObject* slot_or_raise(PyObject* self, int i, const char* name) {
    PyObject* v = object_slots(self)[i];
    if (!v) PyErr_Format(PyExc_AttributeError, "'%.200s' object has no attribute '%s'", Py_TYPE(self)->tp_name, name);
    return v;
}

PyTypeObject* add_type(PyObject* module, PyType_Spec& spec, PyTypeObject* base) {
    PyObject* type = PyType_FromModuleAndSpec(module, &spec, reinterpret_cast<PyObject*>(base));
    if (!type) return nullptr;
    const char* name = std::strrchr(spec.name, '.') + 1;
    if (PyModule_AddObjectRef(module, name, type) < 0) {
        Py_DECREF(type);
        return nullptr;
    }
    Py_DECREF(type);  // the module keeps it alive
    return reinterpret_cast<PyTypeObject*>(type);
}

}  // namespace vantro::py::front
