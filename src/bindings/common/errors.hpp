// The one place where core exceptions become Python exceptions.
#pragma once

#include <new>
#include <stdexcept>

#include "alignment/search.hpp"
#include "bindings/common/convert.hpp"

namespace vantro::py {

// Runs `body` (which returns a new reference or nullptr with an error set)
// and turns any C++ exception escaping the core into the matching Python one.
template <class Body>
PyObject* guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const InputTooLong& e) {
        PyErr_SetString(PyExc_ValueError, e.what());
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
