// Python records for the syllables the core builds.
#pragma once

#include "convert.hpp"
#include "results/syllable.hpp"

namespace vantro::py {

// New list of Syllabe records (each with its three GroupePhonologique).
PyObject* syllabes_to_list(const std::vector<SyllabeRec>& syllabes);

}  // namespace vantro::py
