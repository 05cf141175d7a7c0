#include "bindings/common/dict_changes.hpp"

namespace vantro::py {

#if VANTRO_DICT_WATCHERS

namespace {

// The dicts watched: a handful (the main module's, the loaded document and
// two of its tables), so the watcher finds its slot by a short scan. Each
// slot counts the changes of one dict for every DictChanges watching it.
constexpr int kSlots = 16;
struct Slot {
    PyObject* dict = nullptr;  // borrowed; nullptr once dead
    std::uint64_t changes = 0;
    int users = 0;
};
Slot g_slots[kSlots];
int g_watcher = -1;  // -2: the interpreter refused one

int on_dict_event(PyDict_WatchEvent event, PyObject* dict, PyObject*, PyObject*) {
    for (Slot& s : g_slots) {
        if (s.dict != dict) continue;
        ++s.changes;
        // A dead dict's address may come back as another dict.
        if (event == PyDict_EVENT_DEALLOCATED) s.dict = nullptr;
    }
    return 0;
}

bool have_watcher() {
    if (g_watcher == -1) {
        g_watcher = PyDict_AddWatcher(on_dict_event);
        if (g_watcher < 0) {
            PyErr_Clear();
            g_watcher = -2;
        }
    }
    return g_watcher >= 0;
}

}  // namespace

bool DictChanges::watch(PyObject* dict) {
    if (slot_ >= 0 && g_slots[slot_].dict == dict) {
        seen_ = g_slots[slot_].changes;
        return true;
    }
    unwatch();
    if (!PyDict_Check(dict) || !have_watcher()) return false;
    int free_slot = -1;
    for (int i = 0; i < kSlots; ++i) {
        if (g_slots[i].dict == dict) {
            slot_ = i;
            break;
        }
        if (free_slot < 0 && g_slots[i].users == 0) free_slot = i;
    }
    if (slot_ < 0) {
        if (free_slot < 0 || PyDict_Watch(g_watcher, dict) < 0) {
            PyErr_Clear();
            return false;
        }
        slot_ = free_slot;
        g_slots[slot_].dict = dict;
    }
    ++g_slots[slot_].users;
    seen_ = g_slots[slot_].changes;
    return true;
}

void DictChanges::unwatch() {
    if (slot_ < 0) return;
    Slot& s = g_slots[slot_];
    slot_ = -1;
    if (--s.users > 0) return;
    // Once the interpreter is gone there is nothing left to tell.
    if (s.dict && Py_IsInitialized() && PyDict_Unwatch(g_watcher, s.dict) < 0) PyErr_Clear();
    s.dict = nullptr;
}

bool DictChanges::unchanged() const { return slot_ >= 0 && g_slots[slot_].changes == seen_; }

#else

bool DictChanges::watch(PyObject*) { return false; }
void DictChanges::unwatch() {}
bool DictChanges::unchanged() const { return false; }

#endif

}  // namespace vantro::py
