// Results packed into bytes for the trip from a worker process to the caller.
// Pickling records one by one costs about as much as the analysis that made
// them (a __reduce__ call, a memo entry and an opcode per object, then a
// constructor call and a state per record); these bytes cost about a tenth
// of it each way: strings travel once each, as their own code units, records
// as their kind and fields.
//
// Layout: a magic header, then one value. A value is a tag byte and its
// content: integers as zigzag varints, strings as kind, length and code
// units, lists and tuples as length and values, a record as its kind and one
// value per field. Whatever has no tag of its own (another object, a
// subclass, a record with attributes of its own or a deleted field) travels
// pickled inside the bytes. Unpacking checks every length against what is
// left and every kind against the known ones. Objects that travel pickled
// are unpickled: the bytes must come from a trusted process, as any pickle.
#include "bindings/records/record_internal.hpp"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vantro::py {
namespace {

using detail::runtime;

constexpr char kMagic[] = {'V', 'A', 'P', '1'};

// The magic, then the number of record kinds and the field count of each: a
// build whose records differ refuses the bytes instead of misreading them.
const std::string& packed_header() {
    static const std::string h = [] {
        std::string out(kMagic, sizeof kMagic);
        out.push_back(static_cast<char>(Rec::Count_));
        for (int r = 0; r < static_cast<int>(Rec::Count_); ++r)
            out.push_back(static_cast<char>(runtime(static_cast<Rec>(r)).nfields));
        return out;
    }();
    return h;
}

enum Tag : unsigned char {
    kNone,
    kTrue,
    kFalse,
    kInt,
    kStr,
    kList,
    kTuple,
    kRecord,
    kPickled,
    kStrAgain,  // a string already packed, by its order among the strings
};

PyObject* g_pickle_dumps = nullptr;  // pickle.dumps / loads, kept for the process
PyObject* g_pickle_loads = nullptr;

bool load_pickle() {
    if (g_pickle_dumps) return true;
    Ref pickle(PyImport_ImportModule("pickle"));
    if (!pickle) return false;
    g_pickle_loads = PyObject_GetAttrString(pickle.get(), "loads");
    g_pickle_dumps = g_pickle_loads ? PyObject_GetAttrString(pickle.get(), "dumps") : nullptr;
    return g_pickle_dumps != nullptr;
}

int record_kind_of(PyObject* obj) {
    // The types side by side: this runs for every object packed.
    static PyTypeObject* types[static_cast<int>(Rec::Count_)] = {};
    if (!types[0])
        for (int r = 0; r < static_cast<int>(Rec::Count_); ++r) types[r] = runtime(static_cast<Rec>(r)).type;
    PyTypeObject* type = Py_TYPE(obj);
    for (int r = 0; r < static_cast<int>(Rec::Count_); ++r)
        if (types[r] == type) return r;
    return -1;
}

// Nesting past this depth is refused: results nest a handful of levels, and
// the C stack must hold every level.
constexpr int kMaxDepth = 1000;

bool too_deep(int depth, const char* while_) {
    if (depth < kMaxDepth) return false;
    PyErr_Format(PyExc_RecursionError, "maximum recursion depth exceeded %s", while_);
    return true;
}

// Strings seen by the packer, by identity: open addressing over a power of
// two, no allocation per string.
class StringIndex {
public:
    StringIndex() : slots_(64) {}
    // The order of `s` among the strings, and whether it was already there.
    std::pair<std::uint64_t, bool> find_or_add(PyObject* s) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        std::size_t i = hash(s) & (slots_.size() - 1);
        while (slots_[i].key) {
            if (slots_[i].key == s) return {slots_[i].order, true};
            i = (i + 1) & (slots_.size() - 1);
        }
        slots_[i] = {s, count_};
        return {count_++, false};
    }

private:
    struct Slot {
        PyObject* key = nullptr;
        std::uint64_t order = 0;
    };
    static std::size_t hash(PyObject* p) {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(p) >> 4) * 0x9E3779B97F4A7C15ULL >> 20);
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (!slot.key) continue;
            std::size_t i = hash(slot.key) & (slots_.size() - 1);
            while (slots_[i].key) i = (i + 1) & (slots_.size() - 1);
            slots_[i] = slot;
        }
    }
    std::vector<Slot> slots_;
    std::uint64_t count_ = 0;
};

