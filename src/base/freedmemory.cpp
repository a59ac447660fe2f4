#include "freedmemory.h"

#include <QCoreApplication>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void returnFreedMemoryLater()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QTimer::singleShot(0, app, &returnFreedMemory);
}
