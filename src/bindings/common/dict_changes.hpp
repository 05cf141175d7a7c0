// Knowing, at the price of one comparison, that a dict has not changed.
//
// From CPython 3.12 on, an extension may watch dicts: the interpreter calls
// it before every change of a watched dict, and the change is counted here.
// CPython 3.11 has no such signal in its public API: there watch() says so,
// and the owner compares its own snapshot of the dict instead.
#pragma once

#include "bindings/common/ref.hpp"

#include <cstdint>

namespace vantro::py {

#if PY_VERSION_HEX >= 0x030C0000
#define VANTRO_DICT_WATCHERS 1
#else
#define VANTRO_DICT_WATCHERS 0
#endif

class DictChanges {
public:
    DictChanges() = default;
    DictChanges(const DictChanges&) = delete;
    DictChanges& operator=(const DictChanges&) = delete;
    ~DictChanges() { unwatch(); }

    // Watches `dict` from now on: unchanged() stays true until it changes or
    // dies. False (and not watching) when this interpreter cannot watch it.
    bool watch(PyObject* dict);
    void unwatch();
    bool watching() const { return slot_ >= 0; }
    // True while watching and the dict has not changed since watch().
    bool unchanged() const;

private:
    int slot_ = -1;
    std::uint64_t seen_ = 0;
};

}  // namespace vantro::py