// ------------------------------------------------------------------ packing

class Packer {
public:
    Packer() { out_.reserve(4096); }
    bool value(PyObject* v) {
        if (v == Py_None) return byte(kNone);
        if (v == Py_True) return byte(kTrue);
        if (v == Py_False) return byte(kFalse);
        if (PyUnicode_CheckExact(v)) return str(v);
        if (PyLong_CheckExact(v)) {
            int overflow = 0;
            const long long n = PyLong_AsLongLongAndOverflow(v, &overflow);
            if (n == -1 && PyErr_Occurred()) return false;
            if (!overflow) {
                byte(kInt);
                return varint((static_cast<std::uint64_t>(n) << 1) ^ static_cast<std::uint64_t>(n >> 63));
            }
            return pickled(v);
        }
        if (too_deep(depth_, "while packing results")) return false;
        ++depth_;
        const bool ok = container(v);
        --depth_;
        return ok;
    }

    std::string& bytes() { return out_; }

private:
    bool byte(unsigned char b) {
        out_.push_back(static_cast<char>(b));
        return true;
    }
    bool varint(std::uint64_t n) {
        while (n >= 0x80) {
            out_.push_back(static_cast<char>((n & 0x7F) | 0x80));
            n >>= 7;
        }
        out_.push_back(static_cast<char>(n));
        return true;
    }
    bool str(PyObject* s) {
        // The analysis hands the same string objects to many records: each
        // is packed once, and unpacked once.
        const auto [order, seen] = strings_.find_or_add(s);
        if (seen) {
            byte(kStrAgain);
            return varint(order);
        }
        held_.emplace_back(Py_NewRef(s));
        const int kind = PyUnicode_KIND(s);
        const Py_ssize_t n = PyUnicode_GET_LENGTH(s);
        byte(kStr);
        byte(static_cast<unsigned char>(kind));
        varint(static_cast<std::uint64_t>(n));
        // Code units at a multiple of their size from the start, so that
        // unpacking reads them in place.
        out_.append((kind - out_.size() % kind) % kind, '\0');
        out_.append(static_cast<const char*>(PyUnicode_DATA(s)), static_cast<std::size_t>(n) * kind);
        return true;
    }
    bool pickled(PyObject* v) {
        if (!load_pickle()) return false;
        Ref data(PyObject_CallOneArg(g_pickle_dumps, v));
        if (!data) return false;
        byte(kPickled);
        varint(static_cast<std::uint64_t>(PyBytes_GET_SIZE(data.get())));
        out_.append(PyBytes_AS_STRING(data.get()), static_cast<std::size_t>(PyBytes_GET_SIZE(data.get())));
        return true;
    }
    bool container(PyObject* v) {
        if (PyList_CheckExact(v) || PyTuple_CheckExact(v)) {
            const bool list = PyList_CheckExact(v);
            const Py_ssize_t n = list ? PyList_GET_SIZE(v) : PyTuple_GET_SIZE(v);
            byte(list ? kList : kTuple);
            varint(static_cast<std::uint64_t>(n));
            for (Py_ssize_t i = 0; i < n; ++i) {
                // A list may shrink while its items are read (their packing runs no
                // Python code, but a pickled one does).
                if (list && i >= PyList_GET_SIZE(v)) {
                    PyErr_SetString(PyExc_RuntimeError, "list changed size during packing");
                    return false;
                }
                Ref item = Ref::borrow(list ? PyList_GET_ITEM(v, i) : PyTuple_GET_ITEM(v, i));
                if (!value(item.get())) return false;
            }
            return true;
        }
        const int kind = record_kind_of(v);
        if (kind < 0) return pickled(v);
        PyObject* dict = reinterpret_cast<ObjectHead*>(v)->dict;
        const int nfields = runtime(static_cast<Rec>(kind)).nfields;
        PyObject** slots = object_slots(v);
        bool whole = !(dict && PyDict_GET_SIZE(dict) > 0);
        for (int i = 0; whole && i < nfields; ++i) whole = slots[i] != nullptr;
        if (!whole) return pickled(v);
        byte(kRecord);
        byte(static_cast<unsigned char>(kind));
        for (int i = 0; i < nfields; ++i) {
            Ref field = Ref::borrow(slots[i]);  // held: packing a pickled field may run Python code
            if (!field || !value(field.get())) return false;
        }
        return true;
    }

