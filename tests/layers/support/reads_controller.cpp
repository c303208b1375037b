// A support file that reaches up into the controller: the layer check must refuse it.
#include "controller/main_controller.h"
