// A sibling's header: the layer check must refuse it.
#include "countdown/countdown.hpp"