    std::string out_;
    // Each string packed, by identity; held, so that no other string takes
    // its address while packing runs (a pickled object may run any code).
    StringIndex strings_;
    std::vector<Ref> held_;
    int depth_ = 0;
};

// ---------------------------------------------------------------- unpacking

class Unpacker {
public:
    Unpacker(const unsigned char* p, std::size_t n) : start_(p), p_(p), end_(p + n) {}

    bool header() {
        const std::string& h = packed_header();
        if (static_cast<std::size_t>(end_ - p_) < h.size() || std::memcmp(p_, h.data(), h.size()) != 0)
            return fail("not packed by this version");
        p_ += h.size();
        return true;
    }
    bool at_end() const { return p_ == end_; }

    PyObject* value() {
        unsigned char tag = 0;
        if (!byte(tag)) return nullptr;
        switch (tag) {
            case kNone:
                Py_RETURN_NONE;
            case kTrue:
                Py_RETURN_TRUE;
            case kFalse:
                Py_RETURN_FALSE;
            case kInt: {
                std::uint64_t z = 0;
                if (!varint(z)) return nullptr;
                return PyLong_FromLongLong(static_cast<long long>((z >> 1) ^ (~(z & 1) + 1)));
            }
            case kStr: {
                PyObject* v = str();
                if (v) strings_.emplace_back(Py_NewRef(v));
                return v;
            }
            case kStrAgain: {
                std::uint64_t i = 0;
                if (!varint(i)) return nullptr;
                if (i >= strings_.size()) return fail("string order"), nullptr;
                return Py_NewRef(strings_[i].get());
            }
            case kList:
            case kTuple:
            case kRecord:
            case kPickled: {
                if (too_deep(depth_, "while unpacking results")) return nullptr;
                ++depth_;
                PyObject* v = tag == kPickled ? pickled() : tag == kRecord ? record() : sequence(tag == kList);
                --depth_;
                return v;
            }
            default:
                fail("unknown tag");
                return nullptr;
        }
    }

private:
    bool fail(const char* why) {
        PyErr_SetString(PyExc_ValueError, (std::string("paquet de résultats invalide (") + why + ")").c_str());
        return false;
    }
    bool byte(unsigned char& b) {
        if (p_ == end_) return fail("truncated");
        b = *p_++;
        return true;
    }
    bool varint(std::uint64_t& n) {
        n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            unsigned char b = 0;
            if (!byte(b)) return false;
            n |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return true;
        }
        return fail("varint too long");
    }
    // A count of items each at least `unit` bytes long, checked against what is left.
    bool count(Py_ssize_t& n, std::size_t unit) {
        std::uint64_t c = 0;
        if (!varint(c)) return false;
        if (c > static_cast<std::uint64_t>(end_ - p_) / unit) return fail("length past the end");
        n = static_cast<Py_ssize_t>(c);
        return true;
    }
    PyObject* str() {
        unsigned char kind = 0;
        if (!byte(kind)) return nullptr;
        if (kind != PyUnicode_1BYTE_KIND && kind != PyUnicode_2BYTE_KIND && kind != PyUnicode_4BYTE_KIND) {
            fail("string kind");
            return nullptr;
        }
        std::uint64_t n64 = 0;
        if (!varint(n64)) return nullptr;
        const std::size_t pad = (kind - static_cast<std::size_t>(p_ - start_) % kind) % kind;
        if (pad > static_cast<std::size_t>(end_ - p_)) return fail("truncated"), nullptr;
        p_ += pad;
        if (n64 > static_cast<std::uint64_t>(end_ - p_) / kind) return fail("length past the end"), nullptr;
        const auto n = static_cast<Py_ssize_t>(n64);
        const unsigned char* data = p_;
        p_ += static_cast<std::size_t>(n) * kind;
        if (kind == PyUnicode_1BYTE_KIND) return PyUnicode_FromKindAndData(kind, data, n);
        // A buffer that does not start on a word boundary: its code units are copied.
        std::string aligned;
        if (reinterpret_cast<std::uintptr_t>(data) % kind != 0) {
            aligned.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n) * kind);
            data = reinterpret_cast<const unsigned char*>(aligned.data());
        }
        if (kind == PyUnicode_4BYTE_KIND) {
            // Code units past the last code point would make an invalid string.
            const auto* units = reinterpret_cast<const Py_UCS4*>(data);
            for (Py_ssize_t i = 0; i < n; ++i)
                if (units[i] > 0x10FFFF) return fail("code point"), nullptr;
        }
        return PyUnicode_FromKindAndData(kind, data, n);
    }
    PyObject* sequence(bool list) {
        Py_ssize_t n = 0;
        if (!count(n, 1)) return nullptr;
        Ref out(list ? PyList_New(n) : PyTuple_New(n));
        if (!out) return nullptr;
        for (Py_ssize_t i = 0; i < n; ++i) {
            PyObject* v = value();
            if (!v) return nullptr;
            if (list)
                PyList_SET_ITEM(out.get(), i, v);
            else
                PyTuple_SET_ITEM(out.get(), i, v);
        }
        return out.release();
    }
    PyObject* record() {
        unsigned char kind = 0;
        if (!byte(kind)) return nullptr;
        if (kind >= static_cast<unsigned char>(Rec::Count_)) {
            fail("record kind");
            return nullptr;
        }
        const Rec r = static_cast<Rec>(kind);
        PyObject* fields[detail::kMaxFields] = {};
        const int n = runtime(r).nfields;
        for (int i = 0; i < n; ++i) {
            if (!(fields[i] = value())) {
                for (int j = 0; j < i; ++j) Py_DECREF(fields[j]);
                return nullptr;
            }
        }
        PyObject* obj = new_record_object(r);
        if (!obj) {
            for (int i = 0; i < n; ++i) Py_DECREF(fields[i]);
            return nullptr;
        }
        std::memcpy(object_slots(obj), fields, sizeof(PyObject*) * static_cast<std::size_t>(n));
        return obj;
    }
    PyObject* pickled() {
        Py_ssize_t n = 0;
        if (!count(n, 1) || !load_pickle()) return nullptr;
        Ref data(PyBytes_FromStringAndSize(reinterpret_cast<const char*>(p_), n));
        p_ += n;
        return data ? PyObject_CallOneArg(g_pickle_loads, data.get()) : nullptr;
    }

    const unsigned char* start_;
    const unsigned char* p_;
    const unsigned char* end_;
    std::vector<Ref> strings_;  // in the order they were packed
    int depth_ = 0;
};

