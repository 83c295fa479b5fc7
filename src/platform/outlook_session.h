// The add-in's hold on Outlook: the application and its "MAPI" namespace, set while
// connected.
#pragma once

#include <memory>

#include "host/outlook.h"

namespace tp {

struct OutlookSession {
  std::shared_ptr<host::OutlookApplication> application;
  std::shared_ptr<host::OutlookNamespace> nameSpace;

  bool connected() const { return application && nameSpace; }
  void Release() {
    nameSpace.reset();
    application.reset();
  }
};

}  // namespace tp
