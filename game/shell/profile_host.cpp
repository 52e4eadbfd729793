#include "game/shell/profile_host.h"

cProfileHost& GetProfileHost()
{
    static cProfileHost host;
    return host;
}
