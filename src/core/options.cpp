#include "core/options.h"

namespace mv {

CoreOptions& Options() {
  static CoreOptions options;
  return options;
}

}  // namespace mv
