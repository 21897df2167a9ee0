// Helpers shared by the plug-in tests: the built libraries by path, bound through the binder,
// and the records filled the way the program fills them.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "parts/plugin_binder.h"

namespace plugintest {

inline std::string pluginPath(const std::string& name) {
    return std::string(MERIDYN_PLUGIN_DIR) + "/" + name + ".so";
}

// One plug-in bound by its full path.
struct Bound {
    PluginEntry entry = nullptr;
    PluginEntry names = nullptr;
    int status = -1;
    void* module = nullptr;
};

inline Bound bindPlugin(const std::string& path, const char* entryName) {
    Bound b;
    b.entry = LoadPluginEntry(path, entryName, b.status, b.module);
    b.names = GetPluginParamNames();
    return b;
}

inline Bound bindSource(const std::string& name) {
    return bindPlugin(pluginPath(name), "UserSourceRay");
}
inline Bound bindGrin(const std::string& name) {
    return bindPlugin(pluginPath(name), "UserGrinDefinition");
}

// Sets MERIDYN_PLUGIN_SEED for the lifetime of the object.
class ScopedSeed {
  public:
    explicit ScopedSeed(const char* value) {
        if (const char* old = std::getenv("MERIDYN_PLUGIN_SEED")) old_ = old;
        if (value)
            setenv("MERIDYN_PLUGIN_SEED", value, 1);
        else
            unsetenv("MERIDYN_PLUGIN_SEED");
    }
    ~ScopedSeed() {
        if (old_)
            setenv("MERIDYN_PLUGIN_SEED", old_->c_str(), 1);
        else
            unsetenv("MERIDYN_PLUGIN_SEED");
    }

  private:
    std::optional<std::string> old_;
};

// A source record with parameters p0.. and the trace's cone (full angles, degrees).
inline SourceCallRecord sourceRecord(std::initializer_list<double> params, double coneX = 0.0,
                                     double coneY = 0.0, double shape = 0.0) {
    SourceCallRecord r{};
    int k = 0;
    for (double p : params)
        r.v[SRC_PARAM0 + k++] = p;
    r.v[SRC_CONE_X] = coneX;
    r.v[SRC_CONE_Y] = coneY;
    r.v[SRC_CONE_SHAPE] = shape;
    return r;
}

// The check-only call as the source command makes it.
inline int checkCall(const Bound& b, SourceCallRecord& r) {
    r.v[SRC_MODE] = 1.0;
    int result = CallPluginEntry(b.entry, &r);
    r.v[SRC_MODE] = 0.0;
    return result;
}

// One ray call as the trace makes it: wavelength, weight, zero point, direction (0, 0, 1).
inline int rayCall(const Bound& b, SourceCallRecord& r, double weight = 1.0) {
    r.v[SRC_WAVELENGTH] = 0.55;
    r.v[SRC_WEIGHT] = weight;
    r.v[SRC_WEIGHT_IN] = weight;
    for (int i = SRC_X; i <= SRC_DIR_Y; ++i)
        r.v[i] = 0.0;
    r.v[SRC_DIR_Z] = 1.0;
    return CallPluginEntry(b.entry, &r);
}

inline GrinCallRecord grinRecord(std::initializer_list<double> params, double x, double y, double z,
                                 double lambda, double mmPerUnit) {
    GrinCallRecord r{};
    r.v[GRIN_TAG] = GRIN_TAG_VALUE;
    r.v[GRIN_X] = x;
    r.v[GRIN_Y] = y;
    r.v[GRIN_Z] = z;
    r.v[GRIN_WAVELENGTH] = lambda;
    r.v[GRIN_MM_PER_UNIT] = mmPerUnit;
    int k = 0;
    for (double p : params)
        r.v[GRIN_PARAM1 + k++] = p;
    return r;
}

} // namespace plugintest
