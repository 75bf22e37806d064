#include "app/LayoutHost.h"

namespace {

ILayoutHost* g_host = NULL;

} // namespace

void SetLayoutHost(ILayoutHost* host)
{
    g_host = host;
}

ILayoutHost* GetLayoutHost()
{
    return g_host;
}
