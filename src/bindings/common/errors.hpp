// The one place where core exceptions become Python exceptions.
#pragma once

#include <memory>
#include <new>
#include <stdexcept>

#include "alignment/search.hpp"
#include "bindings/common/convert.hpp"
#include "groups/formula_readings.hpp"

namespace vantro::py {

// Thrown where a Python exception is already set (a failed call into the
// host): it unwinds the core and the binding to guarded(), which returns
// nullptr with that exception.
struct PythonError {};

// `p` (a new reference, or data fetched from Python), or PythonError when
// it is nullptr.
template <class T>
T* need(T* p) {
    if (!p) throw PythonError{};
    return p;
}
// `p` (a table fetched from Python, see linguistic_data.hpp), or PythonError
// when it is empty. Keep the result in a variable for as long as it is used.
template <class T>
std::shared_ptr<T> need(std::shared_ptr<T> p) {
    if (!p) throw PythonError{};
    return p;
}
// A new reference held by a Ref, or PythonError.
inline Ref take(PyObject* o) { return Ref(need(o)); }
// A CPython status: -1 (error set) becomes PythonError; other values pass.
inline int need_status(int rc) {
    if (rc < 0) throw PythonError{};
    return rc;
}

// Runs `body` (which returns a new reference, or nullptr with an error set,
// or throws) and turns any C++ exception escaping it into the matching
// Python one.
template <class Body>
PyObject* guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const PythonError&) {
    } catch (const InputTooLong& e) {
        PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const IncoherentFormulaSpan& e) {
        // Built from code points: the caller's values may hold any, lone surrogates included.
        if (PyObject* message = from_text(e.message())) {
            PyErr_SetObject(PyExc_ValueError, message);
            Py_DECREF(message);
        }
    } catch (const std::out_of_range& e) {
        PyErr_SetString(PyExc_IndexError, e.what());
    } catch (const std::overflow_error& e) {
        PyErr_SetString(PyExc_OverflowError, e.what());
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        PyErr_SetString(PyExc_RuntimeError, e.what());
    } catch (...) {
        PyErr_SetString(PyExc_RuntimeError, "unexpected internal error");
    }
    return nullptr;
}

}  // namespace vantro::py
