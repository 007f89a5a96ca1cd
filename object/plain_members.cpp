// The members that answer straight from one plain routine (plain_members.h).
#include "object/plain_members.h"

#include "object/member_answers.h"

namespace object {

#define DEZIVERO_DEFINE_PLAIN_MEMBER(member, routine)               \
    HRESULT CoDeZiVero::member(AnswerOf<&routine>* out) noexcept { \
        return AnswerFrom(out, &routine);                           \
    }
DEZIVERO_PLAIN_MEMBERS(DEZIVERO_DEFINE_PLAIN_MEMBER)
#undef DEZIVERO_DEFINE_PLAIN_MEMBER

}  // namespace object
