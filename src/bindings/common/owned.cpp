#include "bindings/common/owned.hpp"

namespace vantro::py {

bool Snapshot::take(PyObject* o, const char* message) {
    if (PyTuple_CheckExact(o)) {
        items_ = Ref::borrow(o);
        return true;
    }
    if (!message) {
        // tuple(o): Python's own error when `o` cannot be iterated.
        items_ = Ref(PySequence_Tuple(o));
        return static_cast<bool>(items_);
    }
    Ref seq(PySequence_Fast(o, message));
    if (!seq) return false;
    // A list is copied: whoever else holds it may change it while it is read.
    items_ = Ref(PyTuple_CheckExact(seq.get()) ? seq.release() : PySequence_Tuple(seq.get()));
    return static_cast<bool>(items_);
}

}  // namespace vantro::py
