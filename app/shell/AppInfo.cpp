#include "app/shell/AppInfo.h"

#include <QtGlobal>

static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

void AppInfo::initResources()
{
    static const bool done = (initShellResources(), true);
    Q_UNUSED(done);
}