PyObject* emballer(PyObject*, PyObject* obj) {
    Packer packer;
    try {
        packer.bytes().append(packed_header());
        if (!packer.value(obj)) return nullptr;
    } catch (const std::bad_alloc&) {
        return PyErr_NoMemory();
    }
    return PyBytes_FromStringAndSize(packer.bytes().data(), static_cast<Py_ssize_t>(packer.bytes().size()));
}

PyObject* deballer(PyObject*, PyObject* data) {
    Py_buffer view;
    if (PyObject_GetBuffer(data, &view, PyBUF_SIMPLE) < 0) return nullptr;
    Unpacker unpacker(static_cast<const unsigned char*>(view.buf), static_cast<std::size_t>(view.len));
    // Every object made here outlives the call: collections while they are
    // made would only pass them from generation to generation, and cost the
    // caller more than the unpacking itself. One collection may follow.
    const int collecting = PyGC_Disable();
    PyObject* out = nullptr;
    try {
        out = unpacker.header() ? unpacker.value() : nullptr;
    } catch (const std::bad_alloc&) {
        Py_CLEAR(out);
        PyErr_NoMemory();
    }
    if (collecting) PyGC_Enable();
    if (out && !unpacker.at_end()) {
        Py_CLEAR(out);
        PyErr_SetString(PyExc_ValueError, "paquet de résultats invalide (bytes after the value)");
    }
    PyBuffer_Release(&view);
    return out;
}

}  // namespace

namespace detail {

PyMethodDef record_packing_functions[] = {
    {"_emballer", emballer, METH_O,
     "_emballer(valeur, /)\n--\n\n"
     "Des résultats (listes, enregistrements, textes...) en octets, pour les envoyer à un autre processus."},
    {"_deballer", deballer, METH_O,
     "_deballer(octets, /)\n--\n\n"
     "Les résultats emballés par _emballer, refaits à l'identique."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace detail
}  // namespace vantro::py
