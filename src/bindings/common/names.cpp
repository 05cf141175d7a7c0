#include "bindings/common/names.hpp"

namespace vantro::py {

Names g_names{};

int init_names() {
#define VANTRO_NAME_INIT(field, text) \
    if (!g_names.field && !(g_names.field = PyUnicode_InternFromString(text))) return -1;
    VANTRO_NAMES(VANTRO_NAME_INIT)
#undef VANTRO_NAME_INIT
    return 0;
}

}  // namespace vantro::py
