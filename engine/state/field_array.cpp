// The field-array pool: owner of every zero-filled block handed out to a field
// array.  Blocks live for the whole run; release_all() exists for the state
// reset that lets each test start from a clean process state.
#include "engine/state/field_array.h"

#include <cstdlib>
#include <vector>

namespace zefra::field_pool {

namespace {

struct Entry {
    void* block;
    void* view;
    void (*clear)(void*);
};

std::vector<Entry>& entries()
{
    static std::vector<Entry> list;
    return list;
}

}  // namespace

void* reserve(std::size_t count, std::size_t bytes_each, void* view, void (*clear)(void*))
{
    void* block = std::calloc(count, bytes_each);
    if (!block) return nullptr;
    entries().push_back({block, view, clear});
    return block;
}

void release_all()
{
    for (const Entry& e : entries()) {
        e.clear(e.view);
        std::free(e.block);
    }
    entries().clear();
}

}  // namespace zefra::field_pool
