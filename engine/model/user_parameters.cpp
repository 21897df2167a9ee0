#include "engine/model/user_parameters.h"

#include <cstring>
#include <new>

#include "command/messages/messages.h"

int allocUserParameters(ObjectRecord* object, int count, const char* const* names) {
    if (!object) return 0;
    if (count < 0) count = 0;
    UserParameterList fresh;
    try {
        fresh.values.assign(static_cast<std::size_t>(count), kUnsetUserParameter);
        fresh.names.resize(static_cast<std::size_t>(count));
        bool ended = !names;
        for (int i = 0; i < count && !ended; ++i) {
            if (!names[i] || std::strcmp(names[i], " ") == 0) {
                ended = true;
                break;
            }
            fresh.names[static_cast<std::size_t>(i)] =
                std::string(names[i]).substr(0, kUserParameterNameChars);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    fresh.count = count;
    object->userParameters = std::move(fresh);
    return 1;
}

int printUserParameters(const ObjectRecord* object) {
    if (!object || object->userParameters.count == 0) {
        outText(outputChannel, "No parameters attached.\n");
        return 0;
    }
    const UserParameterList& list = object->userParameters;
    for (int i = 0; i < list.count; ++i)
        outText(outputChannel, "%s = %lg  ", list.names[static_cast<std::size_t>(i)].c_str(),
                list.values[static_cast<std::size_t>(i)]);
    outText(outputChannel, "\n");
    return 1;
}

int setUserParameters(ObjectRecord* object, const double* values) {
    if (!object || !values) return 0;
    UserParameterList& list = object->userParameters;
    for (int i = 0; i < list.count; ++i)
        list.values[static_cast<std::size_t>(i)] = values[i];
    return list.count;
}
