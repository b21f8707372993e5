#include "platform/Priorite.h"

#include <sys/resource.h>
#include <unistd.h>

namespace kavel::platform {

void cedeLaPlace()
{
    constexpr int kPolitesse = 5;
    static thread_local bool fait = false;
    if (!fait)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kPolitesse);
    fait = true;
}

} // namespace kavel::platform
