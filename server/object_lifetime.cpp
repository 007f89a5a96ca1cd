#include "server/object_lifetime.h"

#include "object/co_dezivero.h"
#include "server/module_allocator.h"
#include "server/server_module.h"

namespace server {

void DestroyObject(object::CoDeZiVero* object) noexcept {
    object->refCount_ = 1;  // releases made during destruction must not destroy it again
    TheModule().Unlock();
    object->~CoDeZiVero();
    ModuleFree(object);
}

}  // namespace server
