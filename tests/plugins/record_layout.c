/* The record layout as a C compiler sees it, for comparison with C++ (interface_test.cpp). */
#include <stddef.h>

#include "plugin_interface.h"

size_t cSourceRecordSize(void) {
    return sizeof(SourceCallRecord);
}
size_t cGrinRecordSize(void) {
    return sizeof(GrinCallRecord);
}

/* Byte offset of a field, taken through the record's storage. */
size_t cSourceOffset(int index) {
    SourceCallRecord r;
    return (size_t)((const char*)&r.v[index] - (const char*)&r);
}
size_t cGrinOffset(int index) {
    GrinCallRecord r;
    return (size_t)((const char*)&r.v[index] - (const char*)&r);
}

/* The field that a C plug-in reads at a named index, from bytes written by the caller. */
double cSourceField(const void* record, int index) {
    return ((const SourceCallRecord*)record)->v[index];
}
