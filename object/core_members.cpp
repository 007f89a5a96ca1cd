// The members that answer straight from one routine of the core
// (core_members.h): text converted into a new wide string, numbers as they are.
#include "object/member_answers.h"

namespace object {

using sysinfo::HwInfoCore;

#define DEZIVERO_DEFINE_CORE_MEMBER(member, routine)                            \
    HRESULT CoDeZiVero::member(AnswerOf<&HwInfoCore::routine>* out) noexcept { \
        return Answer(out, core_, &HwInfoCore::routine);                        \
    }
DEZIVERO_CORE_MEMBERS(DEZIVERO_DEFINE_CORE_MEMBER)
#undef DEZIVERO_DEFINE_CORE_MEMBER

}  // namespace object
