#include "app/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initVarnixResources() {
  Q_INIT_RESOURCE(varnix);
}

void ensureResources() {
  static const bool registered = [] {
    initVarnixResources();
    return true;
  }();
  (void)registered;
}
