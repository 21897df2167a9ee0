#include "parts/part.h"

#include "command/interpreter/aliases.h"
#include "parts/part_list.h"

CPart::CPart(ObjectRecord* object) : geometry(object) {
    if (object && object->firstSurface) kindName = objectKindName(object->typeCode);
}

std::string MakePartName(CPartList& list, const ObjectRecord* object) {
    if (!object) return std::string();
    std::string name =
        std::string(objectKindName(object->typeCode)).substr(0, 4) + std::to_string(object->number);
    // The name becomes an alias too, which an alias of that name would refuse.
    while (list.FindPart(name) || aliasFindByName(name.c_str()))
        name += 'x';
    return name;
}
