#include "ReadWriteDispatch.h"
