#include "lns/lns.h"

namespace lns {

ObjectPtr ancestorByClassId(const ObjectPtr &from, int classId)
{
    try {
        for (ObjectPtr current = from; current; current = current->parent()) {
            if (current->classId() == classId)
                return current;
        }
    } catch (const TqmError &) {
        // The walk stops at the first object that cannot be reached.
    }
    return {};
}

} // namespace lns
