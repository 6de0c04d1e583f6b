#include "../backend.h"

namespace display::detail {
std::unique_ptr<Backend> CreateX11Backend(std::string* error) {
    if (error) {
        *error = "the X11 backend is not built yet";
    }
    return nullptr;
}
}  // namespace display::detail
