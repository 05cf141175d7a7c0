// The one owning reference to a Python object of the bindings.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <utility>

namespace vantro::py {

// Owns one reference (or none: nullptr, which after a call into Python means
// "failed, error set"). A Ref must not outlive the interpreter: what lives
// for the whole process is held by an object that is never destroyed.
class Ref {
public:
    Ref() = default;
    explicit Ref(PyObject* o) noexcept : o_(o) {}  // steals
    static Ref borrow(PyObject* o) noexcept {
        Py_XINCREF(o);
        return Ref(o);
    }
    Ref(const Ref& r) noexcept : o_(r.o_) { Py_XINCREF(o_); }
    Ref(Ref&& r) noexcept : o_(std::exchange(r.o_, nullptr)) {}
    Ref& operator=(Ref r) noexcept {
        std::swap(o_, r.o_);
        return *this;
    }
    ~Ref() { Py_XDECREF(o_); }
    PyObject* get() const noexcept { return o_; }
    PyObject* release() noexcept { return std::exchange(o_, nullptr); }
    // Holds `o` (borrowed) instead, releasing the previous object.
    void reset(PyObject* o = nullptr) noexcept { *this = borrow(o); }
    explicit operator bool() const noexcept { return o_ != nullptr; }

private:
    PyObject* o_ = nullptr;
};

}  // namespace vantro::py
