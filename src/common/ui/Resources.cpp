#include "common/ui/Resources.h"
#include <QtGlobal>

static void InitKrvResources() {
    Q_INIT_RESOURCE(krv);
}

void EnsureResources() {
    static const bool done = (InitKrvResources(), true);
    Q_UNUSED(done);
}
