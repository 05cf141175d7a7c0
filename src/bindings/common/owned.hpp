// Reading the caller's containers while the caller's code may run.
//
// Any call into Python (an attribute, __index__, __eq__, __len__, a logging
// handler, or a finalizer that a release or an allocation triggers) may
// clear, grow or free what the bindings are walking. The bindings therefore
// walk an owned snapshot, hold a reference to every object for as long as
// they use it, and take references out of their containers before releasing
// them; a length or a pointer read before such a call is never trusted after it.
#pragma once

#include "bindings/common/ref.hpp"

#include <utility>
#include <vector>

namespace vantro::py {

// The items of a sequence as they were when the snapshot was taken, in a
// tuple of its own: a list is copied, a tuple is shared (it cannot change),
// any other iterable is walked once. Items stay alive as long as the snapshot.
class Snapshot {
public:
    // False, with the TypeError `message` (as PySequence_Fast words it; or,
    // for nullptr, as tuple(o) does) or the iterator's own error set, when
    // `o` cannot be read.
    bool take(PyObject* o, const char* message);
    Py_ssize_t size() const { return PyTuple_GET_SIZE(items_.get()); }
    // Borrowed from the snapshot, which keeps it.
    PyObject* operator[](Py_ssize_t i) const { return PyTuple_GET_ITEM(items_.get(), i); }
    PyObject* tuple() const { return items_.get(); }

private:
    Ref items_;
};

// Releases every reference of `refs`, a container a finalizer may reach
// again: it is emptied first, so a nested call finds it empty, never half
// released. Works for std::vector<PyObject*> and std::vector<Ref>.
inline void release_all(std::vector<PyObject*>& refs) {
    std::vector<PyObject*> released;
    released.swap(refs);
    for (PyObject* o : released) Py_DECREF(o);
}
inline void release_all(std::vector<Ref>& refs) {
    std::vector<Ref> released;
    released.swap(refs);
}

// Replaces `target` by `value`, the old value released last: a finalizer it
// triggers sees `target` already whole. For any movable state.
template <class T>
void replace_then_release(T& target, T&& value) {
    T old = std::exchange(target, std::move(value));
}

}  // namespace vantro::py
