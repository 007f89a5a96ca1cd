#include "server/class_table.h"

#include "DeZIVero_h.h"
#include "object/co_dezivero.h"
#include "server/registration.h"

namespace server {

const ClassEntry ClassTable[kClassCount] = {
    {&CLSID_CoDeZiVero, RegisterCoDeZiVero, object::CoDeZiVero::Create},
};

}  // namespace server
