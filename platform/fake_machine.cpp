#include "platform/fake_machine.h"
