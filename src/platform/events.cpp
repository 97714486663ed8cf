#include "platform/events.h"

namespace platform {
EventSink eventSink;
}  // namespace platform
