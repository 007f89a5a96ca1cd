#include "server/class_table.h"

#include "DeZIVero_h.h"
#include "server/class_factory.h"
#include "server/co_dezivero_creation.h"
#include "server/registration.h"

namespace server {

const ClassEntry ClassTable[kClassCount] = {
    {&CLSID_CoDeZiVero, RegisterCoDeZiVero, ClassFactory::Create, CreateCoDeZiVero},
};

}  // namespace server
