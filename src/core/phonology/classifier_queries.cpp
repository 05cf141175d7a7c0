#include "phonology/classifier_queries.hpp"

#include <algorithm>

namespace vantro {

constinit thread_local ClassifierQueries* t_classifier_queries = nullptr;

void ClassifierQueries::note_other(TextView t, std::uint8_t question) {
    const auto it = std::find_if(others_.begin(), others_.end(), [&](const auto& e) { return e.first == t; });
    if (it == others_.end()) others_.emplace_back(t, question);
    else it->second |= question;
}

}  // namespace vantro
