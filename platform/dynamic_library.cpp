#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <filesystem>

namespace platform {

void* openLibrary(const std::string& path, std::string& error) {
    error.clear();
    if (path.empty()) {
        // dlopen("") would hand back the program itself.
        error = "empty library name";
        return nullptr;
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "cannot load " + path;
    }
    return handle;
}

void* findSymbol(void* library, const char* name) {
    if (!library || !name) return nullptr;
    dlerror();
    void* address = dlsym(library, name);
    dlerror(); // the lookup's own error is read and dropped
    return address;
}

std::string runningProgramFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

} // namespace platform
