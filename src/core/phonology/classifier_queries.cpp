#include "phonology/classifier_queries.hpp"

#include <algorithm>

namespace vantro {

constinit thread_local ClassifierQueries* t_classifier_queries = nullptr;

void ClassifierQueries::note_other(TextView t) {
    if (std::find(others_.begin(), others_.end(), t) == others_.end()) others_.emplace_back(t);
    if (t.size() > 1) note(t.substr(0, 1));
}

}  // namespace vantro
